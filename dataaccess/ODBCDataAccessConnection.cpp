// ODBCDataAccess: connection strings, connecting, error reports and the
// bracket of an extraction.
#include "AnsiText.h"
#include "ComErrorReport.h"
#include "ConnectionStringBuilder.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"
#include "PasswordMask.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcResult.h"

XString ODBCDataAccess::BuildConnectionString(const char* dataSource, const char* user, const char* password)
{
    return BuildConnectionStringFor(m_databaseType, dataSource, user, password, LogFunction());
}

void ODBCDataAccess::Connect(const XString& connectionString)
{
    if (IsConnected())
        Disconnect();
    if (m_databaseType == DatabaseType::DBaseXBase)
    {
        Log(7, "Connect - Could not connect need to define USE_XBASE");
        return;
    }
    // Kept for Reconnect; never logged, it may hold a password.
    CloseProbeConnection();
    m_connectionString = connectionString;
    try
    {
        m_connection->SetReadOnly(true);
        Log(8, "Open in Read Only Access Mode.");
        m_connection->SetConnectionTimeout(m_connectionTimeout);
        m_connection->SetCommandTimeout(m_commandTimeout);
        m_connection->Open(AnsiText::ToUtf8(connectionString));
    }
    catch (const AdoComError& e)
    {
        throw XException(FormatComError(e));
    }
    Log(8, "Connected to data source.");
}

void ODBCDataAccess::Disconnect()
{
    if (m_databaseType == DatabaseType::DBaseXBase)
        Log(7, "Disconnect: Xbase not defined!");
    CloseProbeConnection();
    // Its statement goes before the connection it belongs to.
    if (m_recordset)
        m_recordset->Close();
    try
    {
        if (m_connection->IsOpen())
            m_connection->Close();
    }
    catch (const AdoComError& e)
    {
        throw XException(FormatComError(e));
    }
}

OdbcConnection& ODBCDataAccess::ProbeConnection()
{
    if (!m_recordset || !m_recordset->IsOpen())
        return *m_connection;
    if (!m_probeConnection || !m_probeConnection->IsOpen())
    {
        m_probeConnection = std::make_unique<OdbcConnection>();
        m_probeConnection->SetReadOnly(true);
        m_probeConnection->SetConnectionTimeout(m_connectionTimeout);
        m_probeConnection->SetCommandTimeout(m_commandTimeout);
        try
        {
            m_probeConnection->Open(AnsiText::ToUtf8(m_connectionString));
        }
        catch (const AdoComError& e)
        {
            throw XException(FormatComError(e));
        }
    }
    return *m_probeConnection;
}

void ODBCDataAccess::CloseProbeConnection()
{
    // Nothing was written through it; a failing close only loses a link already gone.
    m_probeConnection.reset();
}

bool ODBCDataAccess::IsConnected() const
{
    return m_connection->IsOpen();
}

void ODBCDataAccess::Reconnect()
{
    Connect(m_connectionString);
}

XString ODBCDataAccess::WithoutSecrets(const XString& text) const
{
    // Drivers quote parts of a failed connection request back now and then.
    return MaskEchoedPasswords(text, m_connectionString);
}

XString ODBCDataAccess::FormatComError(const AdoComError& error)
{
    XString report = WithoutSecrets(ComErrorReport(error));
    Log(8, report);
    return report;
}

int ODBCDataAccess::ClassifyQueryError(const XString& text)
{
    return ClassifyQueryErrorText(text);
}

void ODBCDataAccess::BeginExtraction(const XString& connectionString, bool keepConnected)
{
    StartWriter();
    m_keepConnected = keepConnected;
    Connect(connectionString);
    if (Param("logSchema") == "true")
    {
        try
        {
            LogSchema();
        }
        catch (...)
        {
            // The schema is a diagnostic aid; the extraction goes on without it.
        }
    }
}

void ODBCDataAccess::EndExtraction()
{
    Log(7, "Finished Extraction");
    Log(8, "Finishing Import");
    if (!m_keepConnected)
    {
        Log(8, "Disconnecting");
        Disconnect();
    }
    Log(8, "Saving Bridge Config");
    SaveSchoolConfig();
    Log(8, "Clearing Run Data");
    ClearHeaders();
    Log(5, "Export complete.");
    emit writeProgress(QStringLiteral("end_progress"), -1);
    Log(8, "End Extract Log");
    Log(8, "Extract Log Ended");
    emit writeProgress(QStringLiteral("bridge_complete"), -1);
}
