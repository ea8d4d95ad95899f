#include "XDateTime.h"

#include <cmath>
#include <cstring>

#include "XClock.h"

namespace
{
// 1899-12-30, day 0 of automation dates.
constexpr int kOleEpoch = 109571;

long long FloorDiv(long long a, long long b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}
} // namespace

XDateTime XDateTime::Now()
{
    return XClock::Now();
}

XDateTime XDateTime::FromOleDate(double value)
{
    if (value == 0.0 || !std::isfinite(value) || std::fabs(value) > 3.0e6)
        return XDateTime();
    double whole = 0;
    const double fraction = std::modf(value, &whole);
    // Before 1899-12-30 the fraction still counts forward from midnight.
    // Rounding keeps 10:30 from turning into 10:29:59.999.
    long long ms = std::llround(std::fabs(fraction) * XTime::kMsPerDay);
    long long day = static_cast<long long>(whole) + kOleEpoch;
    if (ms >= XTime::kMsPerDay)
    {
        ms -= XTime::kMsPerDay;
        ++day;
    }
    if (day < 0)
        return XDateTime();
    return XDateTime(XDate(static_cast<int>(day)), XTime(static_cast<int>(ms)));
}

XString XDateTime::Format(const char* pattern) const
{
    if (date_.IsNull() || time_.IsNull())
        return XString();
    return time_.Format(date_.Format(pattern).Text());
}

bool XDateTime::Parse(const char* pattern, const char* text)
{
    date_.Parse(pattern, text);
    time_.Parse(pattern, text);
    return !IsNull();
}

bool XDateTime::ParseIso(const char* text)
{
    date_.Parse("YYYY-MM-DD", text);
    if (text && std::strlen(text) >= 12)
        time_.Parse("HH:NN:SS.LLL", text + 11);
    else
        time_.SetNull();
    return !IsNull();
}

XDateTime XDateTime::Add(int years, int months, int days, int hours, int minutes, int seconds,
                         int milliseconds) const
{
    const long long span = ((hours * 60LL + minutes) * 60 + seconds) * 1000 + milliseconds;
    const long long t = (time_.IsNull() ? 0 : time_.Milliseconds()) + span;
    const long long carry = FloorDiv(t, XTime::kMsPerDay);
    const long long rest = t - carry * XTime::kMsPerDay;
    return XDateTime(date_.Add(years, months, static_cast<int>(days + carry)), XTime(static_cast<int>(rest)));
}

XDateTime XDateTime::Subtract(int years, int months, int days, int hours, int minutes, int seconds,
                              int milliseconds) const
{
    const long long span = ((hours * 60LL + minutes) * 60 + seconds) * 1000 + milliseconds;
    const long long t = (time_.IsNull() ? 0 : time_.Milliseconds()) - span;
    const long long borrow = -FloorDiv(t, XTime::kMsPerDay);
    const long long rest = t + borrow * XTime::kMsPerDay;
    return XDateTime(date_.Subtract(years, months, static_cast<int>(days + borrow)),
                     XTime(static_cast<int>(rest)));
}
