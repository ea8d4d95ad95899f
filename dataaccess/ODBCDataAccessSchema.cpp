// ODBCDataAccess: whether tables and fields exist, and the schema log.
#include <stdexcept>

#include "AnsiText.h"
#include "CatalogueStatements.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"
#include "VariantConversion.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcResult.h"

// A probe is a result of its own, streamed, so the open query stays where it is.
bool ODBCDataAccess::TableExists(const XString& table)
{
    Log(9, "Table Exists query:" + table);
    if (m_databaseType == DatabaseType::DBaseXBase)
    {
        Log(8, "Need to define USE_XBASE!!");
        return false;
    }
    try
    {
        OdbcResult probe;
        CatalogueStatements::Probe p = CatalogueStatements::ForTable(m_databaseType, table);
        if (!p.defined)
            throw std::runtime_error("DB Type not defined for TableExists yet, feel free to do so.");
        XString statement = p.statement;
        if (!p.trial.IsEmpty() && !TrialQuery(p.trial))
            statement = p.fallback;
        Log(9, "Table Exists query:" + statement);
        probe.Open(AnsiText::ToUtf16(statement), ProbeConnection());

        bool exists = true;
        switch (p.verdict)
        {
        case CatalogueStatements::Verdict::Opens:
            break;
        case CatalogueStatements::Verdict::Rows:
            exists = RecordCountOf(&probe) > 0;
            break;
        case CatalogueStatements::Verdict::Value:
            exists = FirstRecordOf(&probe) && VariantConversion::Int32(probe.Value(0), OracleOdbc()) > 0;
            break;
        }
        return exists;
    }
    catch (const AdoComError& e)
    {
        Log(8, FormatComError(e));
    }
    catch (...)
    {
        Log(8, "Unknown Error occured in DoTableExists");
    }
    return false;
}

bool ODBCDataAccess::FieldExists(const XString& table, const XString& field)
{
    if (m_databaseType == DatabaseType::DBaseXBase)
        return false;
    try
    {
        OdbcResult probe;
        CatalogueStatements::Probe p = CatalogueStatements::ForField(m_databaseType, table, field);
        if (!p.defined)
            throw std::runtime_error("DB Type not defined for FieldExists yet, feel free to do so.");
        XString statement = p.statement;
        if (!p.trial.IsEmpty() && !TrialQuery(p.trial))
        {
            Log(8, "TrialQuery Failed.  Trying Count");
            Log(9, "TrialQuery Failed: " + p.trial);
            statement = p.fallback;
        }
        Log(9, "Field Exists query:" + statement);
        probe.Open(AnsiText::ToUtf16(statement), ProbeConnection());
        Log(8, "Query Succeeded.");
        if (p.verdict == CatalogueStatements::Verdict::Rows)
        {
            Log(8, "Check Result Count.");
            int n = RecordCountOf(&probe);
            if (n <= 0)
            {
                Log(8, "Query RecordCount = " + XString(n));
                return false;
            }
        }
        else if (p.verdict == CatalogueStatements::Verdict::Value)
        {
            Log(8, "Check Result.");
            if (!FirstRecordOf(&probe))
            {
                Log(8, "No Record.");
                return false;
            }
            Log(8, "Record Found.");
            int v = VariantConversion::Int32(probe.Value(0), OracleOdbc());
            if (v <= 0)
            {
                Log(8, "Record Value =" + XString(v));
                return false;
            }
        }
        Log(8, "Field Valid.");
        return true;
    }
    catch (const AdoComError& e)
    {
        Log(8, FormatComError(e));
    }
    catch (...)
    {
        Log(8, "Unknown Error in DoFieldExists");
    }
    return false;
}

bool ODBCDataAccess::TrialQuery(const XString& sql)
{
    try
    {
        OdbcResult trial;
        trial.Open(AnsiText::ToUtf16(sql), ProbeConnection());
        return true;
    }
    catch (...)
    {
        return false;
    }
}

bool ODBCDataAccess::TableExistsConnected(const XString& connectionString, const XString& table,
                                          bool keepConnected)
{
    bool wasConnected = IsConnected();
    if (!wasConnected)
        Connect(connectionString);
    bool exists = TableExists(table);
    if (!wasConnected && !keepConnected)
        Disconnect();
    return exists;
}

bool ODBCDataAccess::LogSchema()
{
    Log(7, "Logging Schema...");
    XString statement = CatalogueStatements::SchemaStatement(m_databaseType);
    Log(7, statement);
    RunQuery(statement);
    for (int i = 0; i < GetFieldCount(); ++i)
        Log(7, GetFieldName(i) + " - " + GetFieldTypeName(i));
    // Not a table: a failure while walking the catalogue goes to the caller as
    // the statement's own would, and marks no table incomplete.
    try
    {
        for (bool more = FirstRecordOf(m_recordset.get()); more; more = NextRecordOf(m_recordset.get()))
            Log(9, ValueTextAt(0) + "::" + ValueTextAt(1));
    }
    catch (const AdoComError& e)
    {
        throw XException(FormatComError(e));
    }
    CloseQuery();
    return true;
}
