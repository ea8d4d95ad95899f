#pragma once

#include <string>

#include "odbc/AdoValue.h"

// Reads a driver's character form of an exact number ("-12.50", "7",
// "1.5E+3") into a VARIANT decimal (96-bit mantissa, scale 0..28). Digits
// beyond what the decimal holds are rounded off the fraction. Returns false
// with `error` set for text that is no number or too large.
bool ParseAdoDecimal(const std::string &text, AdoDecimal &out, std::string &error);
