#include "odbc/AdoValue.h"

#include <utility>

AdoValue AdoValue::Empty()
{
    return AdoValue{};
}

AdoValue AdoValue::Null()
{
    AdoValue v;
    v.type = ado::VT_NULL;
    return v;
}

AdoValue AdoValue::Integer(unsigned short type, std::int64_t i)
{
    AdoValue v;
    v.type = type;
    v.integer = i;
    return v;
}

AdoValue AdoValue::Real(unsigned short type, double d)
{
    AdoValue v;
    v.type = type;
    v.real = d;
    return v;
}

AdoValue AdoValue::Date(double automationDate)
{
    AdoValue v;
    v.type = ado::VT_DATE;
    v.real = automationDate;
    return v;
}

AdoValue AdoValue::Text(std::u16string s)
{
    AdoValue v;
    v.type = ado::VT_BSTR;
    v.text = std::move(s);
    return v;
}

AdoValue AdoValue::Bool(bool b)
{
    AdoValue v;
    v.type = ado::VT_BOOL;
    v.boolean = b;
    return v;
}

AdoValue AdoValue::Decimal(const AdoDecimal &d)
{
    AdoValue v;
    v.type = ado::VT_DECIMAL;
    v.decimal = d;
    return v;
}

AdoValue AdoValue::Bytes(std::vector<unsigned char> b)
{
    AdoValue v;
    v.type = ado::VT_ARRAY_UI1;
    v.bytes = std::move(b);
    return v;
}
