#include "XClock.h"

#include <QDateTime>

namespace
{
bool g_fixed = false;
XDateTime g_now;
} // namespace

XDateTime XClock::Now()
{
    if (g_fixed)
        return g_now;
    const QDateTime now = QDateTime::currentDateTime();
    const QDate day = now.date();
    const QTime clock = now.time();
    XDate date(day.year(), day.month(), day.day());
    XTime time(clock.hour(), clock.minute(), clock.second(), clock.msec());
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
