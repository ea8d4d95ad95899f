// The days of the 2026 school year are compared whole by the engine's
// exported calendar, the turn of the year by the demo district's tests;
// these cases hold for other years and other inputs.
#include <gtest/gtest.h>

#include "CivilDate.h"
#include "SchoolCalendar.h"

#include <algorithm>
#include <stdexcept>

using demo::CivilDate;
using demo::SchoolCalendar;

namespace
{

TEST(DemoCivilDate, ParsesBothSpellingsAndRejectsOthers)
{
    EXPECT_EQ(CivilDate::parse("20260902").yyyymmdd(), 20260902);
    EXPECT_EQ(CivilDate::parse("2024-02-29").yyyymmdd(), 20240229);
    for (const char* bad : {"20230229", "2026-9-2", "202609021", "2026/09/02", ""})
        EXPECT_THROW(CivilDate::parse(bad), std::invalid_argument) << bad;
}

TEST(DemoCivilDate, WeekdaysAndArithmeticAcrossYearEnds)
{
    EXPECT_EQ(CivilDate::fromYmd(1970, 1, 1).weekday(), 3);   // Thursday
    EXPECT_EQ(CivilDate::fromYmd(1969, 12, 29).weekday(), 0); // Monday, before the epoch
    EXPECT_EQ(CivilDate::fromYmd(2026, 12, 31).plusDays(1).yyyymmdd(), 20270101);
    EXPECT_EQ(CivilDate::fromYmd(2028, 3, 1).plusDays(-1).yyyymmdd(), 20280229);
}

TEST(DemoSchoolCalendar, EveryYearHasWeekdaysOnlyAndQuartersWithoutGaps)
{
    for (int year : {2024, 2025, 2026, 2027, 2030})
    {
        const SchoolCalendar cal(year);
        ASSERT_FALSE(cal.days().empty());
        for (std::size_t i = 0; i < cal.days().size(); ++i)
        {
            const auto& d = cal.days()[i];
            EXPECT_TRUE(d.date.isWeekday()) << d.date.yyyymmdd();
            EXPECT_EQ(d.instructional, d.dayCode != "HO") << d.date.yyyymmdd();
            EXPECT_TRUE(i == 0 || cal.days()[i - 1].date < d.date) << d.date.yyyymmdd();
            EXPECT_TRUE((d.dayCode == "FD") == (i == 0) &&
                        (d.dayCode == "LD") == (i + 1 == cal.days().size()))
                << d.date.yyyymmdd();
        }
        const auto& q = cal.quarters();
        const auto& days = cal.instructionalDays();
        EXPECT_EQ(q[0].begin, days.front()) << year;
        EXPECT_EQ(q[3].end, days.back()) << year;
        for (int i = 0; i < 4; ++i)
            EXPECT_LE(q[i].begin, q[i].end) << year;
        for (int i = 1; i < 4; ++i)
        {
            // The next quarter starts on the instructional day after the previous one ends.
            const auto end = std::find(days.begin(), days.end(), q[i - 1].end);
            ASSERT_NE(end + 1, days.end());
            EXPECT_EQ(end[1], q[i].begin) << year << " quarter " << i;
        }
        EXPECT_GT(days.size(), 170u) << year;
        EXPECT_LT(days.size(), 200u) << year;
    }
}

TEST(DemoSchoolCalendar, InstructionalDayIsClampedToTheYear)
{
    const SchoolCalendar cal(2026);
    EXPECT_EQ(cal.instructionalDay(0), cal.firstDay());
    EXPECT_EQ(cal.instructionalDay(-5), cal.firstDay());
    EXPECT_EQ(cal.instructionalDay(100000), cal.instructionalDays().back());
    EXPECT_EQ(cal.instructionalDay(4).yyyymmdd(), 20260904); // Labor Day falls on the 6th weekday
    EXPECT_EQ(cal.instructionalDay(5).yyyymmdd(), 20260908);
}

} // namespace
