#include <gtest/gtest.h>

#include "CivilDate.h"
#include "SchoolCalendar.h"

#include <stdexcept>

using demo::CivilDate;
using demo::SchoolCalendar;

namespace
{

TEST(DemoCivilDate, ParsesBothSpellingsAndRejectsOthers)
{
    EXPECT_EQ(CivilDate::parse("20260902").yyyymmdd(), 20260902);
    EXPECT_EQ(CivilDate::parse("2024-02-29").yyyymmdd(), 20240229);
    EXPECT_THROW(CivilDate::parse("20230229"), std::invalid_argument);
    EXPECT_THROW(CivilDate::parse("2026-9-2"), std::invalid_argument);
    EXPECT_THROW(CivilDate::parse("202609021"), std::invalid_argument);
    EXPECT_THROW(CivilDate::parse("2026/09/02"), std::invalid_argument);
    EXPECT_THROW(CivilDate::parse(""), std::invalid_argument);
}

TEST(DemoCivilDate, WeekdaysAndArithmeticAcrossYearEnds)
{
    EXPECT_EQ(CivilDate::fromYmd(1970, 1, 1).weekday(), 3);   // Thursday
    EXPECT_EQ(CivilDate::fromYmd(2026, 12, 9).weekday(), 2);  // Wednesday
    EXPECT_EQ(CivilDate::fromYmd(1969, 12, 29).weekday(), 0); // Monday, before the epoch
    EXPECT_EQ(CivilDate::fromYmd(2026, 12, 31).plusDays(1).yyyymmdd(), 20270101);
    EXPECT_EQ(CivilDate::fromYmd(2028, 3, 1).plusDays(-1).yyyymmdd(), 20280229);
    EXPECT_EQ(demo::nthWeekdayOfMonth(2026, 9, 0, 1).yyyymmdd(), 20260907);  // Labor Day
    EXPECT_EQ(demo::nthWeekdayOfMonth(2026, 11, 3, 4).yyyymmdd(), 20261126); // Thanksgiving
    EXPECT_EQ(demo::nthWeekdayOfMonth(2027, 5, 0, 0).yyyymmdd(), 20270531);  // Memorial Day
}

TEST(DemoSchoolCalendar, TheSchoolYearTurnsInJuly)
{
    EXPECT_EQ(SchoolCalendar::startYearFor(CivilDate::fromYmd(2027, 6, 30)), 2026);
    EXPECT_EQ(SchoolCalendar::startYearFor(CivilDate::fromYmd(2027, 7, 1)), 2027);
    EXPECT_EQ(SchoolCalendar::startYearFor(CivilDate::fromYmd(2027, 1, 4)), 2026);
    EXPECT_EQ(SchoolCalendar::startYearFor(CivilDate::fromYmd(2026, 12, 31)), 2026);
}

TEST(DemoSchoolCalendar, RunsFromLateAugustToMidJuneOnWeekdaysOnly)
{
    const SchoolCalendar cal(2026);
    ASSERT_FALSE(cal.days().empty());
    EXPECT_EQ(cal.firstDay().yyyymmdd(), 20260831); // last Monday of August
    EXPECT_EQ(cal.lastDay().yyyymmdd(), 20270618);  // first Friday on or after 12 June
    EXPECT_EQ(cal.days().front().dayCode, "FD");
    EXPECT_EQ(cal.days().back().dayCode, "LD");
    int firstDays = 0, lastDays = 0;
    for (std::size_t i = 0; i < cal.days().size(); ++i)
    {
        const auto& d = cal.days()[i];
        EXPECT_TRUE(d.date.isWeekday()) << d.date.yyyymmdd();
        EXPECT_EQ(d.instructional, d.dayCode != "HO") << d.date.yyyymmdd();
        if (i > 0)
        {
            EXPECT_LT(cal.days()[i - 1].date, d.date);
        }
        firstDays += d.dayCode == "FD";
        lastDays += d.dayCode == "LD";
    }
    EXPECT_EQ(firstDays, 1);
    EXPECT_EQ(lastDays, 1);
}

TEST(DemoSchoolCalendar, HolidaysAreNotInstructional)
{
    const SchoolCalendar cal(2026);
    auto codeOf = [&cal](long ymd) -> std::string
    {
        for (const auto& d : cal.days())
            if (d.date.yyyymmdd() == ymd)
                return d.dayCode;
        return "absent";
    };
    EXPECT_EQ(codeOf(20260907), "HO"); // Labor Day
    EXPECT_EQ(codeOf(20261126), "HO"); // Thanksgiving
    EXPECT_EQ(codeOf(20261127), "HO");
    EXPECT_EQ(codeOf(20261125), "ED");
    EXPECT_EQ(codeOf(20261225), "HO");
    EXPECT_EQ(codeOf(20270101), "HO");
    EXPECT_EQ(codeOf(20270118), "HO"); // Martin Luther King Jr. Day
    EXPECT_EQ(codeOf(20270405), "HO"); // spring break
    EXPECT_EQ(codeOf(20270409), "HO");
    EXPECT_EQ(codeOf(20270531), "HO");     // Memorial Day
    EXPECT_EQ(codeOf(20260905), "absent"); // a Saturday
    EXPECT_EQ(codeOf(20260908), "1");
}

TEST(DemoSchoolCalendar, QuartersCoverTheInstructionalDaysWithoutGaps)
{
    for (int year : {2024, 2025, 2026, 2027, 2030})
    {
        const SchoolCalendar cal(year);
        const auto& q = cal.quarters();
        const auto& days = cal.instructionalDays();
        EXPECT_EQ(q[0].begin, days.front()) << year;
        EXPECT_EQ(q[3].end, days.back()) << year;
        for (int i = 0; i < 4; ++i)
            EXPECT_LE(q[i].begin, q[i].end) << year;
        for (int i = 1; i < 4; ++i)
        {
            // The next quarter starts on the instructional day after the previous one ends.
            std::size_t k = 0;
            while (days[k] != q[i - 1].end)
                ++k;
            EXPECT_EQ(days[k + 1], q[i].begin) << year << " quarter " << i;
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
