// ODBCDataAccess: running statements, walking records and reading fields.
#include "AnsiText.h"
#include "DatabaseType.h"
#include "FieldStatusText.h"
#include "FieldTypeName.h"
#include "ODBCDataAccess.h"
#include "VariantConversion.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcResult.h"

namespace
{
XString TrimmedWithoutTabs(XString text)
{
    text.Trim();
    text.RemoveChars("\t");
    return text;
}

XString SingleLine(XString text)
{
    text.Trim();
    text.ReplaceChar('\t', ' ');
    text.ReplaceChar('\r', ' ');
    text.ReplaceChar('\n', ' ');
    return text;
}

XString EmptyWhen(XString text, const char* value)
{
    return text == value ? XString() : text;
}
} // namespace

bool ODBCDataAccess::OracleOdbc() const
{
    return m_databaseType == DatabaseType::OracleODBC;
}

// ---- Execution ----

int ODBCDataAccess::RunQuery(const XString& sql)
{
    Log(8, "Running Query", "ODBCDataAccess::RunQuery");
    if (m_databaseType == DatabaseType::DBaseXBase)
        return 0;
    try
    {
        // The new recordset replaces the current one, which is released.
        m_recordset = std::make_unique<OdbcResult>();
    }
    catch (const std::exception&)
    {
        RaiseError(0, "Failed to create query object for: %s", sql.Text());
    }
    Log(9, sql);
    try
    {
        // A time-out changed on the open connection applies to this statement.
        m_connection->SetCommandTimeout(m_commandTimeout);
        m_recordset->Open(AnsiText::ToUtf16(sql), *m_connection, true);
        return 0;
    }
    catch (const AdoComError& e)
    {
        XString report = FormatComError(e);
        Log(9, "RunQuery: While executing: " + sql + ", " + report);
        int code = ClassifyQueryError(report);
        if (code > 1)
            return code;
        report = FormatComError(e);
        RaiseError(0, "While executing query: %s", report.Text());
    }
}

int ODBCDataAccess::RunCurrentQuery()
{
    return RunQuery(BuildCurrentQuery());
}

bool ODBCDataAccess::RunCurrentQueryOk()
{
    return RunCurrentQuery() == 0;
}

void ODBCDataAccess::CloseQuery()
{
    ClearQuery();
    if (m_databaseType != DatabaseType::DBaseXBase)
        m_recordset.reset();
}

// ---- Records ----

int ODBCDataAccess::RecordCountOf(OdbcResult* rs)
{
    if (m_databaseType == DatabaseType::DBaseXBase || !rs)
        return 0;
    long n = -1;
    try
    {
        n = rs->RecordCount();
        Log(8, "GetRecordCount: Finishing Getting Record Count.");
    }
    catch (const AdoComError& e)
    {
        Log(8, "GetRecordCount: " + FormatComError(e));
        n = -1;
    }
    Log(8, "GetRecordCount: Validating RecordCount.");
    if (n == -1)
    {
        Log(8, "GetRecordCount: Lets determine record count manually.");
        n = 0;
        // The current query's walk fails as any walk does; a probe's error goes to the probe.
        const bool current = rs == m_recordset.get();
        if (current ? GetFirstRecord() : FirstRecordOf(rs))
        {
            bool more;
            do
            {
                more = current ? GetNextRecord() : NextRecordOf(rs);
                ++n;
            } while (more);
        }
    }
    else
    {
        Log(8, "GetRecordCount: Driver supports RecordCount");
    }
    Log(8, "GetRecordCount: Found Record Count of " + XString(n));
    return static_cast<int>(n);
}

bool ODBCDataAccess::FirstRecordOf(OdbcResult* rs)
{
    if (m_databaseType == DatabaseType::DBaseXBase || !rs || !rs->IsOpen())
        return false;
    if (rs->EndOfFile() && rs->BOF())
        return false;
    rs->MoveFirst();
    return !rs->EndOfFile();
}

bool ODBCDataAccess::NextRecordOf(OdbcResult* rs)
{
    if (m_databaseType == DatabaseType::DBaseXBase || !rs || !rs->IsOpen())
        return false;
    // Past the last record is the end, not a failure.
    if (rs->EndOfFile())
        return false;
    rs->MoveNext();
    return !rs->EndOfFile();
}

bool ODBCDataAccess::WalkFailed(const AdoComError& error)
{
    // Rows are streamed, so a driver error can arrive on any move; it fails
    // the table as a failing open would.
    XString report = FormatComError(error);
    int code = ClassifyQueryError(report);
    if (code <= 1)
        RaiseError(0, "While executing query: %s", report.Text());
    Log(8, "Query failed with error: " + XString(code) + " while reading " + CurrentTitle(),
        "ODBCDataAccess::WalkFailed");
    MarkTableIncomplete();
    // The link is gone; the reconnection below replaces what is left of it.
    if (m_recordset)
        m_recordset->Close();
    Reconnect();
    Log(7, "Open table " + CurrentTitle() + " failed, skipping.");
    return false;
}

int ODBCDataAccess::GetRecordCount()
{
    return RecordCountOf(m_recordset.get());
}

bool ODBCDataAccess::GetFirstRecord()
{
    try
    {
        return FirstRecordOf(m_recordset.get());
    }
    catch (const AdoComError& e)
    {
        Log(8, "GetFirstRecord Error: " + AnsiText::FromUtf8(e.Description()));
        return WalkFailed(e);
    }
}

bool ODBCDataAccess::GetNextRecord()
{
    try
    {
        return NextRecordOf(m_recordset.get());
    }
    catch (const AdoComError& e)
    {
        return WalkFailed(e);
    }
}

int ODBCDataAccess::GetFieldCount()
{
    if (m_databaseType == DatabaseType::DBaseXBase || !m_recordset)
        return 0;
    try
    {
        return static_cast<int>(m_recordset->FieldCount());
    }
    catch (const AdoComError& e)
    {
        throw XException(FormatComError(e));
    }
}

XString ODBCDataAccess::GetFieldName(int index)
{
    if (m_databaseType == DatabaseType::DBaseXBase || !m_recordset)
        return XString();
    try
    {
        return AnsiText::FromUtf16(m_recordset->Column(index).name);
    }
    catch (const AdoComError& e)
    {
        throw XException(FormatComError(e));
    }
}

XString ODBCDataAccess::GetFieldTypeName(int index)
{
    if (m_databaseType == DatabaseType::DBaseXBase || !m_recordset)
        return XString();
    try
    {
        return FieldTypeName(m_recordset->Column(index).adoType);
    }
    catch (const AdoComError& e)
    {
        throw XException(FormatComError(e));
    }
}

// ---- Field readers ----

const AdoValue* ODBCDataAccess::ReadValue(DataAccessField* field)
{
    if (!field || m_databaseType == DatabaseType::DBaseXBase)
        return nullptr;
    auto* odbcField = dynamic_cast<ODBCField*>(field);
    if (!odbcField)
        throw XException("Field " + field->FieldName() + " is not a field of an ODBC query.");
    if (!m_recordset || !m_recordset->IsOpen())
        throw XException("Field " + field->FieldName() + " read while no query is open.");
    long position = odbcField->Position();
    if (position < 0 || position >= m_recordset->FieldCount())
    {
        XString message;
        message.Format(field->FieldName().Length() + 255,
                       "Field %s is at position %ld, outside the %ld columns of the current result.",
                       field->FieldName().Text(), position, m_recordset->FieldCount());
        throw XException(message);
    }
    try
    {
        return &m_recordset->Value(position);
    }
    catch (const AdoComError& e)
    {
        long status = 0;
        try
        {
            status = m_recordset->Status(position);
        }
        catch (const AdoComError&)
        {
            status = -1;
        }
        XString message = FormatComError(e) + " Field Status: " + FieldStatusText(status);
        throw XException(message, static_cast<int>(status));
    }
}

XString ODBCDataAccess::ValueTextAt(int column)
{
    try
    {
        return VariantConversion::Text(m_recordset->Value(column), OracleOdbc());
    }
    catch (const AdoComError& e)
    {
        throw XException(FormatComError(e));
    }
}

XString ODBCDataAccess::GetValueText(DataAccessField* field)
{
    const AdoValue* value = ReadValue(field);
    return value ? VariantConversion::Text(*value, OracleOdbc()) : XString();
}

XString ODBCDataAccess::GetTrimmedText(DataAccessField* field)
{
    return TrimmedWithoutTabs(GetValueText(field));
}

XString ODBCDataAccess::GetTrimmedTextZeroEmpty(DataAccessField* field)
{
    return EmptyWhen(GetTrimmedText(field), "0");
}

XString ODBCDataAccess::GetTrimmedTextNAEmpty(DataAccessField* field)
{
    return EmptyWhen(GetTrimmedText(field), "N/A");
}

XString ODBCDataAccess::GetSingleLineText(DataAccessField* field)
{
    return SingleLine(GetTrimmedText(field));
}

XString ODBCDataAccess::GetSingleLineTextZeroEmpty(DataAccessField* field)
{
    XString text = GetSingleLineText(field);
    return EmptyWhen(text.Trim(), "0");
}

XString ODBCDataAccess::GetFlagText(DataAccessField* field)
{
    if (!field)
        return XString();
    return GetBool(field) ? "1" : "0";
}

std::vector<unsigned char> ODBCDataAccess::GetBytes(DataAccessField* field)
{
    std::vector<unsigned char> bytes;
    if (!field || m_databaseType == DatabaseType::DBaseXBase)
        return bytes;
    try
    {
        auto* odbcField = dynamic_cast<ODBCField*>(field);
        if (!odbcField || !m_recordset)
            throw XException("no open query");
        const AdoValue& value = m_recordset->Value(odbcField->Position());
        if (value.type & ado::VT_ARRAY)
        {
            bytes = value.bytes;
        }
        else if (value.type == ado::VT_BSTR)
        {
            XString text = AnsiText::FromUtf16(value.text);
            bytes.assign(text.Text(), text.Text() + text.Length());
        }
    }
    catch (...)
    {
        Log(8, "Could not read ByteArray Field value from " + field->FieldName());
        bytes.clear();
    }
    return bytes;
}

XDateTime ODBCDataAccess::GetDateTime(DataAccessField* field)
{
    const AdoValue* value = ReadValue(field);
    if (!value || value->type != ado::VT_DATE)
        return XDateTime();
    return XDateTime::FromOleDate(value->real);
}

XDate ODBCDataAccess::GetDate(DataAccessField* field)
{
    return GetDateTime(field).Date();
}

XDate ODBCDataAccess::GetDateNull1900(DataAccessField* field)
{
    XDate date = GetDate(field);
    // 1 January 1900 is how several databases write "no date".
    return date.DayNumber() == 109573 ? XDate() : date;
}

XTime ODBCDataAccess::GetTime(DataAccessField* field)
{
    return GetDateTime(field).Time();
}

int ODBCDataAccess::GetInt(DataAccessField* field)
{
    const AdoValue* value = ReadValue(field);
    return value ? VariantConversion::Int32(*value, OracleOdbc()) : 0;
}

int ODBCDataAccess::GetIntTruncated(DataAccessField* field)
{
    const AdoValue* value = ReadValue(field);
    return value ? VariantConversion::Int32Truncated(*value, OracleOdbc()) : 0;
}

float ODBCDataAccess::GetFloat(DataAccessField* field)
{
    const AdoValue* value = ReadValue(field);
    return value ? VariantConversion::Float(*value) : 0.0f;
}

double ODBCDataAccess::GetDouble(DataAccessField* field)
{
    const AdoValue* value = ReadValue(field);
    return value ? VariantConversion::Double(*value) : 0.0;
}

bool ODBCDataAccess::GetBool(DataAccessField* field)
{
    const AdoValue* value = ReadValue(field);
    return value ? VariantConversion::Bool(*value) : false;
}

bool ODBCDataAccess::IsNull(DataAccessField* field)
{
    if (!field)
        return true;
    if (m_databaseType == DatabaseType::DBaseXBase)
        return false;
    const AdoValue* value = ReadValue(field);
    return value && value->IsNull();
}
