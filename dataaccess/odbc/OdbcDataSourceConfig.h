#pragma once

#include <optional>
#include <string>

// What unixODBC's configuration (odbc.ini, odbcinst.ini, as ODBCINI and
// ODBCSYSINI select them) says about a data source.
namespace OdbcDataSourceConfig
{
// The value of key in the definition of data source dsn; nullopt when the
// definition does not set it (or there is no such data source).
std::optional<std::string> Attribute(const std::string& dsn, const std::string& key);

// The driver library of data source dsn: its Driver entry when that is a
// path, else the library registered under that driver name; "" when unknown.
std::string DriverLibrary(const std::string& dsn);

// Rows psqlODBC reads per round trip when the connection asks it to fetch
// through a cursor.
inline constexpr int kDeclareFetchRows = 5000;

// Connection string keys to add for data source dsn, each as ";key=value".
// A data source on the SQLite ODBC driver that does not say otherwise gets
// StepAPI=1: without it the driver loads a whole result into memory before
// the first row is read. For the same reason one on psqlODBC gets
// UseDeclareFetch=1 with Fetch=kDeclareFetchRows (rows come through a server
// cursor, a block at a time). The flags: the connection string decides.
std::string ExtraKeys(const std::string& dsn, bool stringSetsStepApi, bool stringSetsDeclareFetch = false,
                      bool stringSetsFetchSize = false);
} // namespace OdbcDataSourceConfig
