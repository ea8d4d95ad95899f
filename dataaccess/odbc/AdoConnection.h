#pragma once

#include <string>
#include <vector>

#include "odbc/AdoComError.h"
#include "odbc/AdoEnums.h"
#include "odbc/OdbcDriverProfile.h"
#include "odbc/OdbcHandles.h"

// Stand-in for ADO's Connection object over one unixODBC connection.
// Every failure throws AdoComError with the diagnostic records of the failed
// ODBC call. Recordsets opened on it are closed before it is.
class AdoConnection
{
public:
    AdoConnection();
    ~AdoConnection(); // closes the connection (errors swallowed)
    AdoConnection(const AdoConnection&) = delete;
    AdoConnection& operator=(const AdoConnection&) = delete;

    // ConnectModeEnum; adModeRead (1) asks the driver for read-only access.
    // Takes effect at the next Open.
    void SetMode(long mode) { mode_ = mode; }
    long Mode() const { return mode_; }
    // Seconds; 0 waits without limit. Login timeout of the next Open.
    void SetConnectionTimeout(long seconds) { connectionTimeout_ = seconds; }
    long ConnectionTimeout() const { return connectionTimeout_; }
    // Seconds; 0 waits without limit. Query timeout of recordsets opened later.
    void SetCommandTimeout(long seconds) { commandTimeout_ = seconds; }
    long CommandTimeout() const { return commandTimeout_; }

    // Opens the connection with an ADO connection string (UTF-8, translated
    // by TranslateAdoConnectionString). A non-empty user or password replaces
    // the string's UID/PWD; what the driver needs added comes from its
    // OdbcDriverProfile. Throws AdoComError when already open (3705), when
    // the provider is not available, or when the driver refuses.
    void Open(const std::string& connectionString, const std::string& user = "",
              const std::string& password = "");
    // Closes the connection. Throws AdoComError when it is not open (3704)
    // or the driver fails.
    void Close();
    // adStateClosed (0) or adStateOpen (1).
    long State() const { return dbc_ ? ado::adStateOpen : ado::adStateClosed; }

    // For AdoRecordset: the SQLHDBC, or null when closed, and what its driver can do.
    void* NativeHandle() const { return dbc_.Get(); }
    const OdbcDriverProfile& Driver() const { return profile_; }

private:
    // Connects afresh (no kept log-in fits).
    OdbcConnectionHandle LogIn(const std::u16string& odbcConnectionString) const;

    long mode_ = ado::adModeUnknown;
    long connectionTimeout_ = 15;
    long commandTimeout_ = 30;
    OdbcConnectionHandle dbc_; // connected, only while open
    OdbcDriverProfile profile_;
    std::u16string poolKey_; // the log-in can be kept for reuse under this key when closed
};
