#pragma once

#include <memory>
#include <string>

#include "ODBCDataAccess.h"

// A database the integration tests run against through unixODBC: how to
// reach it with the system's own connection string, and how to prepare its
// tables (outside the read-only connection under test).
class DataAccessBackend
{
public:
    virtual ~DataAccessBackend() = default;
    virtual std::string Name() const = 0;
    // The database type whose connection string reaches this backend.
    virtual int Type() const = 0;
    // False (with why) when the backend cannot be reached.
    virtual bool Prepare(std::string& why) = 0;
    virtual void Exec(const std::string& sql) = 0;
    // The connection string built by the system for Type().
    virtual XString ConnectionString(ODBCDataAccess& da) = 0;
    // A table name private to this test process (lower case).
    std::string Table(const std::string& base) const;

    // The column types of the value table.
    virtual std::string BinaryType() const = 0;
    virtual std::string BinaryLiteral() const = 0; // bytes 00 01 FF 41
    virtual std::string BoolLiteral(bool value) const = 0;
    // An SQL expression for the character with this code.
    virtual std::string Char(int code) const = 0;
    // The catalogue view that stands in for Oracle's, upper-case names.
    virtual void CreateOracleCatalogueView() = 0;
    // The connection string of a data source whose driver cannot state row counts.
    virtual XString UncountedConnectionString(ODBCDataAccess& da) { return ConnectionString(da); }
    // The connection string of a data source that leaves how rows are fetched to the connection layer.
    virtual XString DefaultFetchConnectionString(ODBCDataAccess& da) { return ConnectionString(da); }
    // An INSERT of rows 1..n into table (id INTEGER, name VARCHAR(250)): the id, and a name of 200 to 250
    // characters.
    virtual std::string InsertNumberedRows(const std::string& table, int n) const = 0;
};

std::unique_ptr<DataAccessBackend> MakeSqliteBackend();
std::unique_ptr<DataAccessBackend> MakePostgresBackend();
