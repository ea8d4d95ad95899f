#pragma once

#include <string>

// ODBC configuration for tests: driver and data source definitions written
// into the build tree and selected through unixODBC's ODBCSYSINI/ODBCINI, so
// no test touches /etc or $HOME.
//
// Data sources defined:
//   TsisSqlite          SQLite3 driver on SqliteDsnDatabase()
//   TsisPostgres        psqlODBC (Unicode) on the test server, result sets
//                       read whole by the driver (it then knows their size)
//   TsisPostgresCursor  the same through a server cursor (UseDeclareFetch=1):
//                       the driver cannot state the size of a result
namespace odbctest
{

struct PostgresParams
{
    std::string host;     // TSIS_PG_HOST
    std::string port;     // TSIS_PG_PORT
    std::string user;     // TSIS_PG_USER
    std::string database; // TSIS_PG_DB
    std::string password; // TSIS_PG_PASSWORD (may be empty)
};

// Writes odbcinst.ini and odbc.ini into <build>/odbc-test (once per process;
// atomically, so parallel test processes never read a half-written file) and
// points ODBCSYSINI and ODBCINI at them. Call before the first ODBC call.
// Returns the folder.
std::string SetUpOdbcTestEnv();

// The folder SetUpOdbcTestEnv() writes to.
std::string OdbcTestFolder();
// Path of the SQLite database behind the TsisSqlite data source.
std::string SqliteDsnDatabase();

// The installed driver libraries, found under the usual library folders
// ("" when missing).
std::string SqliteDriverPath();
std::string PostgresDriverPath();

// An environment variable, or the fallback when it is unset or empty.
std::string Env(const char* name, const char* fallback = "");

PostgresParams PostgresFromEnvironment();

// True when running under CI (CI=true): missing services are failures there.
bool RunningInCi();

} // namespace odbctest
