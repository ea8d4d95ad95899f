#include "odbc/AdoValue.h"

#include <cctype>

namespace
{

const int kMaxScale = 28;

// Drops the last digit, rounding half away from zero into the rest.
void DropLastDigitRounded(std::string& digits)
{
    const char dropped = digits.back();
    digits.pop_back();
    if (dropped < '5')
        return;
    int i = static_cast<int>(digits.size()) - 1;
    for (; i >= 0; --i)
    {
        if (digits[i] == '9')
        {
            digits[i] = '0';
        }
        else
        {
            ++digits[i];
            break;
        }
    }
    if (i < 0)
        digits.insert(digits.begin(), '1');
}

void StripLeadingZeros(std::string& digits)
{
    std::size_t z = 0;
    while (z + 1 < digits.size() && digits[z] == '0')
        ++z;
    digits.erase(0, z);
}

// Decimal digits as a 96-bit number, in 32-bit parts so that every compiler
// (32-bit ones have no 128-bit integers) does the same; false when it needs more.
bool FitsIn96Bits(const std::string& digits, std::uint64_t& low, std::uint32_t& high)
{
    if (digits.size() > 29)
        return false;
    std::uint32_t part[3] = {0, 0, 0}; // least significant first
    for (char c : digits)
    {
        std::uint64_t carry = static_cast<unsigned>(c - '0');
        for (std::uint32_t& p : part)
        {
            const std::uint64_t v = static_cast<std::uint64_t>(p) * 10 + carry;
            p = static_cast<std::uint32_t>(v);
            carry = v >> 32;
        }
        if (carry != 0)
            return false;
    }
    low = (static_cast<std::uint64_t>(part[1]) << 32) | part[0];
    high = part[2];
    return true;
}

} // namespace

bool ParseAdoDecimal(const std::string& text, AdoDecimal& out, std::string& error)
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
    for (; i < n; ++i)
    {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c)))
        {
            digits += c;
            seenDigit = true;
            if (seenPoint)
                ++scale;
        }
        else if (c == '.' && !seenPoint)
        {
            seenPoint = true;
        }
        else
        {
            break;
        }
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E') && seenDigit)
    {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == '-' || text[i] == '+'))
            expNegative = text[i++] == '-';
        long exponent = 0;
        bool expDigit = false;
        for (; i < n && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        {
            expDigit = true;
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i] - '0');
        }
        if (!expDigit)
        {
            error = "The value is not a number.";
            return false;
        }
        scale += static_cast<int>(expNegative ? exponent : -exponent);
    }
    if (!seenDigit || i != n)
    {
        error = "The value is not a number.";
        return false;
    }

    StripLeadingZeros(digits);
    if (scale < 0)
    {
        if (digits != "0")
        {
            if (digits.size() + static_cast<std::size_t>(-scale) > 29)
            {
                error = "The value is too large for a decimal.";
                return false;
            }
            digits.append(static_cast<std::size_t>(-scale), '0');
        }
        scale = 0;
    }
    std::uint64_t low = 0;
    std::uint32_t high = 0;
    while (scale > kMaxScale || (!FitsIn96Bits(digits, low, high) && scale > 0))
    {
        DropLastDigitRounded(digits);
        if (digits.empty())
            digits.assign(1, '0');
        --scale;
    }
    if (!FitsIn96Bits(digits, low, high))
    {
        error = "The value is too large for a decimal.";
        return false;
    }
    out.low = low;
    out.high = high;
    out.scale = static_cast<std::uint8_t>(scale);
    out.negative = negative && (low != 0 || high != 0);
    return true;
}

namespace
{
// Days from 1970-01-01 in the proleptic Gregorian calendar.
long DaysFromCivil(long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}
} // namespace

double AutomationDate(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    const long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                      DaysFromCivil(1899, 12, 30);
    const double fraction =
        (static_cast<double>(hour) * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) /
        86400000.0;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}
