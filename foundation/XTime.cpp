#include <QByteArrayAlgorithms>
#include <cctype>
#include <cstdlib>
#include <string>

#include "XDateTime.h"
#include "XPatternRuns.h"

namespace
{
bool ContainsNoCase(const char* text, const char* what)
{
    for (; *text; ++text)
        if (qstrnicmp(text, what, std::char_traits<char>::length(what)) == 0)
            return true;
    return false;
}

XString Padded(int value, int width)
{
    return XString().Format(16, "%0*d", width, value);
}

// The value of a run of digits; -1 beyond nine significant digits, which no
// part of a time of day has (and which would overflow the sums below).
long long DigitsValue(const std::string& digits)
{
    const size_t first = digits.find_first_not_of('0');
    if (first != std::string::npos && digits.size() - first > 9)
        return -1;
    return std::atoll(digits.c_str());
}
} // namespace

XTime::XTime(int hour, int minute, int second, int millisecond)
{
    long long ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
    ms_ = (hour < 0 || minute < 0 || second < 0 || millisecond < 0 || ms >= kMsPerDay) ? kNull
                                                                                       : static_cast<int>(ms);
}

XString XTime::Format(const char* pattern) const
{
    XString out;
    if (IsNull() || !pattern)
        return out;
    const bool twelveHour = ContainsNoCase(pattern, "AA");
    const int hour24 = Hour();
    int hour = hour24;
    if (twelveHour)
    {
        if (hour == 0)
            hour = 12;
        else if (hour > 12)
            hour -= 12;
    }

    auto formatRun = [&](int letter, const char* run, int n)
    {
        switch (letter)
        {
        case 'H':
            if (n == 2)
            {
                // Pad only when the hour runs straight into more digits or ends the text.
                const char next = run[n];
                bool pad = next == '\0' || std::isalpha(static_cast<unsigned char>(next));
                out.Append(pad ? Padded(hour, 2) : XString(hour));
            }
            else
                out.Append(XString(run, n));
            break;
        case 'N':
            out.Append(n == 2 ? Padded(Minute(), 2) : XString(run, n));
            break;
        case 'S':
            out.Append(n == 2 ? Padded(Second(), 2) : XString(run, n));
            break;
        case 'L':
            out.Append(n == 3 ? Padded(Millisecond(), 3) : XString(run, n));
            break;
        case 'A':
            out.Append(n == 2 ? XString(hour24 >= 12 ? "PM" : "AM") : XString(run, n));
            break;
        default:
            out.Append(XString(run, n));
            break;
        }
    };
    FormatPatternRuns(pattern, out, formatRun);
    return out;
}

bool XTime::Parse(const char* pattern, const char* text)
{
    ms_ = kNull;
    if (!pattern || !text)
        return false;
    std::string digits[4]; // hours, minutes, seconds, milliseconds
    bool hasMeridian = false;
    bool pm = false;
    size_t i = 0, j = 0;
    while (pattern[i] && text[j])
    {
        const int c = std::toupper(static_cast<unsigned char>(pattern[i]));
        if (c == 'A')
        {
            const int n = PatternRunLength(pattern + i);
            int taken = 0;
            char first = 0;
            for (int k = 0; k < n && text[j]; ++k)
            {
                const char t = static_cast<char>(std::toupper(static_cast<unsigned char>(text[j])));
                if (t == 'A' || t == 'M' || t == 'P')
                {
                    if (taken == 0)
                        first = t;
                    ++taken;
                    ++j;
                }
            }
            if (taken == 2)
            {
                hasMeridian = true;
                pm = first == 'P';
            }
            i += n;
        }
        else if (c == 'H' || c == 'N' || c == 'S' || c == 'L')
        {
            const int slot = c == 'H' ? 0 : c == 'N' ? 1 : c == 'S' ? 2 : 3;
            const int n = PatternRunLength(pattern + i);
            for (int k = 0; k < n && text[j]; ++k)
                if (std::isdigit(static_cast<unsigned char>(text[j])))
                    digits[slot] += text[j++];
            i += n;
        }
        else
        {
            ++i;
            ++j;
        }
    }
    if (digits[0].empty())
        return false;
    bool patternHasA = false;
    for (const char* p = pattern; *p; ++p)
        if (*p == 'A' || *p == 'a')
            patternHasA = true;
    if (patternHasA && !hasMeridian)
        return false;

    long long value[4];
    for (int k = 0; k < 4; ++k)
        if ((value[k] = DigitsValue(digits[k])) < 0)
            return false;
    long long hours = value[0];
    if (hasMeridian && pm && hours < 12)
        hours += 12;
    else if (hasMeridian && !pm && hours == 12)
        hours = 0;
    const long long ms = hours * 3600000 + value[1] * 60000 + value[2] * 1000 + value[3];
    if (ms >= kMsPerDay)
        return false;
    ms_ = static_cast<int>(ms);
    return true;
}
