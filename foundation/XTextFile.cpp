#include "XTextFile.h"

#include <cstring>

#include "XCodePage.h"

namespace
{
constexpr size_t kDetectBytes = 1023;
constexpr size_t kChunk = 4096;
} // namespace

XTextFile::XTextFile(char separator, const char* openQuotes, const char* closeQuotes) : separator_(separator)
{
    SetQuotes(openQuotes, closeQuotes);
}

void XTextFile::SetQuotes(const char* openQuotes, const char* closeQuotes)
{
    openQuotes_ = openQuotes ? openQuotes : "";
    closeQuotes_ = closeQuotes ? closeQuotes : "";
    if (closeQuotes_.empty())
        closeQuotes_ = openQuotes_;
}

void XTextFile::Open(const XFileSpec& fileSpec, int mode)
{
    XFile::Open(fileSpec, mode);
    lineStart_ = true;
    linesEnded_ = 0;
    lineEnd_ = LineEndUnknown;
    readBuffer_.clear();
    readPos_ = 0;
    readEof_ = false;
    pushed_ = -1;
}

void XTextFile::WriteField(const char* value)
{
    if (!lineStart_)
        Write(&separator_, 1);
    lineStart_ = false;
    if (!value)
        return;
    if (openQuotes_.empty())
    {
        // Unquoted, a line end would split the record: it becomes a blank,
        // as in every cleaned text.
        const size_t length = std::strlen(value);
        if (std::strpbrk(value, "\r\n") == nullptr)
        {
            Write(value, static_cast<int64_t>(length));
            return;
        }
        std::string clean(value, length);
        for (char& c : clean)
            if (c == '\r' || c == '\n')
                c = ' ';
        Write(clean.data(), static_cast<int64_t>(clean.size()));
        return;
    }
    const char open = openQuotes_[0];
    const char close = closeQuotes_[0];
    bool quote = false;
    for (const char* p = value; *p && !quote; ++p)
        quote = *p == separator_ || *p == '\r' || *p == '\n' || openQuotes_.find(*p) != std::string::npos ||
                closeQuotes_.find(*p) != std::string::npos;
    if (!quote)
    {
        WriteText(value);
        return;
    }
    std::string out(1, open);
    for (const char* p = value; *p; ++p)
    {
        out += *p;
        if (*p == close)
            out += close;
    }
    out += close;
    Write(out.data(), static_cast<int64_t>(out.size()));
}

void XTextFile::EndLine()
{
    Write("\r\n", 2);
    lineStart_ = true;
    ++linesEnded_;
}

int XTextFile::NextByte()
{
    if (pushed_ >= 0)
    {
        int c = pushed_;
        pushed_ = -1;
        return c;
    }
    if (readPos_ >= readBuffer_.size())
    {
        if (readEof_)
            return -1;
        readBuffer_.resize(kChunk);
        int64_t n = Read(readBuffer_.data(), static_cast<int64_t>(kChunk));
        readBuffer_.resize(static_cast<size_t>(n));
        readPos_ = 0;
        if (n == 0)
        {
            readEof_ = true;
            return -1;
        }
    }
    return static_cast<unsigned char>(readBuffer_[readPos_++]);
}

void XTextFile::DetectLineEnd()
{
    if (lineEnd_ != LineEndUnknown)
        return;
    // Look at the first bytes without consuming them.
    while (!readEof_ && readBuffer_.size() - readPos_ < kDetectBytes)
    {
        char chunk[kChunk];
        int64_t n = Read(chunk, static_cast<int64_t>(kChunk));
        if (n == 0)
            readEof_ = true;
        readBuffer_.erase(0, readPos_);
        readPos_ = 0;
        readBuffer_.append(chunk, static_cast<size_t>(n));
    }
    const size_t end = std::min(readBuffer_.size(), readPos_ + kDetectBytes);
    lineEnd_ = LineEndCRLF;
    for (size_t i = readPos_; i < end; ++i)
    {
        if (readBuffer_[i] == '\r')
        {
            lineEnd_ = (i + 1 < readBuffer_.size() && readBuffer_[i + 1] == '\n') ? LineEndCRLF : LineEndCR;
            break;
        }
        if (readBuffer_[i] == '\n')
        {
            lineEnd_ = LineEndLF;
            break;
        }
    }
}

bool XTextFile::ReadRaw(XString& out, bool splitFields, bool* atEndOfLine)
{
    DetectLineEnd();
    std::string text;
    bool any = false;
    bool endOfLine = false;
    int c = NextByte();
    if (c < 0)
    {
        out = XString();
        if (atEndOfLine)
            *atEndOfLine = true;
        return false;
    }
    size_t q;
    if (splitFields && (q = openQuotes_.find(static_cast<char>(c))) != std::string::npos)
    {
        const char close = closeQuotes_[std::min(q, closeQuotes_.size() - 1)];
        any = true;
        while ((c = NextByte()) >= 0)
        {
            if (c == static_cast<unsigned char>(close))
            {
                int n = NextByte();
                if (n == static_cast<unsigned char>(close))
                {
                    text += close;
                    continue;
                }
                c = n;
                break;
            }
            if (c != 0)
                text += static_cast<char>(c);
        }
        // After the closing quote: anything up to the separator or line end is kept too.
    }
    for (; c >= 0; c = NextByte())
    {
        any = true;
        if (c == '\r')
        {
            int n = NextByte();
            if (n >= 0 && n != '\n')
                PushBack(n);
            endOfLine = true;
            break;
        }
        if (c == '\n')
        {
            endOfLine = true;
            break;
        }
        if (splitFields && c == static_cast<unsigned char>(separator_))
            break;
        if (c != 0)
            text += static_cast<char>(c);
    }
    if (c < 0)
        endOfLine = true;
    out = Convert(XString(text));
    if (atEndOfLine)
        *atEndOfLine = endOfLine;
    return any;
}

XString XTextFile::Convert(const XString& raw) const
{
    if (lineEnd_ != LineEndCR)
        return raw;
    return XString(XCodePage::MacRomanToCp1252(raw.Std()));
}

bool XTextFile::ReadField(XString& value, bool* atEndOfLine)
{
    return ReadRaw(value, true, atEndOfLine);
}

bool XTextFile::ReadLine(XString& line)
{
    return ReadRaw(line, false, nullptr);
}
