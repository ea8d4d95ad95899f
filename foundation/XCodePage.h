#pragma once

#include <string>

// Byte tables between Windows-1252, Mac Roman and UTF-16, built once with iconv.
namespace XCodePage
{
// The UTF-16 unit of a Windows-1252 byte; the five bytes Windows-1252 leaves
// undefined map to U+0080..U+009F as Windows does.
char16_t Cp1252ToUtf16(unsigned char byte);
// The Windows-1252 byte of a UTF-16 unit, or -1 when it has none.
int Utf16ToCp1252(char16_t unit);
// Mac Roman bytes to Windows-1252; characters without a place become "?".
std::string MacRomanToCp1252(const std::string& text);
} // namespace XCodePage
