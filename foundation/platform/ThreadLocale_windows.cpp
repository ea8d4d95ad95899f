#include "ThreadLocale.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>

// The C runtime's locale, made the thread's own for the scope.
XNumericLocale::XNumericLocale() : mode_(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE))
{
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    previous_ = current ? _strdup(current) : nullptr;
    std::setlocale(LC_NUMERIC, "C");
}

XNumericLocale::~XNumericLocale()
{
    if (previous_)
    {
        std::setlocale(LC_NUMERIC, static_cast<const char*>(previous_));
        std::free(previous_);
    }
    _configthreadlocale(mode_);
}

OdbcTextLocale::OdbcTextLocale() = default;

OdbcTextLocale::~OdbcTextLocale() = default;
