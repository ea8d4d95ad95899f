#include "AnsiText.h"

#include <QString>
#include <vector>

namespace AnsiText
{
XString FromUtf8(const std::string& text)
{
    return FromUtf16(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String());
}

XString FromUtf16(const std::u16string& text)
{
    return XString::FromWide(text.c_str(), static_cast<int>(text.size()), 0);
}

std::u16string ToUtf16(const XString& text)
{
    std::vector<char16_t> buffer(text.Length() + 1);
    text.WinToWChar(buffer.data(), static_cast<int>(buffer.size()));
    return std::u16string(buffer.data(), text.Length());
}

std::string ToUtf8(const XString& text)
{
    return QString::fromStdU16String(ToUtf16(text)).toStdString();
}
} // namespace AnsiText
