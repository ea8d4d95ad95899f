#include "SchoolCalendar.h"

#include <algorithm>
#include <set>

namespace demo
{
namespace
{

constexpr int kMonday = 0, kThursday = 3, kFriday = 4;

std::set<long> holidays(int y)
{
    std::set<long> out;
    auto add = [&out](const CivilDate& d) { out.insert(d.yyyymmdd()); };
    add(nthWeekdayOfMonth(y, 9, kMonday, 1)); // Labor Day
    const CivilDate thanksgiving = nthWeekdayOfMonth(y, 11, kThursday, 4);
    add(thanksgiving);
    add(thanksgiving.plusDays(1));
    for (CivilDate d = CivilDate::fromYmd(y, 12, 23); d <= CivilDate::fromYmd(y + 1, 1, 1); d = d.plusDays(1))
        add(d);                                   // winter break
    add(nthWeekdayOfMonth(y + 1, 1, kMonday, 3)); // Martin Luther King Jr. Day
    add(nthWeekdayOfMonth(y + 1, 2, kMonday, 3)); // Presidents' Day
    const CivilDate spring = nthWeekdayOfMonth(y + 1, 4, kMonday, 1);
    for (int i = 0; i < 5; ++i)
        add(spring.plusDays(i));                  // spring break
    add(nthWeekdayOfMonth(y + 1, 5, kMonday, 0)); // Memorial Day
    return out;
}

} // namespace

int SchoolCalendar::startYearFor(const CivilDate& today)
{
    return today.month() >= 7 ? today.year() : today.year() - 1;
}

SchoolCalendar::SchoolCalendar(int startYear) : startYear_(startYear)
{
    const CivilDate first = nthWeekdayOfMonth(startYear, 8, kMonday, 0);
    CivilDate last = CivilDate::fromYmd(startYear + 1, 6, 12);
    while (last.weekday() != kFriday)
        last = last.plusDays(1);
    const std::set<long> off = holidays(startYear);
    const long beforeThanksgiving = nthWeekdayOfMonth(startYear, 11, kThursday, 4).plusDays(-1).yyyymmdd();
    static const char* const letters[] = {"M", "T", "W", "R", "F"};

    for (CivilDate d = first; d <= last; d = d.plusDays(1))
    {
        if (!d.isWeekday())
            continue;
        CalendarDay day{d, "1", true, letters[d.weekday()]};
        if (off.count(d.yyyymmdd()))
        {
            day.dayCode = "HO";
            day.instructional = false;
        }
        else if (d == first)
            day.dayCode = "FD";
        else if (d == last)
            day.dayCode = "LD";
        else if (d.yyyymmdd() == beforeThanksgiving)
            day.dayCode = "ED";
        if (day.instructional)
            instructional_.push_back(d);
        days_.push_back(day);
    }

    const std::size_t n = instructional_.size();
    for (std::size_t q = 0; q < 4; ++q)
    {
        const std::size_t from = n * q / 4, to = n * (q + 1) / 4 - 1;
        quarters_[q] = {instructional_[from], instructional_[to]};
    }
}

CivilDate SchoolCalendar::instructionalDay(int n) const
{
    const int last = static_cast<int>(instructional_.size()) - 1;
    return instructional_[static_cast<std::size_t>(std::clamp(n, 0, last))];
}

} // namespace demo
