#pragma once

#include <string>

#include "odbc/AdoComError.h"
#include "odbc/OdbcDriverProfile.h"
#include "odbc/OdbcHandles.h"

// One ODBC connection, opened with an ADO connection string. Every failure
// throws AdoComError with the diagnostic records of the failed ODBC call.
// Results opened on it are closed before it is.
class OdbcConnection
{
public:
    OdbcConnection();
    ~OdbcConnection(); // closes the connection (errors swallowed)
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    // Asks the driver for read-only access from the next Open on.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // Seconds; 0 waits without limit. Login timeout of the next Open.
    void SetConnectionTimeout(long seconds) { connectionTimeout_ = seconds; }
    // Seconds; 0 waits without limit. Query timeout of results opened later.
    void SetCommandTimeout(long seconds) { commandTimeout_ = seconds; }
    long CommandTimeout() const { return commandTimeout_; }

    // Opens the connection with an ADO connection string (UTF-8, translated
    // by TranslateAdoConnectionString); what the driver needs added comes
    // from its OdbcDriverProfile. Throws when the provider is not available
    // or the driver refuses.
    void Open(const std::string& connectionString);
    // Throws when the driver fails.
    void Close();
    bool IsOpen() const { return static_cast<bool>(dbc_); }

    // For OdbcResult: the SQLHDBC, or null when closed, and what its driver can do.
    void* NativeHandle() const { return dbc_.Get(); }
    const OdbcDriverProfile& Driver() const { return profile_; }

private:
    // Connects afresh (no kept log-in fits).
    OdbcConnectionHandle LogIn(const std::u16string& odbcConnectionString) const;

    bool readOnly_ = false;
    long connectionTimeout_ = 15;
    long commandTimeout_ = 30;
    OdbcConnectionHandle dbc_; // connected, only while open
    OdbcDriverProfile profile_;
    std::u16string poolKey_; // the log-in can be kept for reuse under this key when closed
};
