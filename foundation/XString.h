#pragma once

#include <iosfwd>
#include <string>

#include "XException.h"

class QString;

// The engine side's narrow string: bytes in the ANSI code page (Windows-1252),
// owned by value, never holding a NUL character. A null text pointer given to
// any constructor, assignment, comparison or append is taken as "".
// When the heap gives no memory, operations that make a string throw
// XException "Failed to allocate memory." and those that grow one in place
// "Failed to reallocate memory.", both with code 0.
class XString
{
public:
    XString();
    XString(const XString& other);
    XString(XString&& other) noexcept;
    XString(const char* text);
    XString(const char* buffer, int length); // up to length bytes, stops at a NUL
    XString(const std::string& text);
    XString(const QString& text); // through Windows-1252, as FromWide does
    explicit XString(char c);
    explicit XString(int value);
    explicit XString(long value);
    explicit XString(long long value);
    explicit XString(unsigned int value);
    explicit XString(unsigned long value);
    XString(double value, int decimals); // "%.<decimals>f", "C" conventions
    XString(float value, int decimals);
    virtual ~XString();

    XString& operator=(const XString& other);
    XString& operator=(XString&& other) noexcept;
    XString& operator=(const char* text);
    XString& operator=(const QString& text);

    XString& Assign(const char* text);
    XString& Assign(const XString& other);
    XString& Assign(const char* buffer, int length);

    // Access
    int Length() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    const char* Text() const { return text_.c_str(); } // valid until the next change
    char* At(int index) { return &text_[index]; }      // no bounds check
    const char* At(int index) const { return &text_[index]; }
    char operator[](int index) const { return text_[index]; }
    const std::string& Std() const { return text_; }
    QString ToQString() const; // through Windows-1252
    // True when every character of the text has its own Windows-1252 byte.
    static bool FitsCodePage(const QString& text);

    // Comparison (byte-wise, signed characters)
    bool operator==(const char* text) const;
    bool operator!=(const char* text) const { return !(*this == text); }
    bool operator==(const XString& other) const { return text_ == other.text_; }
    bool operator!=(const XString& other) const { return text_ != other.text_; }
    bool operator<(const XString& other) const { return Compare(other.Text()) < 0; }
    int Compare(const char* text) const;       // difference of the first differing characters, 0 when equal
    int CompareNoCase(const char* text) const; // the same after upper-casing both sides

    // Concatenation
    XString& Append(const char* text); // null changes nothing
    XString& Append(const XString& other);
    XString& Append(char c);
    XString& operator+=(const char* text) { return Append(text); }
    XString& operator+=(const XString& other) { return Append(other); }
    XString& operator+=(char c) { return Append(c); }

    // Substrings and searching (indexes clamp; nothing throws)
    XString Left(int count) const;
    XString Mid(int start) const;
    XString Sub(int start, int end) const; // [start, end)
    int Find(char c) const;                // index of the first c, or Length() when absent
    int FindText(const char* text) const;  // index of the first occurrence, or -1 (also for null)

    // Editing in place
    XString& Insert(const char* text, int index);
    XString& ReplaceChar(char from, char to);
    XString& RemoveChars(const char* set);
    XString& RemoveRange(char low, char high); // signed character values low..high
    XString& RemoveText(const char* text);     // rescans from the start after every deletion
    XString& TrimLeft(const char* set);
    XString& TrimRight(const char* set);
    XString& Trim(); // white space at both ends
    XString& Truncate(int count);
    XString& MakeUpper();
    XString& MakeLower();

    // Copies
    XString Lower() const;
    XString Upper() const;
    XString DoubleQuoted() const;
    XString SingleQuoted() const;

    // Numbers
    bool IsDigits() const;  // true for ""
    bool IsDecimal() const; // digits with at most one "."; true for ""
    int ToInt() const;      // leading digits as atoi does; 0 when none
    long long ToInt64() const;
    float ToFloat() const;
    double ToDouble() const; // "C" conventions

    // printf-style into a buffer of size characters; output longer than
    // size - 1 characters is cut there. Numbers use "C" conventions.
    XString& Format(int size, const char* format, ...) __attribute__((format(printf, 3, 4)));

    // Windows-1252 <-> UTF-16. WinToWChar writes Length() + 1 units (the
    // terminator included) and throws "XString::WinToWChar error" when the
    // buffer is too small. FromWide: count -1 reads to the terminator; code page
    // 0 or 1252 is Windows-1252, where a character it cannot hold becomes its
    // closest letter ("\u0141" gives "L"), "?" only when there is none.
    void WinToWChar(char16_t* destination, int capacity) const;
    static XString FromWide(const char16_t* source, int count = -1, unsigned codePage = 0);

private:
    std::string text_;
};

XString operator+(const XString& a, const XString& b);
XString operator+(const XString& a, const char* b);
XString operator+(const char* a, const XString& b);
XString operator+(const XString& a, char b);

// Writes the bytes as they are (diagnostics, test output).
std::ostream& operator<<(std::ostream& out, const XString& text);

// Three-way comparison with the rule of XString::Compare; the ordering of
// sorted XVectors of XString.
int CompareXStrings(const XString* a, const XString* b);
