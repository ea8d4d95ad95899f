#include <gtest/gtest.h>

#include "odbc/AdoComError.h"
#include "odbc/AdoValue.h"
#include "odbc/OdbcResult.h"

#include "platform/OdbcHeaders.h"

namespace {

AdoDecimal Dec(const std::string &text)
{
    AdoDecimal d;
    std::string error;
    EXPECT_TRUE(ParseAdoDecimal(text, d, error)) << text << ": " << error;
    return d;
}

} // namespace

TEST(AdoDecimalText, DigitsScaleAndSign)
{
    AdoDecimal d = Dec("-12.5");
    EXPECT_EQ(d.low, 125u);
    EXPECT_EQ(d.scale, 1);
    EXPECT_TRUE(d.negative);
    d = Dec("7");
    EXPECT_EQ(d.low, 7u);
    EXPECT_EQ(d.scale, 0);
    EXPECT_FALSE(d.negative);
    d = Dec("12.50");  // trailing zeros keep their scale
    EXPECT_EQ(d.low, 1250u);
    EXPECT_EQ(d.scale, 2);
    d = Dec("  +0.125 ");
    EXPECT_EQ(d.low, 125u);
    EXPECT_EQ(d.scale, 3);
    d = Dec("-0.00");  // no negative zero
    EXPECT_EQ(d.low, 0u);
    EXPECT_FALSE(d.negative);
    d = Dec(".5");
    EXPECT_EQ(d.low, 5u);
    EXPECT_EQ(d.scale, 1);
}

TEST(AdoDecimalText, ExponentForms)
{
    AdoDecimal d = Dec("1.5E+3");
    EXPECT_EQ(d.low, 1500u);
    EXPECT_EQ(d.scale, 0);
    d = Dec("25e-3");
    EXPECT_EQ(d.low, 25u);
    EXPECT_EQ(d.scale, 3);
}

TEST(AdoDecimalText, WideValuesUseTheHighPartAndExcessFractionIsRounded)
{
    // 2^64 = 18446744073709551616 needs the high 32 bits.
    AdoDecimal d = Dec("18446744073709551616");
    EXPECT_EQ(d.low, 0u);
    EXPECT_EQ(d.high, 1u);
    // 30 fraction digits: rounded to the 28 a decimal holds.
    d = Dec("0.123456789012345678901234567891");
    EXPECT_EQ(d.scale, 28);
    EXPECT_EQ(d.high, 0x3FD35EBu);
    EXPECT_EQ(d.low, 0x6D797A91BE38F34Fu);  // 1234567890123456789012345679
    d = Dec("0.99999999999999999999999999999");  // rounds up into the integer part
    EXPECT_EQ(d.scale, 28);
}

TEST(AdoDecimalText, BadOrHugeTextIsRefused)
{
    AdoDecimal d;
    std::string error;
    for (const char *bad : {"", "abc", "1.2.3", "12a", "NaN", "-", "1e", "Infinity"}) {
        EXPECT_FALSE(ParseAdoDecimal(bad, d, error)) << bad;
        EXPECT_EQ(error, "The value is not a number.");
    }
    EXPECT_FALSE(ParseAdoDecimal("1e40", d, error));
    EXPECT_EQ(error, "The value is too large for a decimal.");
    EXPECT_FALSE(ParseAdoDecimal("123456789012345678901234567890", d, error));
}

TEST(AutomationDate, DaysSince18991230WithTimeAsFraction)
{
    EXPECT_DOUBLE_EQ(AutomationDate(1899, 12, 30, 0, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(AutomationDate(1899, 12, 31, 12, 0, 0, 0), 1.5);
    EXPECT_DOUBLE_EQ(AutomationDate(1900, 1, 1, 0, 0, 0, 0), 2.0);
    EXPECT_DOUBLE_EQ(AutomationDate(2024, 3, 1, 0, 0, 0, 0), 45352.0);
    EXPECT_DOUBLE_EQ(AutomationDate(2024, 2, 29, 18, 0, 0, 0), 45351.75);
    EXPECT_NEAR(AutomationDate(2024, 3, 1, 13, 45, 30, 250),
                45352.0 + (13 * 3600 + 45 * 60 + 30.25) / 86400.0, 1e-10);
    // Before day 0 the fraction still runs forward in time.
    EXPECT_DOUBLE_EQ(AutomationDate(1899, 12, 29, 6, 0, 0, 0), -1.25);
}

TEST(AdoComError, SystemTextsForHresults)
{
    EXPECT_EQ(AdoComError::MessageFor(0x80004005u), "Unspecified error");
    EXPECT_EQ(AdoComError::MessageFor(0x80040E14u), "IDispatch error #3092");
    EXPECT_EQ(AdoComError::MessageFor(0x800A0BCDu), "Unknown error 0x800A0BCD");
    const AdoComError e(0x80004005u, "ODBC", "[HY000] boom");
    EXPECT_EQ(e.Error(), 0x80004005u);
    EXPECT_EQ(e.ErrorMessage(), "Unspecified error");
    EXPECT_EQ(e.Source(), "ODBC");
    EXPECT_EQ(e.Description(), "[HY000] boom");
    EXPECT_STREQ(e.what(), "[HY000] boom");
    EXPECT_STREQ(AdoComError(0x80004005u, "", "").what(), "Unspecified error");
}

TEST(OdbcResult, SqlTypesMapOntoAdoTypes)
{
    EXPECT_EQ(AdoTypeForSqlType(SQL_SMALLINT, false), 2);
    EXPECT_EQ(AdoTypeForSqlType(SQL_SMALLINT, true), 18);
    EXPECT_EQ(AdoTypeForSqlType(SQL_INTEGER, false), 3);
    EXPECT_EQ(AdoTypeForSqlType(SQL_REAL, false), 4);
    EXPECT_EQ(AdoTypeForSqlType(SQL_FLOAT, false), 5);
    EXPECT_EQ(AdoTypeForSqlType(SQL_DOUBLE, false), 5);
    EXPECT_EQ(AdoTypeForSqlType(SQL_BIT, false), 11);
    EXPECT_EQ(AdoTypeForSqlType(SQL_DECIMAL, false), 14);
    EXPECT_EQ(AdoTypeForSqlType(SQL_NUMERIC, false), 131);
    EXPECT_EQ(AdoTypeForSqlType(SQL_TINYINT, false), 16);
    EXPECT_EQ(AdoTypeForSqlType(SQL_TINYINT, true), 17);
    EXPECT_EQ(AdoTypeForSqlType(SQL_BIGINT, false), 20);
    EXPECT_EQ(AdoTypeForSqlType(SQL_BINARY, false), 128);
    EXPECT_EQ(AdoTypeForSqlType(SQL_CHAR, false), 129);
    EXPECT_EQ(AdoTypeForSqlType(SQL_WCHAR, false), 130);
    EXPECT_EQ(AdoTypeForSqlType(SQL_TYPE_DATE, false), 133);
    EXPECT_EQ(AdoTypeForSqlType(SQL_TYPE_TIME, false), 134);
    EXPECT_EQ(AdoTypeForSqlType(SQL_TYPE_TIMESTAMP, false), 135);
    EXPECT_EQ(AdoTypeForSqlType(SQL_VARCHAR, false), 200);
    EXPECT_EQ(AdoTypeForSqlType(SQL_LONGVARCHAR, false), 201);
    EXPECT_EQ(AdoTypeForSqlType(SQL_WVARCHAR, false), 202);
    EXPECT_EQ(AdoTypeForSqlType(SQL_WLONGVARCHAR, false), 203);
    EXPECT_EQ(AdoTypeForSqlType(SQL_VARBINARY, false), 204);
    EXPECT_EQ(AdoTypeForSqlType(SQL_LONGVARBINARY, false), 205);
}
