#pragma once

// Locale scopes of the calling thread.

// For its scope, the calling thread prints and reads numbers as the "C"
// locale does, whatever locale the process runs in.
class XNumericLocale
{
public:
    XNumericLocale();
    ~XNumericLocale();
    XNumericLocale(const XNumericLocale&) = delete;
    XNumericLocale& operator=(const XNumericLocale&) = delete;

private:
    void* previous_ = nullptr;
    int mode_ = 0;
};

// unixODBC converts the wide texts of an application to the 8-bit texts of a
// driver without wide entry points (the SQLite driver is one) in the
// character set of the current locale: under the "C" locale every character
// beyond ASCII would be lost. For its scope, ODBC calls of the calling thread
// run with a UTF-8 character type; the process locale is left alone. The
// Windows driver manager converts by itself, so there it does nothing.
class OdbcTextLocale
{
public:
    OdbcTextLocale();
    ~OdbcTextLocale();
    OdbcTextLocale(const OdbcTextLocale&) = delete;
    OdbcTextLocale& operator=(const OdbcTextLocale&) = delete;

private:
    void* previous_ = nullptr;
};
