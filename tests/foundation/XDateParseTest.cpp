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
        {"mm/dd/yyyy HH:NN:SS AA", "12/08/2026 12:15:30 PM", XDateTime(dec8, XTime(12, 15, 30))},
        {"mm/dd/yyyy HH:NN:SS AA", "12/08/2026 12:15:30 AM", XDateTime(dec8, XTime(0, 15, 30))},
        {"mm/dd/yyyy HH:NN:SS AA", "12/08/2026 01:15:30 pm", XDateTime(dec8, XTime(13, 15, 30))},
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
    EXPECT_EQ(XDateTime(dec8, XTime(9, 5, 7, 250)), dt);
    ASSERT_TRUE(dt.ParseIso("2026-12-08"));
    EXPECT_EQ(dec8, dt.Date());
    EXPECT_TRUE(dt.Time().IsNull());
    EXPECT_FALSE(dt.ParseIso("garbage"));
    EXPECT_TRUE(dt.IsNull());
}
