#pragma once

// The database types the data access layer knows. The number selects the
// connection string, the SQL dialect and the catalogue statements; the engine
// and the command line pass it around as a plain int.
namespace DatabaseType
{
enum : int
{
    Unset = 0,
    DBaseODBC = 1,
    DBaseXBase = 2,
    FoxProODBC = 3,
    FoxProDBF = 4,
    MSSQL = 5,
    MySQL = 6,
    SQLite = 7,
    DB2 = 8,
    Access = 9,
    Postgres = 10,
    OracleODBC = 11,
    OracleOLE = 12,
    OracleMSDAORA = 13,
    SybaseOLE = 14,
    SybaseODBC = 15,
    Progress = 16,
    Mimer = 17,
    Informix = 18,
    TopSpeed = 19,
    LotusNotes = 20,
    CADatacom = 21,
    Last = CADatacom
};

// Display name of a type; "" for 0 and for values outside 1..21.
const char* Name(int type);

inline bool IsOracle(int type)
{
    return type == OracleODBC || type == OracleOLE || type == OracleMSDAORA;
}
} // namespace DatabaseType
