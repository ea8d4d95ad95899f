#pragma once

#include <string>
#include <vector>

#include "odbc/AdoComError.h"
#include "odbc/AdoEnums.h"
#include "odbc/AdoProviderError.h"

// Stand-in for ADO's Connection object over one unixODBC connection.
// Every failure throws AdoComError with the diagnostic records of the failed
// ODBC call. Recordsets opened on it are closed before it is. Strings of type std::string are UTF-8, std::u16string UTF-16.
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

    // Opens the connection with an ADO connection string (translated by
    // TranslateAdoConnectionString). A non-empty user or password replaces
    // the string's UID/PWD. A data source on the SQLite ODBC driver steps
    // through rows (StepAPI=1), one on psqlODBC through a server cursor
    // (UseDeclareFetch=1), unless its definition or the string says otherwise. Throws AdoComError when
    // already open (3705), when the provider is not available, or when the driver refuses.
    void Open(const std::string& connectionString, const std::string& user = "",
              const std::string& password = "", long options = 0);
    void Open(const std::u16string& connectionString, const std::u16string& user = u"",
              const std::u16string& password = u"", long options = 0);
    // Closes the connection. Throws AdoComError when it is not open (3704)
    // or the driver fails.
    void Close();
    // adStateClosed (0) or adStateOpen (1).
    long State() const { return dbc_ ? ado::adStateOpen : ado::adStateClosed; }

    // For AdoRecordset: the SQLHDBC, or null when closed.
    void* NativeHandle() const { return dbc_; }
    // For AdoRecordset: whether the driver's file name holds `part` (lower
    // case), and whether it reads any column in any order, bound ones too
    // (OdbcBoundRow::DriverReadsAnyColumn); both asked once per log-in.
    bool DriverIs(const char* part) const { return driverName_.find(part) != std::string::npos; }
    bool DriverReadsAnyColumn() const { return readsAnyColumn_; }

private:
    void OpenOdbc(const std::u16string& odbcConnectionString);
    void FreeHandles();
    // Connects afresh (no kept log-in fits).
    void LogIn(const std::u16string& odbcConnectionString);
    void LearnDriver();
    [[noreturn]] void Fail(short handleType, void* handle);

    long mode_ = ado::adModeUnknown;
    long connectionTimeout_ = 15;
    long commandTimeout_ = 30;
    void* env_ = nullptr; // SQLHENV
    void* dbc_ = nullptr; // SQLHDBC, set only while open
    std::u16string poolKey_; // the log-in can be kept for reuse under this key when closed
    std::string driverName_; // SQL_DRIVER_NAME, lower case
    bool readsAnyColumn_ = false;
};
