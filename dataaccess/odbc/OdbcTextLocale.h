#pragma once

#include <locale.h>

// unixODBC converts the wide texts of an application to the 8-bit texts of
// a driver without wide entry points (the SQLite driver is one) in the
// character set of the current locale. Under the "C" locale every character
// beyond ASCII is lost, so ODBC calls run with a UTF-8 character type for
// the calling thread; the process locale is left alone.
class OdbcTextLocale {
public:
    OdbcTextLocale();
    ~OdbcTextLocale();
    OdbcTextLocale(const OdbcTextLocale &) = delete;
    OdbcTextLocale &operator=(const OdbcTextLocale &) = delete;

private:
    locale_t previous_ = nullptr;
};
