#include "odbc/OdbcConnectionPool.h"

#include <sql.h>
#include <sqlext.h>

#include <chrono>
#include <mutex>
#include <utility>

namespace
{
// Long enough for the checks of one run, short enough that a server
// restarted meanwhile is unlikely.
constexpr std::chrono::seconds kKeepFor(10);

void Release(OdbcConnectionPool::Handles& h)
{
    if (h.dbc)
    {
        SQLDisconnect(static_cast<SQLHDBC>(h.dbc));
        SQLFreeHandle(SQL_HANDLE_DBC, static_cast<SQLHDBC>(h.dbc));
    }
    if (h.env)
        SQLFreeHandle(SQL_HANDLE_ENV, static_cast<SQLHENV>(h.env));
    h = {};
}

struct Slot
{
    std::mutex lock;
    std::u16string key;
    OdbcConnectionPool::Handles handles;
    std::chrono::steady_clock::time_point since;
    // At a normal exit the server sees a log-out, not a dropped connection.
    ~Slot() { Release(handles); }
};

Slot& TheSlot()
{
    static Slot slot;
    return slot;
}

bool Alive(void* dbc)
{
    SQLUINTEGER dead = SQL_CD_TRUE;
    return SQL_SUCCEEDED(
               SQLGetConnectAttr(static_cast<SQLHDBC>(dbc), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
           dead == SQL_CD_FALSE;
}
} // namespace

OdbcConnectionPool::Handles OdbcConnectionPool::Take(const std::u16string& key)
{
    Slot& slot = TheSlot();
    std::lock_guard<std::mutex> guard(slot.lock);
    Handles h;
    if (!slot.handles.dbc)
        return h;
    const bool fits = slot.key == key && std::chrono::steady_clock::now() - slot.since < kKeepFor;
    if (fits && Alive(slot.handles.dbc))
        std::swap(h, slot.handles);
    else
        Release(slot.handles);
    slot.key.clear();
    return h;
}

void OdbcConnectionPool::Keep(const std::u16string& key, Handles handles)
{
    Slot& slot = TheSlot();
    std::lock_guard<std::mutex> guard(slot.lock);
    Release(slot.handles);
    if (!Alive(handles.dbc))
    {
        Release(handles);
        slot.key.clear();
        return;
    }
    slot.key = key;
    slot.handles = handles;
    slot.since = std::chrono::steady_clock::now();
}
