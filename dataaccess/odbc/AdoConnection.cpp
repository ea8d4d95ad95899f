#include "odbc/AdoConnection.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/OdbcHeaders.h"

#include <string>
#include <vector>

#include "odbc/AdoConnectionString.h"
#include "odbc/OdbcBoundRow.h"
#include "odbc/OdbcConnectionPool.h"
#include "odbc/OdbcDataSourceConfig.h"
#include "odbc/OdbcDiagnostics.h"
#include "platform/ThreadLocale.h"

namespace
{
const char* const kConnectionSource = "ADODB.Connection";

// True when a part of the ODBC string is a "PWD" key (any case).
bool CarriesPassword(const std::u16string& odbc)
{
    for (std::size_t at = 0; at + 4 <= odbc.size(); ++at)
    {
        if (at > 0 && odbc[at - 1] != u';')
            continue;
        std::u16string key = odbc.substr(at, 4);
        for (char16_t& c : key)
            c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
        if (key == u"PWD=")
            return true;
    }
    return false;
}
} // namespace

AdoConnection::AdoConnection() = default;

AdoConnection::~AdoConnection()
{
    if (dbc_)
    {
        try
        {
            Close();
        }
        catch (...)
        {
            // A destructor cannot report; the handles are freed below.
        }
    }
    FreeHandles();
}

void AdoConnection::Open(const std::string& connectionString, const std::string& user,
                         const std::string& password, long options)
{
    Open(Utf8ToUtf16(connectionString), Utf8ToUtf16(user), Utf8ToUtf16(password), options);
}

void AdoConnection::Open(const std::u16string& connectionString, const std::u16string& user,
                         const std::u16string& password, long /*options*/)
{
    if (dbc_)
    {
        throw AdoComError(ado::adErrObjectOpen_HR, kConnectionSource,
                          "Operation is not allowed when the object is open.");
    }
    AdoConnectionStringTranslation t = TranslateAdoConnectionString(
        Utf16ToUtf8(connectionString), SqliteOdbcDriver(), Utf16ToUtf8(user), Utf16ToUtf8(password));
    // That driver splits at every ";", braces or not: a value could name keys of its own.
    if (t.ok && t.valueHoldsSemicolon &&
        OdbcDataSourceConfig::DriverLibrary(t.dsn).find("sqlite3odbc") != std::string::npos)
    {
        t.ok = false;
        t.error = "A value holding \";\" cannot be given to the SQLite ODBC driver.";
    }
    // The driver manager refuses such a name too, but leaks its error record doing so.
    if (t.ok && Utf8ToUtf16(t.dsn).size() > SQL_MAX_DSN_LENGTH)
    {
        t.ok = false;
        t.error =
            "The data source name is longer than " + std::to_string(SQL_MAX_DSN_LENGTH) + " characters.";
    }
    if (!t.ok)
    {
        AdoProviderError e;
        e.number = static_cast<long>(static_cast<std::int32_t>(ado::adErrProviderNotFound_HR));
        e.description = t.error;
        e.source = kConnectionSource;
        throw AdoComError(ado::adErrProviderNotFound_HR, kConnectionSource, t.error, {e});
    }
    const std::string extra =
        OdbcDataSourceConfig::ExtraKeys(t.dsn, t.setsStepApi, t.setsDeclareFetch, t.setsFetchSize);
    OpenOdbc(Utf8ToUtf16(t.odbc + extra));
}

void AdoConnection::OpenOdbc(const std::u16string& odbc)
{
    // The driver manager sets up its text conversions for the connection here.
    const OdbcTextLocale utf8;
    poolKey_ = odbc + u'\x01' + Utf8ToUtf16(std::to_string(mode_) + "/" + std::to_string(connectionTimeout_));
    if (const std::vector<AdoProviderError>* refused = OdbcConnectionPool::Refused(poolKey_))
    {
        // Refused once: it fails again as it did, without another failed log-in on the server.
        throw ProviderFailure(*refused);
    }
    const OdbcConnectionPool::Handles kept = OdbcConnectionPool::Take(poolKey_);
    if (kept.dbc)
    {
        env_ = kept.env;
        dbc_ = kept.dbc;
    }
    else
    {
        try
        {
            LogIn(odbc);
        }
        catch (const AdoComError& e)
        {
            OdbcConnectionPool::RememberIfRefused(poolKey_, e.ProviderErrors());
            throw;
        }
    }
    LearnDriver();
    // Opening a SQLite file costs nothing, and a test may replace the file.
    if (driverName_.empty() || DriverIs("sqlite"))
        poolKey_.clear();
}

void AdoConnection::LogIn(const std::u16string& odbc)
{
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        throw AdoComError(ado::E_OUTOFMEMORY_HR, kConnectionSource,
                          "The ODBC environment could not be created.");
    env_ = env;
    if (!SQL_SUCCEEDED(
            SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)))
        Fail(SQL_HANDLE_ENV, env);
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc)))
        Fail(SQL_HANDLE_ENV, env);

    // Both are hints to the driver; one that does not know them still connects.
    SQLSetConnectAttr(
        dbc, SQL_ATTR_LOGIN_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(connectionTimeout_ < 0 ? 0 : connectionTimeout_)),
        0);
    if (mode_ == ado::adModeRead)
        SQLSetConnectAttr(dbc, SQL_ATTR_ACCESS_MODE,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_MODE_READ_ONLY)), 0);

    // unixODBC's trace masks a "PWD=" value only up to its first ";" or "]" (and a
    // lower-case key not at all): the one call that carries a password is not traced.
    SQLULEN trace = SQL_OPT_TRACE_OFF;
    const bool untraced = CarriesPassword(odbc) &&
                          SQL_SUCCEEDED(SQLGetConnectAttr(dbc, SQL_ATTR_TRACE, &trace, 0, nullptr)) &&
                          trace == SQL_OPT_TRACE_ON;
    if (untraced)
        SQLSetConnectAttr(dbc, SQL_ATTR_TRACE, reinterpret_cast<SQLPOINTER>(SQL_OPT_TRACE_OFF), 0);
    std::u16string in = odbc;
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc =
        SQLDriverConnectW(dbc, nullptr, reinterpret_cast<SQLWCHAR*>(in.data()),
                          static_cast<SQLSMALLINT>(in.size()), nullptr, 0, &outLength, SQL_DRIVER_NOPROMPT);
    if (untraced)
        SQLSetConnectAttr(dbc, SQL_ATTR_TRACE, reinterpret_cast<SQLPOINTER>(SQL_OPT_TRACE_ON), 0);
    if (!SQL_SUCCEEDED(rc))
    {
        AdoComError e = ProviderFailure(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        FreeHandles();
        throw e;
    }
    dbc_ = dbc;
}

void AdoConnection::LearnDriver()
{
    SQLHDBC dbc = static_cast<SQLHDBC>(dbc_);
    char16_t name[128] = {};
    SQLSMALLINT length = 0;
    driverName_.clear();
    if (SQL_SUCCEEDED(SQLGetInfoW(dbc, SQL_DRIVER_NAME, name, sizeof name, &length)))
        driverName_ = Utf16ToUtf8(std::u16string(name));
    std::transform(driverName_.begin(), driverName_.end(), driverName_.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    readsAnyColumn_ = OdbcBoundRow::DriverReadsAnyColumn(dbc);
}

void AdoConnection::Close()
{
    if (!dbc_)
        throw AdoComError(ado::adErrObjectClosed_HR, kConnectionSource,
                          "Operation is not allowed when the object is closed.");
    if (!poolKey_.empty())
    {
        // Kept for the next connection with the same string (unless the driver knows it dead).
        OdbcConnectionPool::Keep(poolKey_, {env_, dbc_});
        poolKey_.clear();
        dbc_ = nullptr;
        env_ = nullptr;
        return;
    }
    SQLHDBC dbc = static_cast<SQLHDBC>(dbc_);
    if (!SQL_SUCCEEDED(SQLDisconnect(dbc)))
    {
        // An open transaction (a driver in manual-commit mode) blocks the
        // disconnect; nothing was written through this layer, so roll back.
        SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK);
        if (!SQL_SUCCEEDED(SQLDisconnect(dbc)))
            Fail(SQL_HANDLE_DBC, dbc);
    }
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    dbc_ = nullptr;
    FreeHandles();
}

void AdoConnection::FreeHandles()
{
    if (dbc_)
    {
        SQLDisconnect(static_cast<SQLHDBC>(dbc_));
        SQLFreeHandle(SQL_HANDLE_DBC, static_cast<SQLHDBC>(dbc_));
        dbc_ = nullptr;
    }
    if (env_)
    {
        SQLFreeHandle(SQL_HANDLE_ENV, static_cast<SQLHENV>(env_));
        env_ = nullptr;
    }
}

void AdoConnection::Fail(short handleType, void* handle)
{
    AdoComError e = ProviderFailure(handleType, handle);
    if (!dbc_)
    {
        if (handleType == SQL_HANDLE_DBC)
            SQLFreeHandle(SQL_HANDLE_DBC, static_cast<SQLHDBC>(handle));
        FreeHandles();
    }
    throw e;
}
