#include "XClock.h"

#include <ctime>

namespace
{
bool g_fixed = false;
XDateTime g_now;
} // namespace

XDateTime XClock::Now()
{
    if (g_fixed)
        return g_now;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    XDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    // A leap second (tm_sec 60) is kept inside the day.
    int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    XTime time(local.tm_hour, local.tm_min, second, static_cast<int>(ts.tv_nsec / 1000000));
    return XDateTime(date, time);
}

void XClock::SetFixed(const XDateTime& now)
{
    g_now = now;
    g_fixed = true;
}

void XClock::Reset()
{
    g_fixed = false;
    g_now = XDateTime();
}

bool XClock::IsFixed()
{
    return g_fixed;
}
