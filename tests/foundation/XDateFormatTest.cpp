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
    // A date and time without its date is empty too (without its time: the writer's SchoolConfig test).
    EXPECT_EQ("", XDateTime(XDate(), XTime(0)).Format("HH"));
}
