#include "odbc/AutomationDate.h"

namespace {
// Days from 1970-01-01 in the proleptic Gregorian calendar.
long DaysFromCivil(long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}
} // namespace

double AutomationDate(int year, int month, int day, int hour, int minute, int second,
                      int millisecond)
{
    const long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                      DaysFromCivil(1899, 12, 30);
    const double fraction =
        (static_cast<double>(hour) * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) /
        86400000.0;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}
