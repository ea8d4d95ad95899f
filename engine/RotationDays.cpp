#include "RotationDays.h"

namespace
{

struct Spelling
{
    const char* name;
    const char* order;
};

const Spelling kSpellings[] = {
    {"M", "1"},    {"Monday", "1"},    {"Mon", "1"},    {"T", "2"},   {"Tuesday", "2"}, {"Tue", "2"},
    {"W", "3"},    {"Wednesday", "3"}, {"Wed", "3"},    {"R", "4"},   {"TH", "4"},      {"Thursday", "4"},
    {"Thur", "4"}, {"F", "5"},         {"Friday", "5"}, {"Fri", "5"},
};

} // namespace

RotationDays::RotationDays(LookupList& days) : days_(days)
{
    days_.Clear();
}

XString RotationDays::WeekdayOrder(const XString& day)
{
    for (const Spelling& s : kSpellings)
        if (day.CompareNoCase(s.name) == 0)
            return s.order;
    return XString();
}

void RotationDays::Add(const XString& day)
{
    const XString order = WeekdayOrder(day);
    if (!order.IsEmpty())
        order_ = order;
    days_.Add(day, order_);
}

bool RotationDays::IsWeek() const
{
    if (days_.Count() != 5)
        return false;
    int seen[6] = {0, 0, 0, 0, 0, 0};
    days_.ForEach(
        [&seen](const XString&, const XString& order)
        {
            if (order.Length() == 1 && order[0] >= '1' && order[0] <= '5')
                ++seen[order[0] - '0'];
        });
    for (int n = 1; n <= 5; ++n)
        if (seen[n] % 2 == 0)
            return false;
    return true;
}

std::vector<std::pair<XString, XString>> RotationDays::Lines() const
{
    const bool week = IsWeek();
    std::vector<std::pair<XString, XString>> lines;
    days_.ForEach([&lines, week](const XString& day, const XString& order)
                  { lines.emplace_back(day, week ? order : XString()); });
    return lines;
}
