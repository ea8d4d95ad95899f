#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"
#include "OdbcTestEnv.h"
#include "odbc/OdbcConnection.h"

struct sqlite3;

// A database the integration tests run against through unixODBC (the SQLite
// ODBC driver on a file made here, or psqlODBC on the test server): how to
// reach it with the system's own connection string, and how to prepare its
// tables (outside the read-only connection under test).
class DataAccessBackend
{
public:
    explicit DataAccessBackend(bool postgres) : pg_(postgres) {}
    ~DataAccessBackend();
    std::string Name() const { return pg_ ? "PostgreSQL" : "SQLite"; }
    // The database type whose connection string reaches this backend.
    int Type() const { return pg_ ? DatabaseType::Postgres : DatabaseType::SQLite; }
    // False (with why) when the backend cannot be reached.
    bool Prepare(std::string& why);
    void Exec(const std::string& sql);
    // A table name private to this test process (lower case).
    std::string Table(const std::string& base) const
    {
        return "da_" + base + "_" + std::to_string(::getpid());
    }

    // The connection string built by the system for Type(); of a data source
    // whose driver cannot state row counts; of one that leaves how rows are
    // fetched to the connection layer.
    XString ConnectionString(ODBCDataAccess& da) { return Build(da, "TsisPostgres"); }
    XString UncountedConnectionString(ODBCDataAccess& da) { return Build(da, "TsisPostgresCursor"); }
    XString DefaultFetchConnectionString(ODBCDataAccess& da) { return Build(da, "TsisPostgresDefault"); }

    std::string BinaryType() const { return pg_ ? "BYTEA" : "BLOB"; }
    std::string BinaryLiteral() const { return pg_ ? "'\\x0001ff41'::bytea" : "X'0001FF41'"; } // 00 01 FF 41
    std::string BoolLiteral(bool value) const
    {
        return pg_ ? (value ? "TRUE" : "FALSE") : (value ? "1" : "0");
    }
    // An SQL expression for the character with this code.
    std::string Char(int code) const { return (pg_ ? "chr(" : "char(") + std::to_string(code) + ")"; }
    // The catalogue view that stands in for Oracle's, upper-case names.
    void CreateOracleCatalogueView();
    // An INSERT of rows 1..n into table (id INTEGER, name VARCHAR(250)): the id, and a name of 200 to 250
    // characters.
    std::string InsertNumberedRows(const std::string& table, int n) const;

private:
    XString Build(ODBCDataAccess& da, const char* dsn);

    bool pg_;
    std::string path_; // SQLite
    sqlite3* db_ = nullptr;
    std::string user_, password_; // PostgreSQL
    OdbcConnection admin_;
};

// Why the PostgreSQL test server cannot be reached through `c` with this string ("" when it can).
std::string OpenPostgres(OdbcConnection& c, const std::string& connectionString);
// Opens `c`, or skips the test (fails it under CI) when the PostgreSQL test server cannot be reached.
#define TSIS_OPEN_POSTGRES_OR_SKIP(c, connectionString)                                                      \
    if (const std::string why = OpenPostgres(c, connectionString); !why.empty())                             \
    {                                                                                                        \
        if (odbctest::RunningInCi())                                                                         \
            FAIL() << "the PostgreSQL test server is required under CI: " << why;                            \
        GTEST_SKIP() << "no PostgreSQL test server (start it with scripts/start-postgres.sh): " << why;      \
    }

// The text of the first value of a query whose column is named "v", read
// through the layer under test.
inline std::string FirstValue(ODBCDataAccess& da, const std::string& sql)
{
    EXPECT_EQ(da.RunQuery(sql.c_str()), 0) << sql;
    EXPECT_TRUE(da.GetFirstRecord()) << sql;
    ODBCField field(nullptr, "v", 0);
    const std::string text = da.GetValueText(&field).Text();
    da.CloseQuery();
    return text;
}

struct BackendParam
{
    const char* name;
    bool postgres;
};
void PrintTo(const BackendParam& p, std::ostream* os);
#define TSIS_BACKENDS                                                                                        \
    ::testing::Values(BackendParam{"SQLite", false}, BackendParam{"PostgreSQL", true}),                      \
        [](const ::testing::TestParamInfo<BackendParam>& info) { return std::string(info.param.name); }

// The shared fixture: a prepared backend (skipped, or failed under CI, when
// it cannot be reached), a data access object of its type with its log, and
// the tables and views made here, dropped at the end.
class BackendTest : public ::testing::TestWithParam<BackendParam>
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs a statement whose failure does not matter (dropping what may not exist).
    void ExecQuietly(const std::string& sql);
    std::string NewTable(const std::string& base, const std::string& columns);
    std::string NewView(const std::string& base, const std::string& select);
    // Ids 1 to n, written in that order, named "row".
    std::string Rows(int n);
    void Connect() { da->Connect(backend->ConnectionString(*da)); }

    std::unique_ptr<DataAccessBackend> backend;
    std::unique_ptr<ODBCDataAccess> da;
    std::unique_ptr<DataAccessTestLog> log;
    std::vector<std::string> created, views;
};
