#pragma once

#include <utility>
#include <vector>

#include "LookupList.h"
#include "XString.h"

// The weekday order of the rotation days that a school's section meetings
// use. Each day value takes the weekday order of its spelling ("1" Monday to
// "5" Friday) or, when it is not a weekday name, the order of the value read
// before it. The first record of a value decides its order. The orders are
// kept only when the values make exactly one school week.
class RotationDays
{
public:
    // Fills the engine's days list, which it empties first.
    explicit RotationDays(LookupList& days);

    // "1" to "5" for the spellings of Monday to Friday (any letter case), else "".
    static XString WeekdayOrder(const XString& day);

    void Add(const XString& day);
    // Five values whose orders are 1 to 5, each once.
    bool IsWeek() const;
    // (day, order or "" when the values make no week), in the list's key order.
    std::vector<std::pair<XString, XString>> Lines() const;

private:
    LookupList& days_;
    XString order_;
};
