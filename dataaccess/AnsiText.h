#pragma once

#include <string>

#include "XString.h"

// The ODBC layer speaks UTF-8 and UTF-16; the engine side keeps Windows-1252.
namespace AnsiText
{
XString FromUtf8(const std::string& text);
XString FromUtf16(const std::u16string& text);
std::u16string ToUtf16(const XString& text);
std::string ToUtf8(const XString& text);
} // namespace AnsiText
