#include "XNumericLocale.h"

locale_t XNumericLocale::CLocale()
{
    static locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

XNumericLocale::XNumericLocale() : previous_(uselocale(CLocale())) {}

XNumericLocale::~XNumericLocale()
{
    uselocale(previous_);
}
