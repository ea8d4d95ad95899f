#include "odbc/OdbcConnectionPool.h"

#include "platform/OdbcHeaders.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <map>
#include <mutex>
#include <utility>

namespace
{
// Long enough for the checks of one run, short enough that a server
// restarted meanwhile is unlikely.
constexpr std::chrono::seconds kKeepFor(10);

struct Slot
{
    std::mutex lock;
    std::u16string key;
    // At a normal exit the server sees a log-out, not a dropped connection.
    OdbcConnectionHandle dbc;
    std::chrono::steady_clock::time_point since;
};

Slot& TheSlot()
{
    static Slot slot;
    return slot;
}

bool Alive(const OdbcConnectionHandle& dbc)
{
    SQLUINTEGER dead = SQL_CD_TRUE;
    return SQL_SUCCEEDED(SQLGetConnectAttr(dbc.Get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
           dead == SQL_CD_FALSE;
}
} // namespace

OdbcConnectionHandle OdbcConnectionPool::Take(const std::u16string& key)
{
    Slot& slot = TheSlot();
    std::lock_guard<std::mutex> guard(slot.lock);
    OdbcConnectionHandle kept = std::move(slot.dbc);
    const bool fits = slot.key == key && std::chrono::steady_clock::now() - slot.since < kKeepFor;
    slot.key.clear();
    if (kept && fits && Alive(kept))
        return kept;
    return {};
}

void OdbcConnectionPool::Keep(const std::u16string& key, OdbcConnectionHandle dbc)
{
    Slot& slot = TheSlot();
    std::lock_guard<std::mutex> guard(slot.lock);
    slot.dbc.Reset();
    slot.key.clear();
    if (!Alive(dbc))
        return;
    slot.key = key;
    slot.dbc = std::move(dbc);
    slot.since = std::chrono::steady_clock::now();
}

namespace
{
std::mutex& RefusedLock()
{
    static std::mutex lock;
    return lock;
}

std::map<std::u16string, std::vector<AdoProviderError>>& RefusedLogIns()
{
    static std::map<std::u16string, std::vector<AdoProviderError>> refused;
    return refused;
}

// SQLSTATE 28000 (invalid authorization), or a connection refused with a
// driver's authentication message (psqlODBC reports 08001).
bool Authentication(const AdoProviderError& e)
{
    if (e.sqlState.rfind("28", 0) == 0)
        return true;
    if (e.sqlState != "08001" && e.sqlState != "08004")
        return false;
    std::string text = e.description;
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text.find("authentication failed") != std::string::npos ||
           text.find("login failed") != std::string::npos || text.find("password") != std::string::npos;
}
} // namespace

const std::vector<AdoProviderError>* OdbcConnectionPool::Refused(const std::u16string& key)
{
    const std::lock_guard<std::mutex> guard(RefusedLock());
    const auto found = RefusedLogIns().find(key);
    return found == RefusedLogIns().end() ? nullptr : &found->second;
}

void OdbcConnectionPool::RememberIfRefused(const std::u16string& key,
                                           const std::vector<AdoProviderError>& diagnostics)
{
    if (std::none_of(diagnostics.begin(), diagnostics.end(), Authentication))
        return;
    const std::lock_guard<std::mutex> guard(RefusedLock());
    RefusedLogIns()[key] = diagnostics;
}
