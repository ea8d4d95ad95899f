#include <QByteArrayAlgorithms>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "XClock.h"
#include "XDateTime.h"
#include "XPatternRuns.h"

namespace
{
const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[7] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                  "Friday", "Saturday", "Sunday"};

// Days from 1600-01-01 to 1600-03-01: the March-based count starts there.
constexpr int kMarch1600 = 60;

int FloorDiv(long long a, int b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<int>(q);
}

XString Prefix(const char* name, int count)
{
    return XString(name).Left(count);
}

// Up to count characters of text from pos, when all are digits; -1 otherwise.
int Digits(const std::string& text, size_t pos, size_t count)
{
    if (pos >= text.size())
        return -1;
    size_t n = std::min(count, text.size() - pos);
    for (size_t i = 0; i < n; ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[pos + i])))
            return -1;
    return std::atoi(text.substr(pos, n).c_str());
}

bool IsAlnum(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

bool IsAlpha(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// One token of a date pattern: letters, "MMM..." on its own, or digits.
size_t PatternToken(const char* p, size_t i)
{
    size_t start = i;
    if (std::strncmp(p + i, "MMM", 3) == 0)
    {
        while (p[i] == 'M' || p[i] == 'm')
            ++i;
        return i - start;
    }
    if (IsDigit(p[i]))
    {
        while (IsDigit(p[i]))
            ++i;
        return i - start;
    }
    while (IsAlpha(p[i]) && std::strncmp(p + i, "MMM", 3) != 0)
        ++i;
    return i - start;
}

size_t TextToken(const char* t, size_t j)
{
    size_t start = j;
    if (IsDigit(t[j]))
        while (IsDigit(t[j]))
            ++j;
    else
        while (IsAlpha(t[j]))
            ++j;
    return j - start;
}
} // namespace

bool XDate::IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int XDate::DaysInMonth(int year, int month)
{
    switch (month)
    {
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return IsLeapYear(year) ? 29 : 28;
    default:
        return 31;
    }
}

const char* XDate::MonthName(int month)
{
    return month >= 1 && month <= 12 ? kMonthNames[month - 1] : "";
}

const char* XDate::DayName(int weekday)
{
    return weekday >= 0 && weekday <= 6 ? kDayNames[weekday] : "";
}

XDate XDate::Today()
{
    return XClock::Now().Date();
}

bool XDate::SetYMD(int year, int month, int day)
{
    day_ = kNull;
    if (year < 1600 || month < 1 || day < 1)
        return false;
    long long y = year;
    if (month > 12)
    {
        y += (month - 1) / 12;
        month = (month - 1) % 12 + 1;
    }
    long long n;
    if (y == 1600 && month <= 2)
    {
        n = month == 1 ? day - 1LL : day + 30LL;
    }
    else
    {
        long long m = month;
        if (m < 3)
        {
            --y;
            m += 12;
        }
        long long yy = y - 1600;
        n = 365 * yy + yy / 4 - yy / 100 + yy / 400 + (153 * (m - 3) + 2) / 5 + day - 1 + kMarch1600;
    }
    if (n > 0x7FFFFFFF)
        return false;
    day_ = static_cast<int>(n);
    return true;
}

bool XDate::GetYMD(int& year, int& month, int& day) const
{
    if (IsNull())
    {
        year = month = day = 0;
        return false;
    }
    if (day_ < kMarch1600)
    {
        year = 1600;
        month = day_ < 31 ? 1 : 2;
        day = day_ < 31 ? day_ + 1 : day_ - 30;
        return true;
    }
    const int n = day_ - kMarch1600;
    const int era = n / 146097;
    const int doe = n % 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = 1600 + era * 400 + yoe + (month <= 2 ? 1 : 0);
    return true;
}

int XDate::Year() const
{
    int y, m, d;
    GetYMD(y, m, d);
    return y;
}

int XDate::Month() const
{
    int y, m, d;
    GetYMD(y, m, d);
    return m;
}

int XDate::Day() const
{
    int y, m, d;
    GetYMD(y, m, d);
    return d;
}

int XDate::Weekday() const
{
    return IsNull() ? -1 : (day_ + 5) % 7;
}

XDate XDate::Add(int years, int months, int days) const
{
    XDate base = IsNull() ? XDate(0) : *this;
    if (years == 0 && months == 0)
        return XDate(base.day_ + days);
    int y, m, d;
    base.GetYMD(y, m, d);
    long long month0 = static_cast<long long>(m - 1) + months;
    int carry = FloorDiv(month0, 12);
    m = static_cast<int>(month0 - carry * 12LL) + 1;
    y += years + carry;
    // Days past the month's end run into the next months; rolling over from
    // day 1 is the same walk done in one step, and also covers negative days.
    XDate first(y, m, 1);
    if (first.IsNull())
        return XDate();
    return XDate(first.day_ + (d - 1) + days);
}

XDate XDate::Subtract(int years, int months, int days) const
{
    XDate base = IsNull() ? XDate(0) : *this;
    if (years == 0 && months == 0)
        return XDate(base.day_ - days);
    return base.Add(-years, -months, -days);
}

XString XDate::Format(const char* pattern) const
{
    XString out;
    if (IsNull() || !pattern)
        return out;
    int year, month, day;
    GetYMD(year, month, day);
    // Names and texts are made only for the runs that ask for them: a
    // cache fill formats every record's date.
    auto twoDigits = [&out](int value)
    {
        out.Append(static_cast<char>('0' + value / 10 % 10));
        out.Append(static_cast<char>('0' + value % 10));
    };

    auto formatRun = [&](int letter, const char* runStart, int n)
    {
        switch (letter)
        {
        case 'D':
            if (n == 1)
                out.Append(XString(day));
            else if (n == 2)
                twoDigits(day);
            else if (n == 3)
                out.Append(Prefix(DayName(Weekday()), 3));
            else
                out.Append(DayName(Weekday()));
            break;
        case 'M':
            if (n == 1)
                out.Append(XString(month));
            else if (n == 2)
                twoDigits(month);
            else if (n == 3)
                out.Append(Prefix(MonthName(month), 3));
            else
                out.Append(MonthName(month));
            break;
        case 'W':
            out.Append(n <= 3 ? Prefix(DayName(Weekday()), n) : XString(DayName(Weekday())));
            break;
        case 'Y':
        {
            const XString yearText(year);
            if (n == 4)
                out.Append(yearText);
            else if (n == 2)
                out.Append(yearText.Mid(2));
            else if (n == 1)
                out.Append(yearText.Mid(3));
            else
                out.Append(XString(runStart, n));
            break;
        }
        default:
            out.Append(XString(runStart, n));
            break;
        }
    };
    FormatPatternRuns(pattern, out, formatRun);
    return out;
}

bool XDate::Parse(const char* pattern, const char* text)
{
    day_ = kNull;
    if (!pattern || !text)
        return false;

    int year = -1, month = -1, day = -1;
    size_t i = 0, j = 0;
    for (;;)
    {
        while (pattern[i] && !IsAlnum(pattern[i]))
            ++i;
        while (text[j] && !IsAlnum(text[j]))
            ++j;
        if (!pattern[i] || !text[j])
            break;
        const size_t pn = PatternToken(pattern, i);
        const size_t tn = TextToken(text, j);
        std::string p(pattern + i, pn);
        for (char& c : p)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const std::string t(text + j, tn);
        i += pn;
        j += tn;

        size_t pos;
        if ((pos = p.find("YYYY")) != std::string::npos)
        {
            if (t.size() >= pos + 4)
            {
                int v = Digits(t, pos, 4);
                if (v >= 0)
                    year = v;
            }
        }
        else if ((pos = p.find("YY")) != std::string::npos)
        {
            int v = Digits(t, pos, 2);
            if (v >= 0)
            {
                // The two-digit-year window: eighty years back from this year
                // (read only here: the clock is slow next to a parse).
                const XDate today = XDate::Today();
                const int base = today.IsNull() ? 1946 : today.Year() - 80;
                const int pivot = base % 100;
                const int century = base - pivot;
                year = v > pivot ? century + v : century + 100 + v;
            }
        }
        if ((pos = p.find("MMM")) != std::string::npos)
        {
            if (pos < t.size())
            {
                const std::string name = t.substr(pos, 3);
                for (int m = 1; m <= 12; ++m)
                {
                    if (qstrnicmp(kMonthNames[m - 1], name.c_str(), name.size()) == 0)
                    {
                        month = m;
                        break;
                    }
                }
            }
        }
        else if ((pos = p.find("MM")) != std::string::npos)
        {
            int v = Digits(t, pos, 2);
            if (v >= 0)
                month = v;
        }
        if ((pos = p.find("DD")) != std::string::npos)
        {
            int v = Digits(t, pos, 2);
            if (v >= 0)
                day = v;
        }
    }
    if (year < 0 || month < 0 || day < 0)
        return false;
    return SetYMD(year, month, day);
}
