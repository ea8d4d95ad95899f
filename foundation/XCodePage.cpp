#include "XCodePage.h"

#include <array>
#include <bit>
#include <iconv.h>
#include <unordered_map>

namespace
{
const char* Utf16Name()
{
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

// Decodes each single byte of a code page to one UTF-16 unit; 0 when undefined.
std::array<char16_t, 256> ByteTable(const char* codePage)
{
    std::array<char16_t, 256> table{};
    iconv_t cd = iconv_open(Utf16Name(), codePage);
    for (int b = 0; b < 256; ++b)
    {
        if (cd == reinterpret_cast<iconv_t>(-1))
        {
            table[b] = b < 128 ? static_cast<char16_t>(b) : 0;
            continue;
        }
        char in = static_cast<char>(b);
        char16_t out[4] = {};
        char* inPtr = &in;
        size_t inLeft = 1;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
            outLeft == sizeof out - 2)
            table[b] = out[0];
    }
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    return table;
}

struct Tables
{
    std::array<char16_t, 256> cp1252{};
    std::array<char16_t, 256> macRoman{};
    std::unordered_map<char16_t, unsigned char> toCp1252;

    Tables() : cp1252(ByteTable("CP1252")), macRoman(ByteTable("MACINTOSH"))
    {
        for (int b = 0; b < 256; ++b)
        {
            if (b != 0 && cp1252[b] == 0)
                cp1252[b] = static_cast<char16_t>(b);
            toCp1252.emplace(cp1252[b], static_cast<unsigned char>(b));
        }
    }
};

const Tables& GetTables()
{
    static const Tables tables;
    return tables;
}
} // namespace

char16_t XCodePage::Cp1252ToUtf16(unsigned char byte)
{
    return GetTables().cp1252[byte];
}

int XCodePage::Utf16ToCp1252(char16_t unit)
{
    const auto& map = GetTables().toCp1252;
    auto it = map.find(unit);
    return it == map.end() ? -1 : it->second;
}

std::string XCodePage::MacRomanToCp1252(const std::string& text)
{
    const Tables& t = GetTables();
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text)
    {
        if (c < 128)
        {
            out += static_cast<char>(c);
            continue;
        }
        int b = Utf16ToCp1252(t.macRoman[c]);
        out += (t.macRoman[c] != 0 && b >= 0) ? static_cast<char>(b) : '?';
    }
    return out;
}
