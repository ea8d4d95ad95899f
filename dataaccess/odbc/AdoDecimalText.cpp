#include "odbc/AdoDecimalText.h"

#include <cctype>

namespace {

const int kMaxScale = 28;

// Drops the last digit, rounding half away from zero into the rest.
void DropLastDigitRounded(std::string &digits)
{
    const char dropped = digits.back();
    digits.pop_back();
    if (dropped < '5')
        return;
    int i = static_cast<int>(digits.size()) - 1;
    for (; i >= 0; --i) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            break;
        }
    }
    if (i < 0)
        digits.insert(digits.begin(), '1');
}

void StripLeadingZeros(std::string &digits)
{
    std::size_t z = 0;
    while (z + 1 < digits.size() && digits[z] == '0')
        ++z;
    digits.erase(0, z);
}

bool FitsIn96Bits(const std::string &digits, unsigned __int128 &value)
{
    if (digits.size() > 29)
        return false;
    unsigned __int128 v = 0;
    for (char c : digits)
        v = v * 10 + static_cast<unsigned>(c - '0');
    value = v;
    return (v >> 96) == 0;
}

} // namespace

bool ParseAdoDecimal(const std::string &text, AdoDecimal &out, std::string &error)
{
    std::size_t i = 0, n = text.size();
    while (i < n && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    while (n > i && std::isspace(static_cast<unsigned char>(text[n - 1])))
        --n;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';

    std::string digits;
    int scale = 0;
    bool seenPoint = false, seenDigit = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
            seenDigit = true;
            if (seenPoint)
                ++scale;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E') && seenDigit) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == '-' || text[i] == '+'))
            expNegative = text[i++] == '-';
        long exponent = 0;
        bool expDigit = false;
        for (; i < n && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
            expDigit = true;
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i] - '0');
        }
        if (!expDigit) {
            error = "The value is not a number.";
            return false;
        }
        scale += static_cast<int>(expNegative ? exponent : -exponent);
    }
    if (!seenDigit || i != n) {
        error = "The value is not a number.";
        return false;
    }

    StripLeadingZeros(digits);
    if (scale < 0) {
        if (digits != "0") {
            if (digits.size() + static_cast<std::size_t>(-scale) > 29) {
                error = "The value is too large for a decimal.";
                return false;
            }
            digits.append(static_cast<std::size_t>(-scale), '0');
        }
        scale = 0;
    }
    unsigned __int128 value = 0;
    while (scale > kMaxScale || (!FitsIn96Bits(digits, value) && scale > 0)) {
        DropLastDigitRounded(digits);
        if (digits.empty())
            digits = "0";
        --scale;
    }
    if (!FitsIn96Bits(digits, value)) {
        error = "The value is too large for a decimal.";
        return false;
    }
    out.low = static_cast<std::uint64_t>(value);
    out.high = static_cast<std::uint32_t>(value >> 64);
    out.scale = static_cast<std::uint8_t>(scale);
    out.negative = negative && value != 0;
    return true;
}
