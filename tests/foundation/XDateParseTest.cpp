#include <gtest/gtest.h>

#include "XClock.h"
#include "XDateTime.h"

namespace
{
class XDateParseTest : public ::testing::Test
{
protected:
    void SetUp() override { XClock::SetFixed(XDateTime(XDate(2026, 12, 8), XTime(10, 0, 0))); }
    void TearDown() override { XClock::Reset(); }
};
} // namespace

TEST_F(XDateParseTest, DigitsInOneToken)
{
    XDate d;
    ASSERT_TRUE(d.Parse("YYYYMMDD", "20261208"));
    EXPECT_EQ(XDate(2026, 12, 8), d);
    ASSERT_TRUE(d.ParseIso("2025-01-31"));
    EXPECT_EQ(XDate(2025, 1, 31), d);
    ASSERT_TRUE(d.Parse("MM/DD/YYYY", "3/5/2026"));
    EXPECT_EQ(XDate(2026, 3, 5), d);
}

TEST_F(XDateParseTest, MonthNames)
{
    XDate d;
    ASSERT_TRUE(d.Parse("dd-mmm-yyyy", "08-Dec-2026"));
    EXPECT_EQ(XDate(2026, 12, 8), d);
    ASSERT_TRUE(d.Parse("dd-mmm-yyyy", "8-SEPTEMBER-2026"));
    EXPECT_EQ(XDate(2026, 9, 8), d);
    ASSERT_TRUE(d.Parse("DDMMMYYYY", "08jun2026"));
    EXPECT_EQ(XDate(2026, 6, 8), d);
    ASSERT_TRUE(d.Parse("WWW, MMM DD, YYYY", "Tue, Dec 08, 2026"));
    EXPECT_EQ(XDate(2026, 12, 8), d);
}

TEST_F(XDateParseTest, CompilerBuildStamp)
{
    // A single-digit day comes padded with a blank, not a zero.
    XDateTime built;
    ASSERT_TRUE(built.Parse("MMM DD YYYY HH:NN:SS", "Dec  9 2026 05:46:59"));
    EXPECT_EQ(XDateTime(XDate(2026, 12, 9), XTime(5, 46, 59)), built);
    EXPECT_EQ("Dec 09, 2026", built.Date().Format("MMM DD, YYYY"));
}

TEST_F(XDateParseTest, UnknownMonthNameLeavesDateNull)
{
    XDate d(2000, 1, 1);
    EXPECT_FALSE(d.Parse("dd-mmm-yyyy", "08-Xyz-2026"));
    EXPECT_TRUE(d.IsNull());
    EXPECT_FALSE(d.Parse("YYYY-MM-DD", "2026-12"));
    EXPECT_TRUE(d.IsNull());
    EXPECT_FALSE(d.Parse("YYYY-MM-DD", ""));
    EXPECT_FALSE(d.Parse("YYYY-MM-DD", "26-12-08")); // YYYY needs four digits
}

TEST_F(XDateParseTest, TwoDigitYearWindowFollowsToday)
{
    XDate d;
    ASSERT_TRUE(d.Parse("MM/DD/YY", "01/02/47"));
    EXPECT_EQ(1947, d.Year());
    ASSERT_TRUE(d.Parse("MM/DD/YY", "01/02/99"));
    EXPECT_EQ(1999, d.Year());
    ASSERT_TRUE(d.Parse("MM/DD/YY", "01/02/46"));
    EXPECT_EQ(2046, d.Year());
    ASSERT_TRUE(d.Parse("MM/DD/YY", "01/02/00"));
    EXPECT_EQ(2000, d.Year());

    XClock::SetFixed(XDateTime(XDate(2050, 6, 1)));
    ASSERT_TRUE(d.Parse("MM/DD/YY", "01/02/71"));
    EXPECT_EQ(1971, d.Year());
    ASSERT_TRUE(d.Parse("MM/DD/YY", "01/02/70"));
    EXPECT_EQ(2070, d.Year());
}

TEST_F(XDateParseTest, MeridianDecidesTheHour)
{
    const char* pattern = "mm/dd/yyyy HH:NN:SS AA";
    XDateTime dt;
    ASSERT_TRUE(dt.Parse(pattern, "12/08/2026 12:15:30 PM"));
    EXPECT_EQ(XDate(2026, 12, 8), dt.Date());
    EXPECT_EQ(XTime(12, 15, 30), dt.Time());
    ASSERT_TRUE(dt.Parse(pattern, "12/08/2026 12:15:30 AM"));
    EXPECT_EQ(XTime(0, 15, 30), dt.Time());
    ASSERT_TRUE(dt.Parse(pattern, "12/08/2026 01:15:30 pm"));
    EXPECT_EQ(XTime(13, 15, 30), dt.Time());
}

TEST_F(XDateParseTest, MissingMeridianGivesNullTime)
{
    XDateTime dt;
    EXPECT_TRUE(dt.Parse("mm/dd/yyyy HH:NN:SS AA", "12/08/2026 12:15:30"));
    EXPECT_FALSE(dt.Date().IsNull());
    EXPECT_TRUE(dt.Time().IsNull());

    XTime t;
    EXPECT_FALSE(t.Parse("HH:NN AA", "10:15"));
    EXPECT_TRUE(t.IsNull());
    EXPECT_FALSE(t.Parse("HH:NN", "ab:cd"));
    EXPECT_TRUE(t.IsNull());
}

TEST_F(XDateParseTest, TimeFields)
{
    XTime t;
    ASSERT_TRUE(t.Parse("HH:NN:SS.LLL", "09:05:07.123"));
    EXPECT_EQ(XTime(9, 5, 7, 123), t);
    ASSERT_TRUE(t.Parse("hh:nn", "9:05"));
    EXPECT_EQ(XTime(9, 5, 0), t);
    ASSERT_TRUE(t.Parse("HHNNSS", "235959"));
    EXPECT_EQ(XTime(23, 59, 59), t);
}

// Found by fuzzing: a long digit run overflowed the millisecond sum.
TEST_F(XDateParseTest, OverlongTimeFieldsGiveNullTime)
{
    XTime t;
    EXPECT_FALSE(t.Parse("HH:NNNNNNNNNNNNNNNNNNNN", "01:4444444444444444"));
    EXPECT_TRUE(t.IsNull());
    EXPECT_FALSE(t.Parse("HHHHHHHHHHHHHHHHHHHHHHH", "99999999999999999999999"));
    ASSERT_TRUE(t.Parse("HH:NNNNNNNNNNNNNN", "01:00000000000005"));
    EXPECT_EQ(XTime(1, 5, 0), t);
}

TEST_F(XDateParseTest, FormatThenParseRoundTrips)
{
    const XDateTime original(XDate(2026, 12, 7), XTime(14, 5, 9));
    const XString text = original.Format("dd-mmm-yyyy hh:nn:ss");
    EXPECT_EQ("07-Dec-2026 14:05:09", text);
    XDateTime back;
    ASSERT_TRUE(back.Parse("dd-mmm-yyyy hh:nn:ss", text.Text()));
    EXPECT_EQ(original, back);

    // Before ten o'clock the hour has one digit; it still reads back.
    const XDateTime morning(XDate(2026, 12, 7), XTime(9, 5, 9));
    EXPECT_EQ("07-Dec-2026 9:05:09", morning.Format("dd-mmm-yyyy hh:nn:ss"));
    ASSERT_TRUE(back.Parse("dd-mmm-yyyy hh:nn:ss", morning.Format("dd-mmm-yyyy hh:nn:ss").Text()));
    EXPECT_EQ(morning, back);
}

TEST_F(XDateParseTest, IsoDateTime)
{
    XDateTime dt;
    ASSERT_TRUE(dt.ParseIso("2026-12-08 09:05:07.250"));
    EXPECT_EQ(XDateTime(XDate(2026, 12, 8), XTime(9, 5, 7, 250)), dt);
    ASSERT_TRUE(dt.ParseIso("2026-12-08"));
    EXPECT_EQ(XDate(2026, 12, 8), dt.Date());
    EXPECT_TRUE(dt.Time().IsNull());
    EXPECT_FALSE(dt.ParseIso("garbage"));
    EXPECT_TRUE(dt.IsNull());
}
