#pragma once

#include <cstdint>

#include "XString.h"
#include "odbc/AdoValue.h"

// The conversions the field readers apply to a value, by its VARIANT type.
// oracleOdbc selects the Oracle (ODBC) treatment of negative whole decimals.
namespace VariantConversion
{
XString Text(const AdoValue& value, bool oracleOdbc);
std::int32_t Int32(const AdoValue& value, bool oracleOdbc);
// Reals, decimals and 64-bit values through a 64-bit integer, low 32 bits kept.
std::int32_t Int32Truncated(const AdoValue& value, bool oracleOdbc);
double Double(const AdoValue& value);
float Float(const AdoValue& value);
bool Bool(const AdoValue& value);

// A real as the text reader writes it: four decimals, trailing zeros and point dropped.
XString RealText(double value);
// The value of a decimal (sign and scale applied).
double DecimalValue(const AdoDecimal& decimal);
} // namespace VariantConversion
