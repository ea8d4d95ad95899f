#include "odbc/OdbcDriverProfile.h"

#include "platform/OdbcHeaders.h"

#include <odbcinst.h>
// The 8-bit call on every system: Windows' headers otherwise name the wide one.
#undef SQLGetPrivateProfileString

#include "odbc/OdbcDiagnostics.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
// Returned for an entry that is not there; no real value looks like it.
const char* const kUnset = "\x01\x02unset";
// The SQLite ODBC driver splits at every ";", braces or not.
const char* const kSemicolonRefused = "A value holding \";\" cannot be given to the SQLite ODBC driver.";

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::optional<std::string> Entry(const std::string& section, const std::string& key, const char* file)
{
    std::vector<char> buffer(4096, '\0');
    SQLGetPrivateProfileString(section.c_str(), key.c_str(), kUnset, buffer.data(),
                               static_cast<int>(buffer.size()), file);
    std::string value(buffer.data());
    if (value == kUnset)
        return std::nullopt;
    return value;
}
} // namespace

OdbcDriverProfile OdbcDriverProfile::Learn(void* handle)
{
    SQLHDBC dbc = static_cast<SQLHDBC>(handle);
    OdbcDriverProfile profile;
    SQLUINTEGER extensions = 0;
    const SQLUINTEGER needed = SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND;
    profile.readsAnyColumn =
        SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions, nullptr)) &&
        (extensions & needed) == needed;
    char16_t name[128] = {};
    SQLSMALLINT length = 0;
    std::string driver;
    if (SQL_SUCCEEDED(SQLGetInfoW(dbc, SQL_DRIVER_NAME, name, sizeof name, &length)))
        driver = Utf16ToUtf8(name);
    driver = Lower(driver);
    profile.statesRowCount = driver.find("psqlodbc") != std::string::npos;
    profile.keepsLogIn = !driver.empty() && driver.find("sqlite") == std::string::npos;
    return profile;
}

std::optional<std::string> OdbcDriverProfile::Attribute(const std::string& dsn, const std::string& key)
{
    if (dsn.empty())
        return std::nullopt;
    return Entry(dsn, key, "odbc.ini");
}

std::string OdbcDriverProfile::DriverLibrary(const std::string& dsn)
{
    const std::optional<std::string> driver = Attribute(dsn, "Driver");
    if (!driver || driver->empty())
        return "";
    if (driver->find('/') != std::string::npos)
        return *driver;
    return Entry(*driver, "Driver", "odbcinst.ini").value_or("");
}

std::string OdbcDriverProfile::ExtraKeys(const std::string& dsn, bool stringSetsStepApi,
                                         bool stringSetsDeclareFetch, bool stringSetsFetchSize)
{
    if (dsn.empty())
        return "";
    const std::string driver = DriverLibrary(dsn);
    if (driver.find("sqlite3odbc") != std::string::npos)
        return stringSetsStepApi || Attribute(dsn, "StepAPI") ? "" : ";StepAPI=1";
    if (driver.find("psqlodbc") == std::string::npos || stringSetsDeclareFetch ||
        Attribute(dsn, "UseDeclareFetch"))
        return "";
    std::string keys = ";UseDeclareFetch=1";
    if (!stringSetsFetchSize && !Attribute(dsn, "Fetch"))
        keys += ";Fetch=" + std::to_string(kDeclareFetchRows);
    return keys;
}

std::string OdbcDriverProfile::Refusal(const std::string& dsn, bool valueHoldsSemicolon)
{
    if (valueHoldsSemicolon && DriverLibrary(dsn).find("sqlite3odbc") != std::string::npos)
        return kSemicolonRefused;
    return "";
}

bool OdbcDriverProfile::SqliteFileString(const std::vector<ConnectionStringPart>& parts,
                                         const std::string& driver, bool valueHoldsSemicolon,
                                         std::string& odbc, std::string& error)
{
    if (valueHoldsSemicolon)
    {
        error = kSemicolonRefused;
        return false;
    }
    odbc = "Driver=" + driver;
    bool database = false, noCreat = false, stepApi = false;
    for (const ConnectionStringPart& p : parts)
    {
        const std::string k = Lower(p.key);
        if (k == "data source" || k == "database" || k == "initial catalog")
        {
            std::string file = p.value;
            std::replace(file.begin(), file.end(), '\\', '/');
            if (!database)
                odbc += ";Database=" + file;
            database = true;
        }
        else if (k != "driver" && k != "dsn" && k != "filedsn")
            odbc += ";" + p.key + "=" + p.value;
        noCreat = noCreat || k == "nocreat";
        stepApi = stepApi || k == "stepapi";
    }
    if (!database)
    {
        error = "No database file is named for the SQLite provider.";
        return false;
    }
    odbc += std::string(noCreat ? "" : ";NoCreat=1") + (stepApi ? "" : ";StepAPI=1");
    return true;
}

std::string OdbcDriverProfile::SqliteDriver()
{
    // The driver of this program's own word size first: a 32-bit program
    // (the 32-bit Windows build under Wine among them) cannot load a 64-bit one.
    static const char* const candidates[] = {
        sizeof(void*) == 4 ? "/usr/lib/i386-linux-gnu/odbc/libsqlite3odbc.so"
                           : "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so",
        "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so",
        "/usr/lib/odbc/libsqlite3odbc.so",
        "/usr/lib64/libsqlite3odbc.so",
        "/usr/lib/libsqlite3odbc.so",
        "/usr/local/lib/libsqlite3odbc.so",
    };
    std::error_code ec;
    for (const char* c : candidates)
        if (std::filesystem::exists(c, ec))
            return c;
    return "SQLite3";
}
