#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "odbc/AdoEnums.h"

// Stand-in for an OLE Automation VARIANT as ADO hands it out: `type` holds the
// VARTYPE number, the payload member that goes with it holds the value.
struct AdoDecimal {
    std::uint64_t low = 0;   // low 64 bits of the 96-bit mantissa
    std::uint32_t high = 0;  // high 32 bits of the mantissa (0 for most values)
    std::uint8_t scale = 0;  // power of ten the mantissa is divided by (0..28)
    bool negative = false;
};

struct AdoValue {
    unsigned short type = ado::VT_EMPTY;

    std::int64_t integer = 0;   // VT_I1..VT_UI8, VT_INT, VT_CY (in 1/10000)
    double real = 0.0;          // VT_R4, VT_R8, VT_DATE (automation date)
    bool boolean = false;       // VT_BOOL
    std::u16string text;        // VT_BSTR (UTF-16)
    AdoDecimal decimal;         // VT_DECIMAL
    std::vector<unsigned char> bytes;  // VT_ARRAY | VT_UI1

    static AdoValue Empty();
    static AdoValue Null();
    // type must be one of the integer types (VT_I1..VT_UI8, VT_INT) or VT_CY.
    static AdoValue Integer(unsigned short type, std::int64_t v);
    // type is VT_R4 or VT_R8.
    static AdoValue Real(unsigned short type, double v);
    static AdoValue Date(double automationDate);
    static AdoValue Text(std::u16string v);
    static AdoValue Bool(bool v);
    static AdoValue Decimal(const AdoDecimal &v);
    static AdoValue Bytes(std::vector<unsigned char> v);

    bool IsNull() const { return type == ado::VT_NULL; }
    bool IsEmpty() const { return type == ado::VT_EMPTY; }
};
