#include <gtest/gtest.h>

#include "XClock.h"
#include "XDateTime.h"

// Valid days are numbered in the calendar walk below; the others are null.
TEST(XDateArithmeticTest, DayNumbers)
{
    EXPECT_TRUE(XDate(1599, 12, 31).IsNull());
    EXPECT_TRUE(XDate(2026, 0, 5).IsNull());
    EXPECT_TRUE(XDate(2026, 5, 0).IsNull());
    EXPECT_TRUE(XDate().IsNull());
}

TEST(XDateArithmeticTest, SplittingWalksTheCalendar)
{
    // Every day from 1600 to past 2100 splits into the next calendar day.
    int y = 1600, m = 1, d = 1;
    for (int n = 0; n < 190000; ++n)
    {
        int gy, gm, gd;
        ASSERT_TRUE(XDate(n).GetYMD(gy, gm, gd));
        ASSERT_EQ(y, gy) << n;
        ASSERT_EQ(m, gm) << n;
        ASSERT_EQ(d, gd) << n;
        ASSERT_EQ(n, XDate(y, m, d).DayNumber());
        if (++d > XDate::DaysInMonth(y, m))
        {
            d = 1;
            if (++m > 12)
            {
                m = 1;
                ++y;
            }
        }
    }
}

TEST(XDateArithmeticTest, LeapYearsAndWeekdays)
{
    EXPECT_TRUE(XDate::IsLeapYear(1600));
    EXPECT_FALSE(XDate::IsLeapYear(1900));
    EXPECT_TRUE(XDate::IsLeapYear(2024));
    EXPECT_FALSE(XDate::IsLeapYear(2026));
    EXPECT_EQ(5, XDate(1600, 1, 1).Weekday());  // Saturday
    EXPECT_EQ(1, XDate(2026, 12, 8).Weekday()); // Tuesday
    EXPECT_EQ(0, XDate(2026, 12, 7).Weekday()); // Monday
    EXPECT_EQ(-1, XDate().Weekday());
}

// Days and months beyond their ends roll over, when made and when added or subtracted.
TEST(XDateArithmeticTest, RollingOverMonthEnds)
{
    const struct
    {
        XDate got;
        XDate want;
    } cases[] = {
        {XDate(2026, 2, 30), XDate(2026, 3, 2)},
        {XDate(2024, 2, 30), XDate(2024, 3, 1)},
        {XDate(2025, 13, 1), XDate(2026, 1, 1)},
        {XDate(2025, 27, 1), XDate(2027, 3, 1)},
        {XDate(1600, 1, 40), XDate(1600, 2, 9)},
        {XDate(2026, 1, 31).Add(0, 1, 0), XDate(2026, 3, 3)},
        {XDate(2024, 1, 31).Add(0, 1, 0), XDate(2024, 3, 2)},
        {XDate(2026, 2, 15).Add(0, 11, 0), XDate(2027, 1, 15)},
        {XDate(2024, 2, 29).Add(1, 0, 0), XDate(2025, 3, 1)},
        {XDate(2026, 2, 25).Add(0, 0, 7), XDate(2026, 3, 4)},
        {XDate(2026, 1, 10).Add(0, 1, -20), XDate(2026, 1, 21)},
        {XDate().Add(0, 0, 1), XDate(1600, 1, 2)},
        {XDate(2026, 3, 15).Subtract(0, 1, 15), XDate(2026, 1, 31)},
        {XDate(2026, 3, 15).Subtract(0, 1, 14), XDate(2026, 2, 1)},
        {XDate(2026, 2, 15).Subtract(0, 3, 0), XDate(2025, 11, 15)},
        {XDate(2026, 1, 1).Subtract(0, 0, 1), XDate(2025, 12, 31)},
        {XDate(2026, 3, 31).Subtract(0, 1, 0), XDate(2026, 3, 3)},
        {XDate(1600, 1, 1).Subtract(0, 0, 1), XDate()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.want, c.got) << c.want.FormatIso().Std();
    XDate unchanged(2026, 1, 31);
    (void)unchanged.Add(0, 1, 0);
    EXPECT_EQ(XDate(2026, 1, 31), unchanged);
}

TEST(XDateArithmeticTest, DateTimeCarriesAndBorrowsDays)
{
    const XDateTime late(XDate(2026, 12, 31), XTime(23, 30, 0));
    EXPECT_EQ(XDateTime(XDate(2027, 1, 1), XTime(0, 30, 0)), late.Add(0, 0, 0, 1));
    EXPECT_EQ(XDateTime(XDate(2027, 1, 2), XTime(23, 30, 0)), late.Add(0, 0, 0, 48));
    const XDateTime early(XDate(2026, 1, 1), XTime(0, 30, 0));
    EXPECT_EQ(XDateTime(XDate(2025, 12, 31), XTime(23, 30, 0)), early.Subtract(0, 0, 0, 1));
    EXPECT_EQ(XDateTime(XDate(2025, 12, 1), XTime(0, 30, 0)), early.Subtract(0, 1, 0));
    EXPECT_EQ(XDateTime(XDate(2026, 12, 7), XTime(14, 0, 0)),
              XDateTime(XDate(2026, 12, 8), XTime(2, 0, 0)).Subtract(0, 0, 0, 12));
}

TEST(XDateArithmeticTest, Comparisons)
{
    EXPECT_TRUE(XDate() < XDate(1600, 1, 1));
    EXPECT_TRUE(XDate() == XDate());
    EXPECT_TRUE(XDate(2026, 1, 1) > XDate(2025, 12, 31));
    EXPECT_EQ(1, XDate(2026, 1, 1) - XDate(2025, 12, 31));
    const XDate d(2026, 1, 1);
    EXPECT_TRUE(XDateTime(d) < XDateTime(d, XTime(0)));
    EXPECT_TRUE(XDateTime(d, XTime(5)) < XDateTime(d + 1, XTime(0)));
    EXPECT_TRUE(XDateTime().IsNull());
    EXPECT_FALSE(XDateTime(d).IsNull());
}

TEST(XDateArithmeticTest, OleDates)
{
    EXPECT_TRUE(XDateTime::FromOleDate(0.0).IsNull());
    EXPECT_TRUE(XDateTime::FromOleDate(0.0).Date().IsNull());
    EXPECT_TRUE(XDateTime::FromOleDate(0.0).Time().IsNull());
    EXPECT_EQ(XDateTime(XDate(1899, 12, 31), XTime(12, 0, 0)), XDateTime::FromOleDate(1.5));
    EXPECT_EQ(XDateTime(XDate(2025, 1, 1), XTime(10, 30, 0)), XDateTime::FromOleDate(45658.4375));
    // A second that the double cannot hold exactly still reads as that second.
    EXPECT_EQ(XDateTime(XDate(2025, 1, 1), XTime(10, 30, 1)),
              XDateTime::FromOleDate(45658.0 + (10 * 3600 + 30 * 60 + 1) / 86400.0));
    // Before the epoch the fraction still counts from midnight.
    EXPECT_EQ(XDateTime(XDate(1899, 12, 29), XTime(6, 0, 0)), XDateTime::FromOleDate(-1.25));
}

// The fixed time is read in the writer's golden files, the real one in the bridge's runs.
TEST(XDateArithmeticTest, ClockCanBeFixed)
{
    XClock::SetFixed(XDateTime(XDate(2026, 12, 8), XTime(9, 5, 7, 1)));
    EXPECT_TRUE(XClock::IsFixed());
    XClock::Reset();
    EXPECT_FALSE(XClock::IsFixed());
    EXPECT_GE(XDate::Today().Year(), 2024);
    EXPECT_FALSE(XDateTime::Now().Time().IsNull());
}
