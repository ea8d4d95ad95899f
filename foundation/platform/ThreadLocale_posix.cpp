#include "ThreadLocale.h"

#include <initializer_list>
#include <locale.h>

namespace
{
locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

locale_t Utf8Ctype()
{
    static const locale_t utf8 = []
    {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
            if (locale_t l = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr)))
                return l;
        return static_cast<locale_t>(nullptr);
    }();
    return utf8;
}

void* Use(locale_t l)
{
    return l ? static_cast<void*>(uselocale(l)) : nullptr;
}

void Restore(void* previous)
{
    if (previous)
        uselocale(static_cast<locale_t>(previous));
}
} // namespace

XNumericLocale::XNumericLocale() : previous_(Use(CLocale())) {}

XNumericLocale::~XNumericLocale()
{
    Restore(previous_);
}

OdbcTextLocale::OdbcTextLocale() : previous_(Use(Utf8Ctype())) {}

OdbcTextLocale::~OdbcTextLocale()
{
    Restore(previous_);
}
