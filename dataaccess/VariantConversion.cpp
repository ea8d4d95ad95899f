#include "VariantConversion.h"

#include <cmath>
#include <limits>

#include "XDateTime.h"

namespace VariantConversion
{
namespace
{
using namespace ado;

std::int32_t Low32(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

// Truncation toward zero that stays defined outside the target's range.
template <class T> T Truncate(double value)
{
    if (std::isnan(value))
        return 0;
    double t = std::trunc(value);
    if (t <= static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (t >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(t);
}

bool IsOracleNegativeWhole(const AdoValue& value, bool oracleOdbc)
{
    return oracleOdbc && value.decimal.negative && value.decimal.scale == 0;
}
} // namespace

double DecimalValue(const AdoDecimal& decimal)
{
    double mantissa =
        static_cast<double>(decimal.high) * 18446744073709551616.0 + static_cast<double>(decimal.low);
    double v = mantissa / std::pow(10.0, decimal.scale);
    return decimal.negative ? -v : v;
}

XString RealText(double value)
{
    XString text(value, 4);
    int end = text.Length();
    while (end > 0 && text[end - 1] == '0')
        --end;
    if (end > 0 && text[end - 1] == '.')
        --end;
    text.Truncate(end);
    return text;
}

XString Text(const AdoValue& value, bool oracleOdbc)
{
    switch (value.type)
    {
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
        return XString(static_cast<long long>(value.integer));
    case VT_UI4:
    case VT_UI8:
        return XString(Low32(value.integer));
    case VT_I8:
        return XString(static_cast<long long>(value.integer));
    case VT_R4:
    case VT_R8:
        return RealText(value.real);
    case VT_DECIMAL:
        if (IsOracleNegativeWhole(value, oracleOdbc))
            return XString(Truncate<std::int32_t>(DecimalValue(value.decimal)));
        return RealText(DecimalValue(value.decimal));
    case VT_DATE:
        return XDateTime::FromOleDate(value.real).Format("YYYY/MM/DD HH:NN:SS");
    case VT_BSTR:
        return XString::FromWide(value.text.c_str(), static_cast<int>(value.text.size()), 0);
    case VT_BOOL:
        return value.boolean ? "True" : "False";
    default:
        return XString();
    }
}

std::int32_t Int32(const AdoValue& value, bool oracleOdbc)
{
    switch (value.type)
    {
    case VT_I2:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_I4:
    case VT_INT:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
        return Low32(value.integer);
    case VT_R4:
    case VT_R8:
        return Truncate<std::int32_t>(value.real);
    case VT_BSTR:
    {
        XString text = Text(value, oracleOdbc);
        return text.IsDigits() ? Low32(text.ToInt64()) : 0;
    }
    case VT_BOOL:
        return value.boolean ? 1 : 0;
    case VT_DECIMAL:
        return Truncate<std::int32_t>(DecimalValue(value.decimal));
    default:
        return 0;
    }
}

std::int32_t Int32Truncated(const AdoValue& value, bool oracleOdbc)
{
    switch (value.type)
    {
    case VT_R4:
    case VT_R8:
        return Low32(Truncate<std::int64_t>(value.real));
    case VT_DECIMAL:
        return Low32(Truncate<std::int64_t>(DecimalValue(value.decimal)));
    default:
        return Int32(value, oracleOdbc);
    }
}

double Double(const AdoValue& value)
{
    switch (value.type)
    {
    case VT_I2:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_I4:
    case VT_INT:
    case VT_I8:
        return static_cast<double>(value.integer);
    case VT_UI4:
        return static_cast<double>(static_cast<std::uint32_t>(value.integer));
    case VT_UI8:
        return static_cast<double>(static_cast<std::uint64_t>(value.integer));
    case VT_R4:
    case VT_R8:
        return value.real;
    case VT_CY:
        return static_cast<double>(value.integer) / 10000.0;
    case VT_BSTR:
    {
        XString text = Text(value, false);
        return text.IsDecimal() ? text.ToDouble() : 0.0;
    }
    case VT_BOOL:
        return value.boolean ? 1.0 : 0.0;
    case VT_DECIMAL:
        return DecimalValue(value.decimal);
    default:
        return 0.0;
    }
}

float Float(const AdoValue& value)
{
    // Currency is read only by the double reader.
    if (value.type == VT_CY)
        return 0.0f;
    return static_cast<float>(Double(value));
}

bool Bool(const AdoValue& value)
{
    switch (value.type)
    {
    case VT_I2:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_I4:
    case VT_INT:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
        return value.integer != 0;
    case VT_R4:
    case VT_R8:
        return value.real != 0.0;
    case VT_BSTR:
    {
        XString text = Text(value, false);
        return !(text.IsEmpty() || text == "0");
    }
    case VT_BOOL:
        return value.boolean;
    case VT_DECIMAL:
        return value.decimal.low != 0 || value.decimal.high != 0;
    default:
        return false;
    }
}
} // namespace VariantConversion
