#include "odbc/OdbcDiagnostics.h"

#include "platform/OdbcHeaders.h"

#include <QString>

#include "odbc/AdoEnums.h"

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide text must be UTF-16");

namespace
{
const char* const kProviderSource = "ODBC";
}

std::u16string Utf8ToUtf16(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toStdU16String();
}

std::string Utf16ToUtf8(const std::u16string& s)
{
    return QString::fromStdU16String(s).toUtf8().toStdString();
}

std::vector<AdoProviderError> CollectOdbcDiagnostics(short handleType, void* handle)
{
    std::vector<AdoProviderError> out;
    if (!handle)
        return out;
    for (SQLSMALLINT rec = 1;; ++rec)
    {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        std::u16string message(512, u'\0');
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRecW(handleType, handle, rec, state, &native,
                                      reinterpret_cast<SQLWCHAR*>(message.data()),
                                      static_cast<SQLSMALLINT>(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size()))
        {
            message.assign(static_cast<std::size_t>(length) + 1, u'\0');
            rc = SQLGetDiagRecW(handleType, handle, rec, state, &native,
                                reinterpret_cast<SQLWCHAR*>(message.data()),
                                static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        message.resize(std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)),
                                             message.size()));
        // Some drivers end their text with a line break.
        while (!message.empty() && (message.back() == u'\0' || message.back() == u'\n' ||
                                    message.back() == u'\r' || message.back() == u' '))
            message.pop_back();
        AdoProviderError e;
        e.number = native;
        e.sqlState = Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(state), 5));
        e.description = "[" + e.sqlState + "] " + Utf16ToUtf8(message);
        e.source = kProviderSource;
        out.push_back(std::move(e));
    }
    return out;
}

AdoComError ProviderFailure(std::vector<AdoProviderError> diagnostics)
{
    if (diagnostics.empty())
        return AdoComError(ado::E_FAIL_HR, kProviderSource,
                           "The ODBC driver reported a failure without details.");
    std::string source = diagnostics.front().source;
    std::string description = diagnostics.front().description;
    return AdoComError(ado::E_FAIL_HR, std::move(source), std::move(description), std::move(diagnostics));
}

AdoComError ProviderFailure(short handleType, void* handle)
{
    return ProviderFailure(CollectOdbcDiagnostics(handleType, handle));
}
