// Dates, times and date-times: their arithmetic, their formats and their parsing.
#include <gtest/gtest.h>

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

// Runs of day, month, weekday and year letters of either case; what no run
// knows passes as it is.
TEST(XDateFormatTest, DateRuns)
{
    const XDate d(2026, 3, 5); // a Thursday
    const struct
    {
        const char* pattern;
        const char* text;
    } cases[] = {
        {"D", "5"},
        {"DD", "05"},
        {"DDD", "Thu"},
        {"DDDD", "Thursday"},
        {"DDDDDD", "Thursday"},
        {"M", "3"},
        {"MM", "03"},
        {"MMM", "Mar"},
        {"MMMM", "March"},
        {"MMMMM", "March"},
        {"W", "T"},
        {"WW", "Th"},
        {"WWW", "Thu"},
        {"WWWW", "Thursday"},
        {"YYYY", "2026"},
        {"YY", "26"},
        {"Y", "6"},
        {"YYY", "YYY"},
        {"YYYYY", "YYYYY"},
        {"yyyy-mm-dd", "2026-03-05"},
        {"dd-mmm-yyyy", "05-Mar-2026"},
        {"hh:nn yyyy", "hh:nn 2026"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, d.Format(c.pattern)) << c.pattern;
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

// Today is 8 December 2026: two-digit years up to 46 are this century's.
TEST_F(XDateParseTest, Dates)
{
    const struct
    {
        const char* pattern;
        const char* text;
        XDate date; // null: refused
    } cases[] = {
        {"YYYYMMDD", "20261208", XDate(2026, 12, 8)},
        {"MM/DD/YYYY", "3/5/2026", XDate(2026, 3, 5)},
        {"dd-mmm-yyyy", "08-Dec-2026", XDate(2026, 12, 8)},
        {"dd-mmm-yyyy", "8-SEPTEMBER-2026", XDate(2026, 9, 8)},
        {"DDMMMYYYY", "08jun2026", XDate(2026, 6, 8)},
        {"WWW, MMM DD, YYYY", "Tue, Dec 08, 2026", XDate(2026, 12, 8)},
        {"MM/DD/YY", "01/02/47", XDate(1947, 1, 2)},
        {"MM/DD/YY", "01/02/99", XDate(1999, 1, 2)},
        {"MM/DD/YY", "01/02/46", XDate(2046, 1, 2)},
        {"MM/DD/YY", "01/02/00", XDate(2000, 1, 2)},
        {"dd-mmm-yyyy", "08-Xyz-2026", XDate()},
        {"YYYY-MM-DD", "2026-12", XDate()},
        {"YYYY-MM-DD", "", XDate()},
        {"YYYY-MM-DD", "26-12-08", XDate()}, // YYYY needs four digits
    };
    for (const auto& c : cases)
    {
        XDate d(2000, 1, 1);
        EXPECT_EQ(!c.date.IsNull(), d.Parse(c.pattern, c.text)) << c.text;
        EXPECT_EQ(c.date, d) << c.text; // a refused text leaves the date null
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
    const struct
    {
        const char* pattern;
        const char* text;
        XTime time; // null: refused
    } cases[] = {
        {"HH:NN:SS.LLL", "09:05:07.123", XTime(9, 5, 7, 123)},
        {"hh:nn", "9:05", XTime(9, 5, 0)},
        {"HHNNSS", "235959", XTime(23, 59, 59)},
        {"HH:NN AA", "10:15", XTime()}, // no meridian
        {"HH:NN", "ab:cd", XTime()},
        // Found by fuzzing: a long digit run overflowed the millisecond sum.
        {"HH:NNNNNNNNNNNNNNNNNNNN", "01:4444444444444444", XTime()},
        {"HHHHHHHHHHHHHHHHHHHHHHH", "99999999999999999999999", XTime()},
        {"HH:NNNNNNNNNNNNNN", "01:00000000000005", XTime(1, 5, 0)},
    };
    for (const auto& c : cases)
    {
        XTime t(1, 1, 1);
        EXPECT_EQ(!c.time.IsNull(), t.Parse(c.pattern, c.text)) << c.text;
        EXPECT_EQ(c.time, t) << c.text;
    }
}

// The round trip of the configuration's "dd-mmm-yyyy hh:nn:ss" is the writer's SchoolConfig test.
TEST_F(XDateParseTest, DateTimes)
{
    const XDate dec8(2026, 12, 8);
    const struct
    {
        const char* pattern;
        const char* text;
        XDateTime value;
    } cases[] = {
        // A single-digit day of the compiler's build stamp comes padded with a blank.
        {"MMM DD YYYY HH:NN:SS", "Dec  9 2026 05:46:59", XDateTime(XDate(2026, 12, 9), XTime(5, 46, 59))},
        {"mm/dd/yyyy HH:NN:SS AA", "12/08/2026 12:15:30 PM", Dec8(12, 15, 30)},
        {"mm/dd/yyyy HH:NN:SS AA", "12/08/2026 12:15:30 AM", Dec8(0, 15, 30)},
        {"mm/dd/yyyy HH:NN:SS AA", "12/08/2026 01:15:30 pm", Dec8(13, 15, 30)},
        {"mm/dd/yyyy HH:NN:SS AA", "12/08/2026 12:15:30", XDateTime(dec8)}, // no meridian: no time
    };
    for (const auto& c : cases)
    {
        XDateTime dt;
        EXPECT_TRUE(dt.Parse(c.pattern, c.text)) << c.text;
        EXPECT_EQ(c.value.Date(), dt.Date()) << c.text;
        EXPECT_EQ(c.value.Time(), dt.Time()) << c.text;
    }
    XDateTime dt;
    ASSERT_TRUE(dt.ParseIso("2026-12-08 09:05:07.250"));
    EXPECT_EQ(Dec8(9, 5, 7, 250), dt);
    ASSERT_TRUE(dt.ParseIso("2026-12-08"));
    EXPECT_EQ(dec8, dt.Date());
    EXPECT_TRUE(dt.Time().IsNull());
    EXPECT_FALSE(dt.ParseIso("garbage"));
    EXPECT_TRUE(dt.IsNull());
}
