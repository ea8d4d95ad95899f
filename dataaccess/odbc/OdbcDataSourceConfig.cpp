#include "odbc/OdbcDataSourceConfig.h"

#include "platform/OdbcHeaders.h"

#include <odbcinst.h>
// The 8-bit call on every system: Windows' headers otherwise name the wide one.
#undef SQLGetPrivateProfileString

#include <string>
#include <vector>

namespace OdbcDataSourceConfig
{
namespace
{
// Returned for an entry that is not there; no real value looks like it.
const char* const kUnset = "\x01\x02unset";

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

std::optional<std::string> Attribute(const std::string& dsn, const std::string& key)
{
    if (dsn.empty())
        return std::nullopt;
    return Entry(dsn, key, "odbc.ini");
}

std::string DriverLibrary(const std::string& dsn)
{
    const std::optional<std::string> driver = Attribute(dsn, "Driver");
    if (!driver || driver->empty())
        return "";
    if (driver->find('/') != std::string::npos)
        return *driver;
    return Entry(*driver, "Driver", "odbcinst.ini").value_or("");
}

std::string ExtraKeys(const std::string& dsn, bool stringSetsStepApi, bool stringSetsDeclareFetch,
                      bool stringSetsFetchSize)
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
} // namespace OdbcDataSourceConfig
