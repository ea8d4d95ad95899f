#pragma once

#include <optional>
#include <string>
#include <vector>

#include "odbc/AdoConnectionString.h"

// What this layer does differently for one ODBC driver, all in one place:
// what a data source's definition (odbc.ini, odbcinst.ini, as ODBCINI and
// ODBCSYSINI select them) asks of the connection string before the log-in,
// and what the driver can do, learned once per log-in.
struct OdbcDriverProfile
{
    // The driver reads any column in any order with SQLGetData, bound ones
    // too (SQL_GD_ANY_COLUMN, SQL_GD_ANY_ORDER, SQL_GD_BOUND): values are read
    // on demand and columns bound.
    bool readsAnyColumn = false;
    // psqlODBC states the number of rows of a SELECT after executing it,
    // unless it fetches through a cursor (UseDeclareFetch), where it answers
    // -1. Other drivers answer -1 or, like the SQLite driver, a meaningless 0.
    bool statesRowCount = false;
    // A log-in worth keeping for the next connection: not one on a SQLite
    // file (opening it costs nothing, and a test may replace the file).
    bool keepsLogIn = false;

    // The profile of the driver of connection dbc (an SQLHDBC).
    static OdbcDriverProfile Learn(void* dbc);

    // The value of key in the definition of data source dsn; nullopt when the
    // definition does not set it (or there is no such data source).
    static std::optional<std::string> Attribute(const std::string& dsn, const std::string& key);

    // The driver library of data source dsn: its Driver entry when that is a
    // path, else the library registered under that driver name; "" when unknown.
    static std::string DriverLibrary(const std::string& dsn);

    // Rows psqlODBC reads per round trip when the connection asks it to fetch
    // through a cursor.
    static constexpr int kDeclareFetchRows = 5000;

    // Connection string keys to add for data source dsn, each as ";key=value".
    // A data source on the SQLite ODBC driver that does not say otherwise gets
    // StepAPI=1: without it the driver loads a whole result into memory before
    // the first row is read. For the same reason one on psqlODBC gets
    // UseDeclareFetch=1 with Fetch=kDeclareFetchRows (rows come through a server
    // cursor, a block at a time). The flags: the connection string decides.
    static std::string ExtraKeys(const std::string& dsn, bool stringSetsStepApi,
                                 bool stringSetsDeclareFetch = false, bool stringSetsFetchSize = false);

    // Why a connection string cannot go to data source dsn's driver, "" when
    // it can: the SQLite ODBC driver splits at every ";", braces or not, so a
    // value holding one could name keys of its own.
    static std::string Refusal(const std::string& dsn, bool valueHoldsSemicolon);

    // The connection string of the SQLite ODBC driver (`driver`: a registered
    // name or the library's path) on the file the parts name. The driver
    // knows no braces, so values go as they are ("\" in the path taken as
    // "/") and one holding ";" is refused. NoCreat=1 (a missing file fails
    // instead of becoming a new empty database) and StepAPI=1 (rows are
    // stepped, not loaded whole; the driver then describes computed columns
    // as text) unless the parts set them. False with the error when refused.
    static bool SqliteFileString(const std::vector<ConnectionStringPart>& parts, const std::string& driver,
                                 bool valueHoldsSemicolon, std::string& odbc, std::string& error);
    // The driver for SQLite files: the installed libsqlite3odbc.so when found
    // in the usual library folders, else the driver name "SQLite3".
    static std::string SqliteDriver();
};
