#pragma once

#include "CivilDate.h"

#include <array>
#include <string>
#include <vector>

namespace demo
{

struct CalendarDay
{
    CivilDate date;
    std::string dayCode; // "FD" first day, "LD" last day, "HO" holiday, "ED" early dismissal, "1" other days
    bool instructional;
    std::string cycleDay; // weekday letter M, T, W, R, F
};

struct TermSpan
{
    CivilDate begin;
    CivilDate end;
};

// The weekdays of one school year, from the last Monday of August to the first Friday on or
// after 12 June, with the usual holidays, split into four marking periods.
class SchoolCalendar
{
public:
    explicit SchoolCalendar(int startYear);

    // The school year a day belongs to: from July on, the one starting that year.
    static int startYearFor(const CivilDate& today);

    int startYear() const { return startYear_; }
    const std::vector<CalendarDay>& days() const { return days_; }
    const std::vector<CivilDate>& instructionalDays() const { return instructional_; }
    const std::array<TermSpan, 4>& quarters() const { return quarters_; }
    CivilDate firstDay() const { return days_.front().date; }
    CivilDate lastDay() const { return days_.back().date; }
    // The n-th instructional day counted from 0, clamped to the year.
    CivilDate instructionalDay(int n) const;

private:
    int startYear_;
    std::vector<CalendarDay> days_;
    std::vector<CivilDate> instructional_;
    std::array<TermSpan, 4> quarters_;
};

} // namespace demo
