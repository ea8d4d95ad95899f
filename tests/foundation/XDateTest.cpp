// Dates, times and date-times: their arithmetic, their formats and their parsing.
#include <gtest/gtest.h>

#include <cstdio>

#include "GoldenSection.h"
#include "XClock.h"
#include "XDateTime.h"

namespace
{
// Tuesday 8 December 2026 at the given time.
XDateTime Dec8(int h, int n, int s, int l = 0)
{
    return XDateTime(XDate(2026, 12, 8), XTime(h, n, s, l));
}

class XDateParseTest : public ::testing::Test
{
protected:
    void SetUp() override { XClock::SetFixed(Dec8(10, 0, 0)); }
    void TearDown() override { XClock::Reset(); }
};
} // namespace

// Valid days are numbered in the calendar walk below; the others are null.
TEST(XDateArithmeticTest, DayNumbers)
{
    for (const XDate& d : {XDate(1599, 12, 31), XDate(2026, 0, 5), XDate(2026, 5, 0), XDate()})
        EXPECT_TRUE(d.IsNull()) << d.DayNumber();
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
    for (const auto& [year, leap] : {std::pair{1600, true}, {1900, false}, {2024, true}, {2026, false}})
        EXPECT_EQ(leap, XDate::IsLeapYear(year)) << year;
    EXPECT_EQ(5, XDate(1600, 1, 1).Weekday());  // Saturday
    EXPECT_EQ(1, XDate(2026, 12, 8).Weekday()); // Tuesday
    EXPECT_EQ(0, XDate(2026, 12, 7).Weekday()); // Monday
    EXPECT_EQ(-1, XDate().Weekday());
}

// Days and months beyond their ends roll over, when made and when added or subtracted.
TEST(XDateArithmeticTest, RollingOverMonthEnds)
{
    for (const auto& l : GoldenLines("dates.txt", "RollOver", 3, "foundation"))
    {
        int y = 0, m = 0, d = 0, years = 0, months = 0, days = 0;
        char sign = ' ';
        const XDate made = std::sscanf(l[0].c_str(), "%d-%d-%d", &y, &m, &d) == 3 ? XDate(y, m, d) : XDate();
        std::sscanf(l[1].c_str(), "%c%d %d %d", &sign, &years, &months, &days);
        const XDate got = sign == '+'   ? made.Add(years, months, days)
                          : sign == '-' ? made.Subtract(years, months, days)
                                        : made;
        EXPECT_EQ(l[2], got.FormatIso().Std()) << l[0] << " " << l[1];
    }
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
    EXPECT_EQ(XDateTime(XDate(2026, 12, 7), XTime(14, 0, 0)), Dec8(2, 0, 0).Subtract(0, 0, 0, 12));
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
    XClock::SetFixed(Dec8(9, 5, 7, 1));
    EXPECT_TRUE(XClock::IsFixed());
    XClock::Reset();
    EXPECT_FALSE(XClock::IsFixed());
    EXPECT_GE(XDate::Today().Year(), 2024);
    EXPECT_FALSE(XDateTime::Now().Time().IsNull());
}

TEST(XDateFormatTest, DateRuns)
{
    const XDate d(2026, 3, 5);
    for (const auto& l : GoldenLines("dates.txt", "DateFormat", 2, "foundation"))
        EXPECT_EQ(l[1], d.Format(l[0].c_str()).Std()) << l[0];
    EXPECT_EQ("15", XDate(2026, 3, 15).Format("D"));
    EXPECT_EQ("12", XDate(2026, 12, 5).Format("M"));
    EXPECT_EQ("2026-03-05", d.FormatIso());
    EXPECT_EQ("", XDate().Format("YYYY"));
}

// The hour is padded only where digits follow; AA gives a twelve-hour clock with its meridian.
TEST(XDateFormatTest, HoursAndMeridians)
{
    EXPECT_EQ("090507", Dec8(9, 5, 7).Format("HHNNSS"));
    EXPECT_EQ("9:05", Dec8(9, 5, 7).Format("HH:NN"));
    EXPECT_EQ("14:05", Dec8(14, 5, 7).Format("HH:NN"));
    EXPECT_EQ("at 09", Dec8(9, 5, 7).Format("at HH"));
    EXPECT_EQ("20261208090507", Dec8(9, 5, 7).Format("YYYYMMDDHHNNSS"));
    EXPECT_EQ("20261208000000", Dec8(0, 0, 0).Format("YYYYMMDDHHNNSS"));
    const char* pattern = "WWW, MMM DD, YYYY: HH:NN:SS AA";
    EXPECT_EQ("Tue, Dec 08, 2026: 9:05:07 AM", Dec8(9, 5, 7).Format(pattern));
    EXPECT_EQ("Tue, Dec 08, 2026: 12:30:00 AM", Dec8(0, 30, 0).Format(pattern));
    EXPECT_EQ("Tue, Dec 08, 2026: 12:00:00 PM", Dec8(12, 0, 0).Format(pattern));
    EXPECT_EQ("Tue, Dec 08, 2026: 11:59:59 PM", Dec8(23, 59, 59).Format(pattern));
    EXPECT_EQ("1:45 pm?", XString(Dec8(13, 45, 0).Format("HH:NN aa?").Lower()));
}

TEST(XDateFormatTest, TimeRunsOfOtherLengthsPass)
{
    XTime t(9, 5, 7, 45);
    EXPECT_EQ("045", t.Format("LLL"));
    EXPECT_EQ("LL", t.Format("LL"));
    EXPECT_EQ("H N S A", t.Format("H N S A"));
    EXPECT_EQ("9:05:07.045", t.Format("HH:NN:SS.LLL"));
    EXPECT_EQ("9:05:07.045", t.Format("hh:nn:ss.lll"));
    EXPECT_EQ("", XTime().Format("HH"));
    // A date and time without its date is empty too (without its time: the writer's SchoolConfig test).
    EXPECT_EQ("", XDateTime(XDate(), XTime(0)).Format("HH"));
}

TEST_F(XDateParseTest, Dates)
{
    for (const auto& l : GoldenLines("dates.txt", "DateParse", 3, "foundation"))
    {
        XDate d(2000, 1, 1);
        EXPECT_EQ(!l[2].empty(), d.Parse(l[0].c_str(), l[1].c_str())) << l[1];
        EXPECT_EQ(l[2], d.FormatIso().Std()) << l[1]; // a refused text leaves the date null
    }
    XDate d;
    ASSERT_TRUE(d.ParseIso("2025-01-31"));
    EXPECT_EQ(XDate(2025, 1, 31), d);

    XClock::SetFixed(XDateTime(XDate(2050, 6, 1)));
    ASSERT_TRUE(d.Parse("MM/DD/YY", "01/02/71"));
    EXPECT_EQ(1971, d.Year());
    ASSERT_TRUE(d.Parse("MM/DD/YY", "01/02/70"));
    EXPECT_EQ(2070, d.Year());
}

TEST_F(XDateParseTest, Times)
{
    for (const auto& l : GoldenLines("dates.txt", "TimeParse", 3, "foundation"))
    {
        XTime t(1, 1, 1);
        EXPECT_EQ(!l[2].empty(), t.Parse(l[0].c_str(), l[1].c_str())) << l[1];
        EXPECT_EQ(l[2], t.Format("HH:NN:SS.LLL").Std()) << l[1];
    }
}

// The round trip of the configuration's "dd-mmm-yyyy hh:nn:ss" is the writer's SchoolConfig test.
TEST_F(XDateParseTest, DateTimes)
{
    for (const auto& l : GoldenLines("dates.txt", "DateTimeParse", 3, "foundation"))
    {
        XDateTime dt;
        EXPECT_TRUE(dt.Parse(l[0].c_str(), l[1].c_str())) << l[1];
        EXPECT_EQ(l[2], dt.Date().FormatIso().Std() + " " + dt.Time().Format("HH:NN:SS").Std()) << l[1];
    }
    XDateTime dt;
    ASSERT_TRUE(dt.ParseIso("2026-12-08 09:05:07.250"));
    EXPECT_EQ(Dec8(9, 5, 7, 250), dt);
    ASSERT_TRUE(dt.ParseIso("2026-12-08"));
    EXPECT_EQ(XDate(2026, 12, 8), dt.Date());
    EXPECT_TRUE(dt.Time().IsNull());
    EXPECT_FALSE(dt.ParseIso("garbage"));
    EXPECT_TRUE(dt.IsNull());
}
