#pragma once

#include <cctype>
#include <cstddef>

#include "XString.h"

// Date and time patterns are made of runs of one letter in any case ("dd",
// "MMMM", "hh"); everything that is not a letter stands for itself.

// The length of the run of the letter at p, case ignored.
inline int PatternRunLength(const char* p)
{
    int n = 1;
    const int c = std::toupper(static_cast<unsigned char>(p[0]));
    while (p[n] && std::toupper(static_cast<unsigned char>(p[n])) == c)
        ++n;
    return n;
}

// Walks a pattern for formatting: characters that are not letters go to out
// as they are; each run goes to formatRun(upper-case letter, run, length),
// where run points into the pattern (run[length] is what follows the run).
template <typename FormatRun> void FormatPatternRuns(const char* pattern, XString& out, FormatRun formatRun)
{
    for (std::size_t i = 0; pattern[i];)
    {
        if (!std::isalpha(static_cast<unsigned char>(pattern[i])))
        {
            out.Append(pattern[i++]);
            continue;
        }
        const int n = PatternRunLength(pattern + i);
        formatRun(std::toupper(static_cast<unsigned char>(pattern[i])), pattern + i, n);
        i += n;
    }
}
