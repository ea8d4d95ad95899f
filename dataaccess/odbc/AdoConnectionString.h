#pragma once

#include <string>
#include <vector>

// One part of a connection string: "key=value", or a bare word.
struct ConnectionStringPart
{
    std::string key; // as written, trimmed
    std::string value;
    bool bare = false;   // a part without "="
    bool braced = false; // the value was written in ODBC's braces
};

// ADO syntax: parts separated by ";", "key=value", a value may be enclosed in
// double or single quotes or in ODBC's braces ("}}" a "}"), and then hold ";";
// "==" in a key is a "=".
std::vector<ConnectionStringPart> ParseConnectionString(const std::string& s);

// Turns an ADO connection string into the ODBC connection string unixODBC's
// SQLDriverConnect understands. Pure text work: nothing is opened.
//
// - No provider or "Provider=MSDASQL": an ODBC data source. "Data Source" is
//   the DSN, "User ID"/"User Id" the UID, "Password" the PWD, "Database" and
//   "Initial Catalog" the DATABASE; ODBC keys (DSN, UID, PWD, Driver, ...)
//   and unknown keys pass unchanged; ADO-only keys are dropped. A user or
//   password key with an empty value is dropped too: an empty login would
//   override the one the data source definition stores (psqlODBC then logs
//   in as the operating system's user).
// - A provider whose name contains "SQLite", or a string that names only a
//   "Database" (no DSN, Data Source or Driver): the SQLite ODBC driver on
//   that file (OdbcDriverProfile::SqliteFileString).
// - "Provider=SQLOLEDB"/"SQLNCLI..." with an explicit "DSN": that DSN.
// - Any other provider (Jet, VFPOLEDB, OraOLEDB, MSDAORA, Sybase ASE,
//   DB2OLEDB, ...): not available; the error names the provider only.
struct AdoConnectionStringTranslation
{
    bool ok = false;
    std::string odbc;         // the ODBC connection string when ok
    std::string error;        // why not, when !ok (never holds the input text)
    std::string dsn;          // the data source named (DSN), "" when none
    bool setsStepApi = false; // the string itself says whether to step
    // The string itself says whether psqlODBC fetches through a cursor, and how many rows at a time.
    bool setsDeclareFetch = false;
    std::string declareFetch; // its value, when it does
    bool setsFetchSize = false;
    // Some value holds ";": braced for drivers that read braces, but the
    // SQLite ODBC driver reads none (refused here for a file, by the
    // connection for a data source on that driver).
    bool valueHoldsSemicolon = false;
};

// sqliteDriver: what goes after "Driver=" for SQLite files: a registered
// driver name or the driver library's path.
AdoConnectionStringTranslation TranslateAdoConnectionString(const std::string& adoConnectionString,
                                                            const std::string& sqliteDriver = "SQLite3");

// The same, with a user and a password that replace those of the string
// when they are not empty (ADO's Open with user and password arguments).
AdoConnectionStringTranslation TranslateAdoConnectionString(const std::string& adoConnectionString,
                                                            const std::string& sqliteDriver,
                                                            const std::string& user,
                                                            const std::string& password);
