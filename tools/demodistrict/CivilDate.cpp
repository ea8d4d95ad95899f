#include "CivilDate.h"

#include <cctype>
#include <ctime>
#include <stdexcept>

namespace demo
{
namespace
{

// Howard Hinnant's days_from_civil / civil_from_days.
long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Ymd
{
    int y, m, d;
};

Ymd civilFromDays(long z)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

} // namespace

CivilDate CivilDate::fromYmd(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        throw std::invalid_argument("not a calendar date");
    return CivilDate(daysFromCivil(year, month, day));
}

CivilDate CivilDate::parse(const std::string& text)
{
    std::string digits;
    for (char c : text)
    {
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits += c;
        else if (c != '-')
            throw std::invalid_argument("date must be YYYYMMDD or YYYY-MM-DD: " + text);
    }
    if (digits.size() != 8 || (text.size() != 8 && text.size() != 10))
        throw std::invalid_argument("date must be YYYYMMDD or YYYY-MM-DD: " + text);
    try
    {
        return fromYmd(std::stoi(digits.substr(0, 4)), std::stoi(digits.substr(4, 2)),
                       std::stoi(digits.substr(6, 2)));
    }
    catch (const std::invalid_argument&)
    {
        throw std::invalid_argument("not a calendar date: " + text);
    }
}

CivilDate CivilDate::today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return fromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

int CivilDate::year() const
{
    return civilFromDays(days_).y;
}
int CivilDate::month() const
{
    return civilFromDays(days_).m;
}
int CivilDate::day() const
{
    return civilFromDays(days_).d;
}

int CivilDate::weekday() const
{
    // 1970-01-01 was a Thursday (3 when Monday is 0).
    const long w = (days_ + 3) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

long CivilDate::yyyymmdd() const
{
    const Ymd c = civilFromDays(days_);
    return c.y * 10000L + c.m * 100L + c.d;
}

CivilDate nthWeekdayOfMonth(int year, int month, int weekday, int n)
{
    if (n == 0)
    {
        CivilDate d = CivilDate::fromYmd(year, month, daysInMonth(year, month));
        while (d.weekday() != weekday)
            d = d.plusDays(-1);
        return d;
    }
    CivilDate d = CivilDate::fromYmd(year, month, 1);
    while (d.weekday() != weekday)
        d = d.plusDays(1);
    return d.plusDays(7L * (n - 1));
}

} // namespace demo
