#pragma once

#include <locale.h>

// Switches the calling thread to the "C" locale for the scope, so that numbers
// are printed and read the same whatever the process locale is.
class XNumericLocale
{
public:
    XNumericLocale();
    ~XNumericLocale();
    XNumericLocale(const XNumericLocale&) = delete;
    XNumericLocale& operator=(const XNumericLocale&) = delete;

    static locale_t CLocale();

private:
    locale_t previous_;
};
