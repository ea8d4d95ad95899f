#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "odbc/AdoEnums.h"

// Stand-in for an OLE Automation VARIANT as ADO hands it out: `type` holds the
// VARTYPE number, the payload member that goes with it holds the value. The
// readers convert by it, as they did with ADO's values.
struct AdoDecimal
{
    std::uint64_t low = 0;  // low 64 bits of the 96-bit mantissa
    std::uint32_t high = 0; // high 32 bits of the mantissa (0 for most values)
    std::uint8_t scale = 0; // power of ten the mantissa is divided by (0..28)
    bool negative = false;
};

struct AdoValue
{
    unsigned short type = ado::VT_EMPTY;
    std::int64_t integer = 0;         // VT_I1..VT_UI8, VT_INT, VT_CY (in 1/10000)
    double real = 0.0;                // VT_R4, VT_R8, VT_DATE (automation date)
    bool boolean = false;             // VT_BOOL
    std::u16string text;              // VT_BSTR (UTF-16)
    AdoDecimal decimal;               // VT_DECIMAL
    std::vector<unsigned char> bytes; // VT_ARRAY | VT_UI1

    static AdoValue Null() { return Of(ado::VT_NULL); }
    // type is one of the integer types (VT_I1..VT_UI8, VT_INT) or VT_CY.
    static AdoValue Integer(unsigned short type, std::int64_t v) { return Of(type, &AdoValue::integer, v); }
    // type is VT_R4 or VT_R8.
    static AdoValue Real(unsigned short type, double v) { return Of(type, &AdoValue::real, v); }
    static AdoValue Date(double automationDate) { return Of(ado::VT_DATE, &AdoValue::real, automationDate); }
    static AdoValue Bool(bool v) { return Of(ado::VT_BOOL, &AdoValue::boolean, v); }
    static AdoValue Text(std::u16string v) { return Of(ado::VT_BSTR, &AdoValue::text, std::move(v)); }
    static AdoValue Decimal(const AdoDecimal& v) { return Of(ado::VT_DECIMAL, &AdoValue::decimal, v); }
    static AdoValue Bytes(std::vector<unsigned char> v)
    {
        return Of(ado::VT_ARRAY_UI1, &AdoValue::bytes, std::move(v));
    }

    bool IsNull() const { return type == ado::VT_NULL; }

private:
    // A value of `type` whose payload member `member` holds v.
    template <typename M = int, typename V = int>
    static AdoValue Of(unsigned short type, M AdoValue::*member = nullptr, V&& v = 0)
    {
        AdoValue a;
        a.type = type;
        if (member)
            a.*member = std::forward<V>(v);
        return a;
    }
};

// Reads a driver's character form of an exact number ("-12.50", "7",
// "1.5E+3") into a VARIANT decimal (96-bit mantissa, scale 0..28). Digits
// beyond what the decimal holds are rounded off the fraction. Returns false
// with `error` set for text that is no number or too large.
bool ParseAdoDecimal(const std::string& text, AdoDecimal& out, std::string& error);

// OLE Automation date: days since 1899-12-30, the time of day as the
// fraction. Before that day the fraction still counts forward in time
// (-1.25 is 1899-12-29 06:00), as VARIANT dates do.
double AutomationDate(int year, int month, int day, int hour, int minute, int second, int millisecond);
