#include <cctype>
#include <cstdlib>
#include <string>
#include <strings.h>

#include "XDateTime.h"
#include "XPatternRuns.h"

namespace
{
bool ContainsNoCase(const char* text, const char* what)
{
    for (; *text; ++text)
        if (strncasecmp(text, what, std::char_traits<char>::length(what)) == 0)
            return true;
    return false;
}

XString Padded(int value, int width)
{
    return XString().Format(16, "%0*d", width, value);
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

    long long hours = std::atoll(digits[0].c_str());
    if (hasMeridian && pm && hours < 12)
        hours += 12;
    else if (hasMeridian && !pm && hours == 12)
        hours = 0;
    const long long ms = hours * 3600000 + std::atoll(digits[1].c_str()) * 60000 +
                         std::atoll(digits[2].c_str()) * 1000 + std::atoll(digits[3].c_str());
    if (ms >= kMsPerDay)
        return false;
    ms_ = static_cast<int>(ms);
    return true;
}
