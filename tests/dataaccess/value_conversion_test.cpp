#include <gtest/gtest.h>

#include "GoldenLines.h"
#include "VariantConversion.h"
#include "odbc/AdoComError.h"
#include "odbc/AdoValue.h"
#include "odbc/OdbcResult.h"

#include "platform/OdbcHeaders.h"

namespace
{

AdoDecimal Dec(const std::string& text)
{
    AdoDecimal d;
    std::string error;
    EXPECT_TRUE(ParseAdoDecimal(text, d, error)) << text << ": " << error;
    return d;
}

AdoValue Decimal(std::uint64_t low, int scale, bool negative)
{
    AdoDecimal d;
    d.low = low;
    d.scale = static_cast<std::uint8_t>(scale);
    d.negative = negative;
    return AdoValue::Decimal(d);
}

} // namespace

// What the field readers make of a value of each VARIANT type.
TEST(VariantConversion, EveryTypeToTextIntegerRealAndBool)
{
    using namespace VariantConversion;
    const struct
    {
        AdoValue value;
        bool oracle;
        const char* text;
        std::int32_t integer;
        double real;
        bool flag;
    } cases[] = {
        // Reals lose trailing zeros.
        {AdoValue::Real(ado::VT_R8, 12.34), false, "12.34", 12, 12.34, true},
        {AdoValue::Real(ado::VT_R8, 100.0), false, "100", 100, 100.0, true},
        {AdoValue::Real(ado::VT_R8, 0.0), false, "0", 0, 0.0, false},
        {AdoValue::Real(ado::VT_R8, 2.5), false, "2.5", 2, 2.5, true},
        {AdoValue::Real(ado::VT_R4, 12.34f), false, "12.34", 12, static_cast<double>(12.34f), true},
        {AdoValue::Real(ado::VT_R8, -0.00004), false, "-0", 0, -0.00004, true},
        {AdoValue::Real(ado::VT_R8, 1.23456), false, "1.2346", 1, 1.23456, true},
        {AdoValue::Real(ado::VT_R8, -7.9), false, "-7.9", -7, -7.9, true},
        {AdoValue::Real(ado::VT_R8, 1e12), false, "1000000000000", 2147483647, 1e12, true},
        {Decimal(125, 1, true), false, "-12.5", -12, -12.5, true},
        {Decimal(7, 0, false), false, "7", 7, 7.0, true},
        {Decimal(0, 2, true), false, "-0", 0, 0.0, false},
        // Oracle (ODBC) writes negative whole decimals as integers.
        {Decimal(42, 0, true), true, "-42", -42, -42.0, true},
        {Decimal(425, 1, true), true, "-42.5", -42, -42.5, true},
        {AdoValue::Integer(ado::VT_I4, -42), false, "-42", -42, -42.0, true},
        {AdoValue::Integer(ado::VT_I8, 9000000000LL), false, "9000000000",
         static_cast<std::int32_t>(9000000000LL), 9000000000.0, true},
        {AdoValue::Integer(ado::VT_UI4, 4294967295LL), false, "-1", -1, 4294967295.0, true},
        {AdoValue::Integer(ado::VT_I1, 5), false, "", 5, 5.0, true},
        {AdoValue::Integer(ado::VT_I1, -5), false, "", -5, -5.0, true},
        {AdoValue::Text(u"12a"), false, "12a", 0, 0.0, true},
        {AdoValue::Text(u"12.5"), false, "12.5", 0, 12.5, true},
        {AdoValue::Text(u"0042"), false, "0042", 42, 42.0, true},
        {AdoValue::Text(u"N"), false, "N", 0, 0.0, true},
        {AdoValue::Text(u"0"), false, "0", 0, 0.0, false},
        {AdoValue::Text(u""), false, "", 0, 0.0, false},
        {AdoValue::Text(u"caf\u00e9 \u20ac"), false, "caf\xe9 \x80", 0, 0.0, true},
        {AdoValue::Bool(true), false, "True", 1, 1.0, true},
        {AdoValue::Bool(false), false, "False", 0, 0.0, false},
        {AdoValue::Null(), false, "", 0, 0.0, false},
        // Currency is read only by the double reader.
        {AdoValue::Integer(ado::VT_CY, 125000), false, "", 0, 12.5, false},
        // 15 January 2009 at 09:05:07 as an automation date.
        {AdoValue::Date(39828.0 + (9 * 3600 + 5 * 60 + 7) / 86400.0), false, "2009/01/15 9:05:07", 0, 0.0,
         false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.value.type << " " << c.text);
        EXPECT_STREQ(Text(c.value, c.oracle).Text(), c.text);
        EXPECT_EQ(Int32(c.value, c.oracle), c.integer);
        EXPECT_DOUBLE_EQ(Double(c.value), c.real);
        EXPECT_FLOAT_EQ(Float(c.value), c.value.type == ado::VT_CY ? 0.0f : static_cast<float>(c.real));
        EXPECT_EQ(Bool(c.value), c.flag);
    }
    EXPECT_EQ(Int32Truncated(AdoValue::Real(ado::VT_R8, 4294967297.0), false), 1);
    EXPECT_EQ(Int32Truncated(AdoValue::Integer(ado::VT_I4, -42), false), -42);
    // The high part of the mantissa counts too.
    AdoDecimal big;
    big.high = 1;
    EXPECT_DOUBLE_EQ(DecimalValue(big), 18446744073709551616.0);
}

// The decimals of golden/value_conversions.txt.
TEST(AdoDecimalText, DigitsScaleAndSign)
{
    for (const auto& l : GoldenLines("value_conversions.txt", "AdoDecimal", 5))
    {
        const AdoDecimal d = Dec(l[0]);
        EXPECT_EQ(d.low, std::stoull(l[1], nullptr, 0)) << l[0];
        EXPECT_EQ(d.high, std::stoul(l[2], nullptr, 0)) << l[0];
        EXPECT_EQ(d.scale, std::stoi(l[3])) << l[0];
        EXPECT_EQ(d.negative, l[4] == "-") << l[0];
    }
}

TEST(AdoDecimalText, BadOrHugeTextIsRefused)
{
    AdoDecimal d;
    std::string error;
    for (const char* bad : {"", "abc", "1.2.3", "12a", "NaN", "-", "1e", "Infinity"})
    {
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
    const struct
    {
        int sqlType;
        bool isUnsigned;
        int adoType;
    } cases[] = {
        {SQL_SMALLINT, false, 2},       {SQL_SMALLINT, true, 18},      {SQL_INTEGER, false, 3},
        {SQL_REAL, false, 4},           {SQL_FLOAT, false, 5},         {SQL_DOUBLE, false, 5},
        {SQL_BIT, false, 11},           {SQL_DECIMAL, false, 14},      {SQL_NUMERIC, false, 131},
        {SQL_TINYINT, false, 16},       {SQL_TINYINT, true, 17},       {SQL_BIGINT, false, 20},
        {SQL_BINARY, false, 128},       {SQL_CHAR, false, 129},        {SQL_WCHAR, false, 130},
        {SQL_TYPE_DATE, false, 133},    {SQL_TYPE_TIME, false, 134},   {SQL_TYPE_TIMESTAMP, false, 135},
        {SQL_VARCHAR, false, 200},      {SQL_LONGVARCHAR, false, 201}, {SQL_WVARCHAR, false, 202},
        {SQL_WLONGVARCHAR, false, 203}, {SQL_VARBINARY, false, 204},   {SQL_LONGVARBINARY, false, 205}};
    for (const auto& c : cases)
        EXPECT_EQ(AdoTypeForSqlType(c.sqlType, c.isUnsigned), c.adoType) << c.sqlType;
}
