#include "XException.h"

#include <cstdarg>
#include <cstdio>

#include "XString.h"
#include "platform/ThreadLocale.h"

XException::XException() = default;

XException::XException(const char* message, int code, const char* detail)
    : message_(message ? message : ""), code_(code), detail_(detail ? detail : "")
{
}

XException::XException(const std::string& message, int code) : message_(message), code_(code) {}

XException::XException(const XString& message, int code) : message_(message.Text()), code_(code) {}

XException::~XException() = default;

void RaiseError(int code, const char* format, ...)
{
    // One shared buffer: the engine side runs on one thread.
    static char buffer[1025];
    va_list args;
    va_start(args, format);
    {
        XNumericLocale c;
        vsnprintf(buffer, sizeof buffer, format ? format : "", args);
    }
    va_end(args);
    throw XException(buffer, code);
}
