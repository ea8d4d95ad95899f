#include "odbc/OdbcTextLocale.h"

#include <initializer_list>

namespace {

locale_t Utf8Ctype()
{
    static const locale_t loc = [] {
        for (const char *name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            if (locale_t l = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr)))
                return l;
        }
        return static_cast<locale_t>(nullptr);
    }();
    return loc;
}

} // namespace

OdbcTextLocale::OdbcTextLocale()
{
    if (locale_t l = Utf8Ctype())
        previous_ = uselocale(l);
}

OdbcTextLocale::~OdbcTextLocale()
{
    if (previous_)
        uselocale(previous_);
}
