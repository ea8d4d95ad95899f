#include "odbc/OdbcConnection.h"

#include "platform/OdbcHeaders.h"

#include <string>
#include <vector>

#include "odbc/AdoConnectionString.h"
#include "odbc/AdoEnums.h"
#include "odbc/OdbcConnectionPool.h"
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

[[noreturn]] void NotAvailable(const std::string& why)
{
    AdoProviderError e;
    e.number = static_cast<long>(static_cast<std::int32_t>(ado::adErrProviderNotFound_HR));
    e.description = why;
    e.source = kConnectionSource;
    throw AdoComError(ado::adErrProviderNotFound_HR, kConnectionSource, why, {e});
}
} // namespace

OdbcConnection::OdbcConnection() = default;

OdbcConnection::~OdbcConnection()
{
    try
    {
        Close();
    }
    catch (...)
    {
        // A destructor cannot report; the handle frees itself.
    }
}

void OdbcConnection::Open(const std::string& connectionString)
{
    Close();
    AdoConnectionStringTranslation t =
        TranslateAdoConnectionString(connectionString, OdbcDriverProfile::SqliteDriver());
    if (!t.ok)
        NotAvailable(t.error);
    const std::string refusal = OdbcDriverProfile::Refusal(t.dsn, t.valueHoldsSemicolon);
    if (!refusal.empty())
        NotAvailable(refusal);
    // The driver manager refuses such a name too, but leaks its error record doing so.
    if (Utf8ToUtf16(t.dsn).size() > SQL_MAX_DSN_LENGTH)
        NotAvailable("The data source name is longer than " + std::to_string(SQL_MAX_DSN_LENGTH) +
                     " characters.");
    const std::string extra =
        OdbcDriverProfile::ExtraKeys(t.dsn, t.setsStepApi, t.setsDeclareFetch, t.setsFetchSize);
    const std::u16string odbc = Utf8ToUtf16(t.odbc + extra);

    // The driver manager sets up its text conversions for the connection here.
    const OdbcTextLocale utf8;
    std::u16string poolKey =
        odbc + u'\x01' +
        Utf8ToUtf16(std::string(readOnly_ ? "1/" : "0/") + std::to_string(connectionTimeout_));
    if (const std::vector<AdoProviderError>* refused = OdbcConnectionPool::Refused(poolKey))
    {
        // Refused once: it fails again as it did, without another failed log-in on the server.
        throw ProviderFailure(*refused);
    }
    OdbcConnectionHandle dbc = OdbcConnectionPool::Take(poolKey);
    if (!dbc)
    {
        try
        {
            dbc = LogIn(odbc);
        }
        catch (const AdoComError& e)
        {
            OdbcConnectionPool::RememberIfRefused(poolKey, e.ProviderErrors());
            throw;
        }
    }
    profile_ = OdbcDriverProfile::Learn(dbc.Get());
    poolKey_ = profile_.keepsLogIn ? std::move(poolKey) : std::u16string();
    dbc_ = std::move(dbc);
}

OdbcConnectionHandle OdbcConnection::LogIn(const std::u16string& odbc) const
{
    OdbcConnectionHandle dbc(OdbcEnvironment());
    // Both are hints to the driver; one that does not know them still connects.
    SQLSetConnectAttr(
        dbc.Get(), SQL_ATTR_LOGIN_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(connectionTimeout_ < 0 ? 0 : connectionTimeout_)),
        0);
    if (readOnly_)
        SQLSetConnectAttr(dbc.Get(), SQL_ATTR_ACCESS_MODE,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_MODE_READ_ONLY)), 0);

    // unixODBC's trace masks a "PWD=" value only up to its first ";" or "]" (and a
    // lower-case key not at all): the one call that carries a password is not traced.
    SQLULEN trace = SQL_OPT_TRACE_OFF;
    const bool untraced = CarriesPassword(odbc) &&
                          SQL_SUCCEEDED(SQLGetConnectAttr(dbc.Get(), SQL_ATTR_TRACE, &trace, 0, nullptr)) &&
                          trace == SQL_OPT_TRACE_ON;
    if (untraced)
        SQLSetConnectAttr(dbc.Get(), SQL_ATTR_TRACE, reinterpret_cast<SQLPOINTER>(SQL_OPT_TRACE_OFF), 0);
    std::u16string in = odbc;
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc =
        SQLDriverConnectW(dbc.Get(), nullptr, reinterpret_cast<SQLWCHAR*>(in.data()),
                          static_cast<SQLSMALLINT>(in.size()), nullptr, 0, &outLength, SQL_DRIVER_NOPROMPT);
    if (untraced)
        SQLSetConnectAttr(dbc.Get(), SQL_ATTR_TRACE, reinterpret_cast<SQLPOINTER>(SQL_OPT_TRACE_ON), 0);
    if (!SQL_SUCCEEDED(rc))
        throw ProviderFailure(SQL_HANDLE_DBC, dbc.Get());
    return dbc;
}

void OdbcConnection::Close()
{
    if (!dbc_)
        return;
    if (!poolKey_.empty())
    {
        // Kept for the next connection with the same string (unless the driver knows it dead).
        OdbcConnectionPool::Keep(std::exchange(poolKey_, std::u16string()), std::move(dbc_));
        return;
    }
    if (!OdbcDisconnect(dbc_.Get()))
        throw ProviderFailure(SQL_HANDLE_DBC, dbc_.Get());
    dbc_.Reset();
}
