#include "XString.h"

#include <QString>
#include <bit>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "XCodePage.h"
#include "platform/ThreadLocale.h"

namespace
{
const char* const kAllocateFailed = "Failed to allocate memory.";
const char* const kReallocateFailed = "Failed to reallocate memory.";

// Runs a step that obtains memory; the heap's refusal becomes the foundation's exception.
template <typename Step> void Obtaining(const char* message, Step step)
{
    try
    {
        step();
    }
    catch (const std::bad_alloc&)
    {
        throw XException(message, 0);
    }
    catch (const std::length_error&)
    {
        throw XException(message, 0);
    }
}

template <typename Step> void Allocating(Step step)
{
    Obtaining(kAllocateFailed, step);
}

template <typename Step> void Reallocating(Step step)
{
    Obtaining(kReallocateFailed, step);
}

const char* Safe(const char* text)
{
    return text ? text : "";
}

bool InSet(char c, const char* set)
{
    return set && c != '\0' && std::strchr(set, c) != nullptr;
}

// As "%.*f" prints it, in any locale.
std::string PrintFixed(double value, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    if (!std::isfinite(value))
        return std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan") : (value < 0 ? "-inf" : "inf");
    std::string out(32, '\0');
    for (;;)
    {
        const auto [end, error] =
            std::to_chars(out.data(), out.data() + out.size(), value, std::chars_format::fixed, decimals);
        if (error == std::errc())
        {
            out.resize(static_cast<size_t>(end - out.data()));
            return out;
        }
        out.resize(out.size() * 2);
    }
}

} // namespace

XString::XString() = default;
XString::XString(const XString& other)
{
    Allocating([&] { text_ = other.text_; });
}
XString::XString(XString&& other) noexcept : text_(std::move(other.text_)) {}
XString::XString(const char* text)
{
    Allocating([&] { text_ = Safe(text); });
}
XString::XString(const char* buffer, int length)
{
    Assign(buffer, length);
}
XString::XString(const std::string& text)
{
    Allocating([&] { text_ = text.c_str(); });
}
XString::XString(const QString& text)
{
    *this = FromWide(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<int>(text.size()), 1252);
}
XString::XString(char c)
{
    if (c != '\0')
        Allocating([&] { text_.assign(1, c); });
}
XString::XString(int value)
{
    Allocating([&] { text_ = std::to_string(value); });
}
XString::XString(long value)
{
    Allocating([&] { text_ = std::to_string(value); });
}
XString::XString(long long value)
{
    Allocating([&] { text_ = std::to_string(value); });
}
XString::XString(unsigned int value)
{
    Allocating([&] { text_ = std::to_string(value); });
}
XString::XString(unsigned long value)
{
    Allocating([&] { text_ = std::to_string(value); });
}
XString::XString(double value, int decimals)
{
    Allocating([&] { text_ = PrintFixed(value, decimals); });
}
XString::XString(float value, int decimals)
{
    Allocating([&] { text_ = PrintFixed(value, decimals); });
}
XString::~XString() = default;

XString& XString::operator=(const XString& other)
{
    if (this != &other)
        Allocating([&] { text_ = other.text_; });
    return *this;
}

XString& XString::operator=(XString&& other) noexcept
{
    if (this != &other)
        text_ = std::move(other.text_);
    return *this;
}

XString& XString::operator=(const char* text)
{
    return Assign(text);
}

XString& XString::operator=(const QString& text)
{
    return *this = XString(text);
}

XString& XString::Assign(const char* text)
{
    // Assigning our own buffer (or a part of it) must not read freed memory.
    std::string copy;
    Allocating([&] { copy = Safe(text); });
    text_.swap(copy);
    return *this;
}

XString& XString::Assign(const XString& other)
{
    return *this = other;
}

XString& XString::Assign(const char* buffer, int length)
{
    if (!buffer || length <= 0)
    {
        text_.clear();
        return *this;
    }
    std::string copy;
    Allocating([&] { copy.assign(buffer, strnlen(buffer, static_cast<size_t>(length))); });
    text_.swap(copy);
    return *this;
}

QString XString::ToQString() const
{
    QString result;
    result.reserve(static_cast<qsizetype>(text_.size()));
    for (unsigned char c : text_)
        result.append(QChar(XCodePage::Cp1252ToUtf16(c)));
    return result;
}

bool XString::FitsCodePage(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() == 0 || XCodePage::Utf16ToCp1252(c.unicode()) < 0)
            return false;
    return true;
}

bool XString::operator==(const char* text) const
{
    return std::strcmp(text_.c_str(), Safe(text)) == 0;
}

int XString::Compare(const char* text) const
{
    const signed char* a = reinterpret_cast<const signed char*>(text_.c_str());
    const signed char* b = reinterpret_cast<const signed char*>(Safe(text));
    while (*a && *a == *b)
    {
        ++a;
        ++b;
    }
    return *a - *b;
}

int XString::CompareNoCase(const char* text) const
{
    const unsigned char* a = reinterpret_cast<const unsigned char*>(text_.c_str());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(Safe(text));
    for (;; ++a, ++b)
    {
        int ca = static_cast<signed char>(std::toupper(*a));
        int cb = static_cast<signed char>(std::toupper(*b));
        if (ca != cb || *a == 0)
            return ca - cb;
    }
}

XString& XString::Append(const char* text)
{
    if (text)
        Reallocating([&] { text_.append(text); });
    return *this;
}

XString& XString::Append(const XString& other)
{
    Reallocating([&] { text_.append(other.text_); });
    return *this;
}

XString& XString::Append(char c)
{
    if (c != '\0')
        Reallocating([&] { text_.push_back(c); });
    return *this;
}

XString XString::Left(int count) const
{
    if (count <= 0)
        return XString();
    return XString(text_.c_str(), count);
}

XString XString::Mid(int start) const
{
    if (start < 0)
        start = 0;
    if (start >= Length())
        return XString();
    return XString(text_.c_str() + start);
}

XString XString::Sub(int start, int end) const
{
    XString copy(*this);
    copy.Truncate(end < 0 ? 0 : end);
    return copy.Mid(start);
}

int XString::Find(char c) const
{
    size_t pos = c == '\0' ? std::string::npos : text_.find(c);
    return pos == std::string::npos ? Length() : static_cast<int>(pos);
}

int XString::FindText(const char* text) const
{
    if (!text)
        return -1;
    size_t pos = text_.find(text);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

XString& XString::Insert(const char* text, int index)
{
    if (!text)
        return *this;
    if (index < 0)
        index = 0;
    if (index > Length())
        index = Length();
    Reallocating([&] { text_.insert(static_cast<size_t>(index), text); });
    return *this;
}

XString& XString::ReplaceChar(char from, char to)
{
    if (from == '\0')
        return *this;
    if (to == '\0')
    {
        // A NUL cannot live inside the string: the text ends at the first one.
        size_t pos = text_.find(from);
        if (pos != std::string::npos)
            text_.resize(pos);
        return *this;
    }
    for (char& c : text_)
        if (c == from)
            c = to;
    return *this;
}

XString& XString::RemoveChars(const char* set)
{
    if (!set || !*set || text_.find_first_of(set) == std::string::npos)
        return *this;
    std::string out;
    Reallocating([&] { out.reserve(text_.size()); });
    for (char c : text_)
        if (!InSet(c, set))
            out.push_back(c);
    text_.swap(out);
    return *this;
}

XString& XString::RemoveRange(char low, char high)
{
    std::string out;
    Reallocating([&] { out.reserve(text_.size()); });
    for (char c : text_)
    {
        signed char s = static_cast<signed char>(c);
        if (!(s >= static_cast<signed char>(low) && s <= static_cast<signed char>(high)))
            out.push_back(c);
    }
    text_.swap(out);
    return *this;
}

XString& XString::RemoveText(const char* text)
{
    if (!text || !*text)
        return *this;
    const size_t n = std::strlen(text);
    size_t pos;
    while ((pos = text_.find(text)) != std::string::npos)
        text_.erase(pos, n);
    return *this;
}

XString& XString::TrimLeft(const char* set)
{
    size_t i = 0;
    while (i < text_.size() && InSet(text_[i], set))
        ++i;
    text_.erase(0, i);
    return *this;
}

XString& XString::TrimRight(const char* set)
{
    size_t n = text_.size();
    while (n > 0 && InSet(text_[n - 1], set))
        --n;
    text_.resize(n);
    return *this;
}

XString& XString::Trim()
{
    size_t n = text_.size();
    while (n > 0 && std::isspace(static_cast<unsigned char>(text_[n - 1])))
        --n;
    text_.resize(n);
    size_t i = 0;
    while (i < text_.size() && std::isspace(static_cast<unsigned char>(text_[i])))
        ++i;
    text_.erase(0, i);
    return *this;
}

XString& XString::Truncate(int count)
{
    if (count < 0)
        count = 0;
    if (count < Length())
        text_.resize(static_cast<size_t>(count));
    return *this;
}

XString& XString::MakeUpper()
{
    for (char& c : text_)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

XString& XString::MakeLower()
{
    for (char& c : text_)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

XString XString::Lower() const
{
    XString copy(*this);
    return copy.MakeLower();
}

XString XString::Upper() const
{
    XString copy(*this);
    return copy.MakeUpper();
}

XString XString::DoubleQuoted() const
{
    return XString('"') + *this + '"';
}

XString XString::SingleQuoted() const
{
    return XString('\'') + *this + '\'';
}

bool XString::IsDigits() const
{
    for (char c : text_)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool XString::IsDecimal() const
{
    int points = 0;
    for (char c : text_)
    {
        if (c == '.')
        {
            if (++points > 1)
                return false;
        }
        else if (!std::isdigit(static_cast<unsigned char>(c)))
        {
            return false;
        }
    }
    return true;
}

int XString::ToInt() const
{
    long long v = ToInt64();
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

long long XString::ToInt64() const
{
    return std::strtoll(text_.c_str(), nullptr, 10);
}

float XString::ToFloat() const
{
    return static_cast<float>(ToDouble());
}

double XString::ToDouble() const
{
    // As strtod reads it, in any locale: leading blanks and a "+" are allowed.
    const char* p = text_.c_str();
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    if (*p == '+' && p[1] != '-')
        ++p;
    double value = 0;
    const auto [end, error] = std::from_chars(p, text_.c_str() + text_.size(), value);
    if (error == std::errc::result_out_of_range)
    {
        // Too small a number reads as zero, too large a one as infinity.
        const std::string digits(p, end);
        const size_t e = digits.find_first_of("eE");
        const double magnitude =
            e != std::string::npos && digits.compare(e + 1, 1, "-") == 0 ? 0.0 : HUGE_VAL;
        return *p == '-' ? -magnitude : magnitude;
    }
    return error == std::errc() ? value : 0.0;
}

XString& XString::Format(int size, const char* format, ...)
{
    if (size <= 0 || !format)
    {
        text_.clear();
        return *this;
    }
    std::vector<char> buffer;
    Allocating([&] { buffer.resize(static_cast<size_t>(size)); });
    va_list args;
    va_start(args, format);
    int n;
    {
        XNumericLocale c;
        n = std::vsnprintf(buffer.data(), buffer.size(), format, args);
    }
    va_end(args);
    if (n < 0)
        buffer[0] = '\0';
    Reallocating([&] { text_.assign(buffer.data()); }); // cut at size - 1 by vsnprintf
    return *this;
}

void XString::WinToWChar(char16_t* destination, int capacity) const
{
    if (!destination || capacity < Length() + 1)
        throw XException("XString::WinToWChar error", E2BIG);
    for (int i = 0; i < Length(); ++i)
        destination[i] = XCodePage::Cp1252ToUtf16(static_cast<unsigned char>(text_[i]));
    destination[Length()] = u'\0';
}

XString XString::FromWide(const char16_t* source, int count, unsigned codePage)
{
    XString result;
    if (!source)
        return result;
    size_t n = 0;
    if (count < 0)
        while (source[n])
            ++n;
    else
        n = static_cast<size_t>(count);

    std::u16string units;
    Allocating([&] { units.assign(source, n); });
    // Compose base letters with following accents where one character exists.
    for (char16_t u : units)
    {
        if (u >= 0x0300 && u <= 0x036F)
        {
            QString composed = QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()))
                                   .normalized(QString::NormalizationForm_C);
            units.assign(reinterpret_cast<const char16_t*>(composed.utf16()),
                         static_cast<size_t>(composed.size()));
            break;
        }
    }
    Allocating(
        [&]
        {
            if (!XCodePage::FromUtf16(units, codePage, result.text_))
                throw XException("XString::FromWide error", EINVAL);
        });
    return result;
}

XString operator+(const XString& a, const XString& b)
{
    XString r(a);
    return r.Append(b);
}

XString operator+(const XString& a, const char* b)
{
    XString r(a);
    return r.Append(b);
}

XString operator+(const char* a, const XString& b)
{
    XString r(a);
    return r.Append(b);
}

XString operator+(const XString& a, char b)
{
    XString r(a);
    return r.Append(b);
}

int CompareXStrings(const XString* a, const XString* b)
{
    return a->Compare(b->Text());
}

std::ostream& operator<<(std::ostream& out, const XString& text)
{
    return out << text.Std();
}
