#include <gtest/gtest.h>

#include "VariantConversion.h"

using namespace VariantConversion;

namespace
{
AdoValue Decimal(std::uint64_t low, int scale, bool negative)
{
    AdoDecimal d;
    d.low = low;
    d.scale = static_cast<std::uint8_t>(scale);
    d.negative = negative;
    return AdoValue::Decimal(d);
}

std::string T(const AdoValue& v, bool oracle = false)
{
    return Text(v, oracle).Text();
}
} // namespace

TEST(VariantConversion, RealsLoseTrailingZeros)
{
    EXPECT_EQ(T(AdoValue::Real(ado::VT_R8, 12.34)), "12.34");
    EXPECT_EQ(T(AdoValue::Real(ado::VT_R8, 100.0)), "100");
    EXPECT_EQ(T(AdoValue::Real(ado::VT_R8, 0.0)), "0");
    EXPECT_EQ(T(AdoValue::Real(ado::VT_R8, 2.5)), "2.5");
    EXPECT_EQ(T(AdoValue::Real(ado::VT_R4, 12.34f)), "12.34");
    EXPECT_EQ(T(AdoValue::Real(ado::VT_R8, -0.00004)), "-0");
    EXPECT_EQ(T(AdoValue::Real(ado::VT_R8, 1.23456)), "1.2346");
}

TEST(VariantConversion, Decimals)
{
    AdoValue minus = Decimal(125, 1, true);
    EXPECT_EQ(T(minus), "-12.5");
    EXPECT_EQ(T(Decimal(7, 0, false)), "7");
    EXPECT_EQ(Int32(minus, false), -12);
    EXPECT_DOUBLE_EQ(Double(minus), -12.5);
    EXPECT_TRUE(Bool(minus));
    EXPECT_FALSE(Bool(Decimal(0, 2, true)));
    // Oracle (ODBC) writes negative whole decimals as integers.
    EXPECT_EQ(T(Decimal(42, 0, true), true), "-42");
    EXPECT_EQ(T(Decimal(425, 1, true), true), "-42.5");
    // The high part of the mantissa counts too.
    AdoDecimal big;
    big.low = 0;
    big.high = 1;
    EXPECT_DOUBLE_EQ(DecimalValue(big), 18446744073709551616.0);
}

TEST(VariantConversion, Integers)
{
    EXPECT_EQ(T(AdoValue::Integer(ado::VT_I4, -42)), "-42");
    EXPECT_EQ(T(AdoValue::Integer(ado::VT_I8, 9000000000LL)), "9000000000");
    EXPECT_EQ(Int32(AdoValue::Integer(ado::VT_I8, 9000000000LL), false),
              static_cast<std::int32_t>(9000000000LL));
    EXPECT_EQ(T(AdoValue::Integer(ado::VT_UI4, 4294967295LL)), "-1");
    EXPECT_DOUBLE_EQ(Double(AdoValue::Integer(ado::VT_UI4, 4294967295LL)), 4294967295.0);
    EXPECT_EQ(T(AdoValue::Integer(ado::VT_I1, 5)), "");
    EXPECT_EQ(Int32(AdoValue::Integer(ado::VT_I1, -5), false), -5);
    EXPECT_EQ(Int32(AdoValue::Real(ado::VT_R8, -7.9), false), -7);
    EXPECT_EQ(Int32Truncated(AdoValue::Real(ado::VT_R8, 4294967297.0), false), 1);
    EXPECT_EQ(Int32(AdoValue::Real(ado::VT_R8, 1e12), false), 2147483647);
}

TEST(VariantConversion, TextToNumbers)
{
    EXPECT_EQ(Int32(AdoValue::Text(u"12a"), false), 0);
    EXPECT_DOUBLE_EQ(Double(AdoValue::Text(u"12a")), 0.0);
    EXPECT_EQ(Int32(AdoValue::Text(u"12.5"), false), 0);
    EXPECT_DOUBLE_EQ(Double(AdoValue::Text(u"12.5")), 12.5);
    EXPECT_EQ(Int32(AdoValue::Text(u"0042"), false), 42);
    EXPECT_TRUE(Bool(AdoValue::Text(u"N")));
    EXPECT_FALSE(Bool(AdoValue::Text(u"0")));
    EXPECT_FALSE(Bool(AdoValue::Text(u"")));
    EXPECT_EQ(T(AdoValue::Text(u"caf\u00e9 \u20ac")), "caf\xe9 \x80");
}

TEST(VariantConversion, OtherTypes)
{
    EXPECT_EQ(T(AdoValue::Bool(true)), "True");
    EXPECT_EQ(T(AdoValue::Bool(false)), "False");
    EXPECT_EQ(Int32(AdoValue::Bool(true), false), 1);
    EXPECT_EQ(T(AdoValue::Null()), "");
    EXPECT_EQ(Int32(AdoValue::Null(), false), 0);
    EXPECT_FALSE(Bool(AdoValue::Null()));
    AdoValue currency = AdoValue::Integer(ado::VT_CY, 125000);
    EXPECT_EQ(T(currency), "");
    EXPECT_EQ(Int32(currency, false), 0);
    EXPECT_DOUBLE_EQ(Double(currency), 12.5);
    EXPECT_FLOAT_EQ(Float(currency), 0.0f);
    EXPECT_FALSE(Bool(currency));
    // 15 January 2009 at 09:05:07 as an automation date.
    AdoValue date = AdoValue::Date(39828.0 + (9 * 3600 + 5 * 60 + 7) / 86400.0);
    EXPECT_EQ(T(date), "2009/01/15 9:05:07");
}
