#include "SISSchoolYear.h"

#include <cctype>

namespace
{
int LeadingDigits(const XString& t, int from)
{
    int n = 0;
    while (from + n < t.Length() && std::isdigit(static_cast<unsigned char>(t[from + n])))
        ++n;
    return n;
}

int TwoDigitYear(int value, int currentYear)
{
    return value < (currentYear + 1) % 100 ? 2000 + value : 1900 + value;
}
} // namespace

SISSchoolYear::SISSchoolYear(const XString& key, const XString& display) : key_(key), display_(display) {}

SISSchoolYear::SISSchoolYear(const XString& key) : key_(key), display_(SchoolYearText(key)) {}

XString SISSchoolYear::SchoolYearText(const XString& text)
{
    return SchoolYearText(text, XDate::Today().Year());
}

XString SISSchoolYear::SchoolYearText(const XString& t, int currentYear)
{
    int startDigits = LeadingDigits(t, 0);
    int start = 0;
    int endFrom = 0;
    if (startDigits == 4)
    {
        start = t.Left(4).ToInt();
        endFrom = 5;
    }
    else if (startDigits == 2)
    {
        start = TwoDigitYear(t.Left(2).ToInt(), currentYear);
        endFrom = 3;
    }
    else
    {
        return t;
    }

    int read = startDigits;
    int end = start + 1;
    int endDigits = endFrom <= t.Length() ? LeadingDigits(t, endFrom) : 0;
    if (endDigits == 5 || endDigits == 3 || endDigits > 5)
        return t;
    if (endDigits == 4)
    {
        end = t.Sub(endFrom, endFrom + 4).ToInt();
        read += 1 + 4;
    }
    else if (endDigits == 2)
    {
        end = TwoDigitYear(t.Sub(endFrom, endFrom + 2).ToInt(), currentYear);
        read += 1 + 2;
    }
    if (t.Length() != read)
        return t;
    return XString(start) + "-" + XString(end);
}
