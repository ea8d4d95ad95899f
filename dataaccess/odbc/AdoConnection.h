#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "odbc/AdoComError.h"
#include "odbc/AdoEnums.h"
#include "odbc/AdoProviderError.h"

class AdoRecordset;

// Stand-in for ADO's Connection object over one unixODBC connection.
// Every failure throws AdoComError; the diagnostic records of a failed ODBC
// call are kept as the provider errors in Errors() until the next failure.
// Strings of type std::string are UTF-8, std::u16string UTF-16.
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
    // Closes the connection and every recordset open on it. Throws
    // AdoComError when it is not open (3704) or the driver fails.
    void Close();
    // adStateClosed (0) or adStateOpen (1).
    long State() const { return dbc_ ? ado::adStateOpen : ado::adStateClosed; }

    // Provider errors of the last failure, in the driver's order.
    const std::vector<AdoProviderError>& Errors() const { return errors_; }

    // For AdoRecordset: the SQLHDBC, or null when closed.
    void* NativeHandle() const { return dbc_; }
    // For AdoRecordset: records the diagnostics of a failed call (none for
    // a failure of the recordset's own).
    void SetErrors(std::vector<AdoProviderError> errors) { errors_ = std::move(errors); }
    // For AdoRecordset: the recordsets opened on this connection, open or
    // closed, until they are destroyed; closed with the connection.
    void Attach(AdoRecordset* rs) { recordsets_.insert(rs); }
    void Detach(AdoRecordset* rs) { recordsets_.erase(rs); }
    // For AdoRecordset: whether the driver stated the size of the last
    // result opened on this connection (unknown until one is opened, unless
    // the connection asked psqlODBC to fetch through a cursor).
    std::optional<bool> StatesResultSize() const { return statesResultSize_; }
    void SetStatesResultSize(bool states) { statesResultSize_ = states; }
    // For AdoRecordset: whether the driver's file name holds `part` (lower
    // case), and whether it reads any column in any order, bound ones too
    // (OdbcBoundRow::DriverReadsAnyColumn); both asked once per log-in.
    bool DriverIs(const char* part) const { return driverName_.find(part) != std::string::npos; }
    bool DriverReadsAnyColumn() const { return readsAnyColumn_; }
    // For AdoRecordset: whether a recordset other than rs is open here.
    bool OtherRecordsetOpen(const AdoRecordset* rs) const;

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
    std::vector<AdoProviderError> errors_;
    std::set<AdoRecordset*> recordsets_;
    std::optional<bool> statesResultSize_;
    std::u16string poolKey_; // the log-in can be kept for reuse under this key when closed
    std::string driverName_; // SQL_DRIVER_NAME, lower case
    bool readsAnyColumn_ = false;
};
