#pragma once

#include <exception>
#include <string>

class XString;

// The engine side's exception: a message (what()), a code (0 unless a system
// error code applies) and an optional detail text that subclasses fill.
class XException : public std::exception
{
public:
    XException();
    explicit XException(const char* message, int code = 0, const char* detail = nullptr);
    explicit XException(const std::string& message, int code = 0);
    explicit XException(const XString& message, int code = 0);
    XException(const XException&) = default;
    XException& operator=(const XException&) = default;
    ~XException() override;

    const char* what() const noexcept override { return message_.c_str(); }
    const char* Message() const { return message_.c_str(); }
    int Code() const { return code_; }
    const char* Detail() const { return detail_.c_str(); }

    void SetMessage(const char* message) { message_ = message ? message : ""; }
    void SetCode(int code) { code_ = code; }
    void SetDetail(const char* detail) { detail_ = detail ? detail : ""; }

protected:
    std::string message_;
    int code_ = 0;
    std::string detail_;
};

// Formats printf-style (numbers in "C" conventions, at most 1024 characters,
// longer text is cut) and throws XException with that message and code.
[[noreturn]] void RaiseError(int code, const char* format, ...) __attribute__((format(printf, 2, 3)));
