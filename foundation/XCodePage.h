#pragma once

#include <string>

// Windows-1252, Mac Roman and the other code pages the engine side names, from
// and to UTF-16, by fixed tables: every platform converts the same way.
namespace XCodePage
{
// The UTF-16 unit of a Windows-1252 byte; the five bytes Windows-1252 leaves
// undefined map to U+0080..U+009F as Windows does.
char16_t Cp1252ToUtf16(unsigned char byte);
// The Windows-1252 byte of a UTF-16 unit, or -1 when it has none.
int Utf16ToCp1252(char16_t unit);
// Mac Roman bytes to Windows-1252; characters without a place become "?".
std::string MacRomanToCp1252(const std::string& text);
// UTF-16 up to its first NUL in code page 0 or 1252 (Windows-1252), 10000 (Mac
// Roman), 20127 (ASCII), 28591 (Latin-1) or 65001 (UTF-8). Windows-1252 takes
// the nearest letters for one it lacks ("Ł" is "L"); a character the code page
// cannot show becomes "?". False for any other code page.
bool FromUtf16(const std::u16string& units, unsigned codePage, std::string& out);
} // namespace XCodePage
