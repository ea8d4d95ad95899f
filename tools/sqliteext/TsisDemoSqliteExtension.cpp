// SQLite extension loaded by the demo DSN: the Oracle TO_DATE(text, format) that the engine
// writes into attendance filters, answering the date as the eight-digit number the demo
// tables hold (TO_DATE('20090115', 'YYYYMMDD') = 20090115).
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include <cctype>
#include <string>

namespace
{

bool readDigits(const std::string& text, std::size_t& pos, std::size_t count, int& value)
{
    value = 0;
    for (std::size_t i = 0; i < count; ++i, ++pos)
    {
        if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos])))
            return false;
        value = value * 10 + (text[pos] - '0');
    }
    return true;
}

bool upperStartsWith(const std::string& format, std::size_t pos, const char* token)
{
    for (std::size_t i = 0; token[i]; ++i)
        if (pos + i >= format.size() || std::toupper(static_cast<unsigned char>(format[pos + i])) != token[i])
            return false;
    return true;
}

// Understands YYYY, MM and DD; any other format character must match the text literally.
bool parseDate(const std::string& text, const std::string& format, long& result)
{
    int year = -1, month = -1, day = -1;
    std::size_t t = 0, f = 0;
    while (f < format.size())
    {
        if (upperStartsWith(format, f, "YYYY"))
        {
            if (!readDigits(text, t, 4, year))
                return false;
            f += 4;
        }
        else if (upperStartsWith(format, f, "MM"))
        {
            if (!readDigits(text, t, 2, month))
                return false;
            f += 2;
        }
        else if (upperStartsWith(format, f, "DD"))
        {
            if (!readDigits(text, t, 2, day))
                return false;
            f += 2;
        }
        else
        {
            if (t >= text.size() || text[t] != format[f])
                return false;
            ++t;
            ++f;
        }
    }
    if (t != text.size() || year < 0 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    result = year * 10000L + month * 100L + day;
    return true;
}

void toDate(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
    {
        sqlite3_result_null(context);
        return;
    }
    const std::string text(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    const std::string format(reinterpret_cast<const char*>(sqlite3_value_text(argv[1])));
    long result = 0;
    if (!parseDate(text, format, result))
    {
        const std::string message = "TO_DATE: '" + text + "' does not match the format '" + format + "'";
        sqlite3_result_error(context, message.c_str(), -1);
        return;
    }
    sqlite3_result_int64(context, result);
}

} // namespace

extern "C"
#ifdef _WIN32
    __declspec(dllexport)
#endif
        int sqlite3_extension_init(sqlite3* db, char**, const sqlite3_api_routines* api)
{
    SQLITE_EXTENSION_INIT2(api);
    return sqlite3_create_function(db, "to_date", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                   nullptr, toDate, nullptr, nullptr);
}
