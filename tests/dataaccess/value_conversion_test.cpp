#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

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

// A value of golden/value_conversions.txt: its type and its payload.
AdoValue Variant(const std::string& kind, const std::string& v)
{
    static const std::map<std::string, unsigned short> integers{
        {"I1", ado::VT_I1}, {"I4", ado::VT_I4}, {"I8", ado::VT_I8}, {"UI4", ado::VT_UI4}, {"CY", ado::VT_CY}};
    if (integers.count(kind))
        return AdoValue::Integer(integers.at(kind), std::stoll(v));
    if (kind == "R8" || kind == "R4")
        return AdoValue::Real(kind == "R8" ? ado::VT_R8 : ado::VT_R4,
                              kind == "R8" ? std::stod(v) : std::stof(v));
    if (kind == "DEC")
        return Decimal(std::stoull(v.substr(v[0] == '-')), std::stoi(v.substr(v.find('/') + 1)), v[0] == '-');
    if (kind == "TEXT")
        return AdoValue::Text(std::u16string(v.begin(), v.end())); // ASCII
    if (kind == "BOOL")
        return AdoValue::Bool(v == "1");
    if (kind == "DATE")
        return AdoValue::Date(std::stod(v));
    EXPECT_EQ(kind, "NULL");
    return AdoValue::Null();
}

} // namespace

// What the field readers make of a value of each VARIANT type.
TEST(VariantConversion, EveryTypeToTextIntegerRealAndBool)
{
    using namespace VariantConversion;
    std::vector<std::tuple<AdoValue, bool, std::string, std::int32_t, double, bool>> cases = {
        {AdoValue::Text(u"caf\u00e9 \u20ac"), false, "caf\xe9 \x80", 0, 0.0, true}};
    for (const auto& l : GoldenLines("value_conversions.txt", "Variants", 7))
        cases.emplace_back(Variant(l[0], l[1]), l[2] == "oracle", l[3], std::stoi(l[4]),
                           l[0] == "R4" ? double(std::stof(l[5])) : std::stod(l[5]), l[6] == "1");
    for (const auto& [value, oracle, text, integer, real, flag] : cases)
    {
        SCOPED_TRACE(::testing::Message() << value.type << " " << text);
        EXPECT_EQ(Text(value, oracle).Text(), text);
        EXPECT_EQ(Int32(value, oracle), integer);
        EXPECT_DOUBLE_EQ(Double(value), real);
        EXPECT_FLOAT_EQ(Float(value), value.type == ado::VT_CY ? 0.0f : static_cast<float>(real));
        EXPECT_EQ(Bool(value), flag);
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
