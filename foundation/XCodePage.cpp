#include "XCodePage.h"

#include "XCodePageTables.h"

#include <QString>
#include <algorithm>
#include <array>

namespace
{
struct Tables
{
    std::array<char16_t, 256> cp1252{};
    std::array<char16_t, 256> macRoman{};
    std::array<short, 0x10000> toCp1252;
    std::array<short, 0x10000> toMacRoman;

    Tables()
    {
        toCp1252.fill(-1);
        toMacRoman.fill(-1);
        for (int b = 0; b < 256; ++b)
        {
            cp1252[b] = b < 128 ? static_cast<char16_t>(b) : XCodePageTables::kCp1252High[b - 128];
            if (cp1252[b] == 0)
                cp1252[b] = static_cast<char16_t>(b);
            macRoman[b] = b < 128 ? static_cast<char16_t>(b) : XCodePageTables::kMacRomanHigh[b - 128];
            toCp1252[cp1252[b]] = static_cast<short>(b);
            toMacRoman[macRoman[b]] = static_cast<short>(b);
        }
    }
};

const Tables& GetTables()
{
    static const Tables tables;
    return tables;
}

const char* StandIn(char16_t unit)
{
    const auto* first = XCodePageTables::kStandIns;
    const auto* last = first + XCodePageTables::kStandInCount;
    const auto* it = std::lower_bound(
        first, last, unit, [](const XCodePageTables::StandIn& s, char16_t u) { return s.unit < u; });
    return it != last && it->unit == unit ? it->bytes : nullptr;
}

bool IsHigh(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLow(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}
} // namespace

char16_t XCodePage::Cp1252ToUtf16(unsigned char byte)
{
    return GetTables().cp1252[byte];
}

int XCodePage::Utf16ToCp1252(char16_t unit)
{
    return GetTables().toCp1252[unit];
}

std::string XCodePage::MacRomanToCp1252(const std::string& text)
{
    const Tables& t = GetTables();
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text)
    {
        const int b = c < 128 ? c : t.toCp1252[t.macRoman[c]];
        out += b >= 0 ? static_cast<char>(b) : '?';
    }
    return out;
}

bool XCodePage::FromUtf16(const std::u16string& units, unsigned codePage, std::string& out)
{
    const Tables& t = GetTables();
    int limit = 0; // the highest unit shown as its own byte
    const std::array<short, 0x10000>* table = nullptr;
    switch (codePage)
    {
    case 0:
    case 1252:
        table = &t.toCp1252;
        break;
    case 10000:
        table = &t.toMacRoman;
        break;
    case 20127:
        limit = 0x7F;
        break;
    case 28591:
        limit = 0xFF;
        break;
    case 65001:
        break;
    default:
        return false;
    }
    out.clear();
    out.reserve(units.size());
    for (size_t i = 0; i < units.size() && units[i] != 0; ++i)
    {
        const char16_t u = units[i];
        const bool pair = IsHigh(u) && i + 1 < units.size() && IsLow(units[i + 1]);
        if (!pair && (IsHigh(u) || IsLow(u)))
            out += '?';
        else if (codePage == 65001)
            out += QString::fromUtf16(&units[i], pair ? 2 : 1).toUtf8().toStdString();
        else if (pair)
            out += '?';
        else if (table && (*table)[u] >= 0)
            out += static_cast<char>((*table)[u]);
        else if (!table && u <= limit)
            out += static_cast<char>(u);
        else if (const char* standIn = table == &t.toCp1252 ? StandIn(u) : nullptr)
            out += standIn;
        else
            out += '?';
        if (pair)
            ++i;
    }
    return true;
}
