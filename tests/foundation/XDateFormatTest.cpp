#include <gtest/gtest.h>

#include "XDateTime.h"

namespace
{
// Tuesday 8 December 2026 at the given time.
XDateTime Dec8(int h, int n, int s, int l = 0)
{
    return XDateTime(XDate(2026, 12, 8), XTime(h, n, s, l));
}
} // namespace

TEST(XDateFormatTest, DayRuns)
{
    XDate d(2026, 3, 5); // a Thursday
    EXPECT_EQ("5", d.Format("D"));
    EXPECT_EQ("05", d.Format("DD"));
    EXPECT_EQ("Thu", d.Format("DDD"));
    EXPECT_EQ("Thursday", d.Format("DDDD"));
    EXPECT_EQ("Thursday", d.Format("DDDDDD"));
    EXPECT_EQ("15", XDate(2026, 3, 15).Format("D"));
}

TEST(XDateFormatTest, MonthRuns)
{
    XDate d(2026, 3, 5);
    EXPECT_EQ("3", d.Format("M"));
    EXPECT_EQ("03", d.Format("MM"));
    EXPECT_EQ("Mar", d.Format("MMM"));
    EXPECT_EQ("March", d.Format("MMMM"));
    EXPECT_EQ("March", d.Format("MMMMM"));
    EXPECT_EQ("12", XDate(2026, 12, 5).Format("M"));
}

TEST(XDateFormatTest, WeekdayRuns)
{
    XDate d(2026, 3, 5);
    EXPECT_EQ("T", d.Format("W"));
    EXPECT_EQ("Th", d.Format("WW"));
    EXPECT_EQ("Thu", d.Format("WWW"));
    EXPECT_EQ("Thursday", d.Format("WWWW"));
}

TEST(XDateFormatTest, YearRuns)
{
    XDate d(2026, 3, 5);
    EXPECT_EQ("2026", d.Format("YYYY"));
    EXPECT_EQ("26", d.Format("YY"));
    EXPECT_EQ("6", d.Format("Y"));
    EXPECT_EQ("YYY", d.Format("YYY"));
    EXPECT_EQ("YYYYY", d.Format("YYYYY"));
}

TEST(XDateFormatTest, LettersOfEitherCaseAndLiteralsPass)
{
    XDate d(2026, 3, 5);
    EXPECT_EQ("2026-03-05", d.Format("yyyy-mm-dd"));
    EXPECT_EQ("05-Mar-2026", d.Format("dd-mmm-yyyy"));
    EXPECT_EQ("2026-03-05", d.FormatIso());
    EXPECT_EQ("hh:nn 2026", d.Format("hh:nn yyyy"));
    EXPECT_EQ("", XDate().Format("YYYY"));
}

TEST(XDateFormatTest, HourPaddingDependsOnWhatFollows)
{
    EXPECT_EQ("090507", Dec8(9, 5, 7).Format("HHNNSS"));
    EXPECT_EQ("9:05", Dec8(9, 5, 7).Format("HH:NN"));
    EXPECT_EQ("14:05", Dec8(14, 5, 7).Format("HH:NN"));
    EXPECT_EQ("at 09", Dec8(9, 5, 7).Format("at HH"));
    EXPECT_EQ("20261208090507", Dec8(9, 5, 7).Format("YYYYMMDDHHNNSS"));
    EXPECT_EQ("20261208000000", Dec8(0, 0, 0).Format("YYYYMMDDHHNNSS"));
}

TEST(XDateFormatTest, TwelveHourClockWithMeridian)
{
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
}

TEST(XDateFormatTest, DateTimeWithANullPartIsEmpty)
{
    EXPECT_EQ("", XDateTime(XDate(2026, 12, 8)).Format("dd-mmm-yyyy hh:nn:ss"));
    EXPECT_EQ("", XDateTime(XDate(), XTime(0)).Format("HH"));
    EXPECT_EQ("08-Dec-2026 14:05:07", Dec8(14, 5, 7).Format("dd-mmm-yyyy hh:nn:ss"));
}
