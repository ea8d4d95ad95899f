#include "DataAccessBackends.h"

#include <filesystem>
#include <sqlite3.h>
#include <stdexcept>
#include <unistd.h>

#include "DatabaseType.h"
#include "OdbcTestEnv.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcDiagnostics.h"
#include "odbc/OdbcResult.h"
#include "gtest/gtest.h"

std::string DataAccessBackend::Table(const std::string& base) const
{
    return "da_" + base + "_" + std::to_string(::getpid());
}

namespace
{
class SqliteBackend : public DataAccessBackend
{
public:
    ~SqliteBackend() override
    {
        if (db_)
            sqlite3_close(db_);
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    std::string Name() const override { return "SQLite"; }
    int Type() const override { return DatabaseType::SQLite; }
    bool Prepare(std::string& why) override
    {
        odbctest::SetUpOdbcTestEnv();
        if (odbctest::SqliteDriverPath().empty())
        {
            why = "the SQLite ODBC driver is not installed";
            return false;
        }
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string test = info ? info->name() : "test";
        for (char& c : test)
            if (c == '/')
                c = '_';
        path_ = odbctest::OdbcTestFolder() + "/da_" + test + "_" + std::to_string(::getpid()) + ".sqlite";
        std::filesystem::remove(path_);
        if (sqlite3_open(path_.c_str(), &db_) != SQLITE_OK)
        {
            why = "cannot create " + path_;
            return false;
        }
        return true;
    }
    void Exec(const std::string& sql) override
    {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
        {
            std::string message = error ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error(sql + ": " + message);
        }
    }
    XString ConnectionString(ODBCDataAccess& da) override
    {
        int type = da.DatabaseType();
        da.SetDatabaseType(DatabaseType::SQLite);
        XString cs = da.BuildConnectionString(path_.c_str(), nullptr, nullptr);
        da.SetDatabaseType(type);
        return cs;
    }
    std::string InsertNumberedRows(const std::string& table, int n) const override
    {
        return "INSERT INTO " + table + " SELECT x, printf('%0200d', 0) || x FROM (WITH RECURSIVE c(x) AS " +
               "(SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < " + std::to_string(n) +
               ") SELECT x FROM c)";
    }
    std::string BinaryType() const override { return "BLOB"; }
    std::string BinaryLiteral() const override { return "X'0001FF41'"; }
    std::string BoolLiteral(bool value) const override { return value ? "1" : "0"; }
    std::string Char(int code) const override { return "char(" + std::to_string(code) + ")"; }
    void CreateOracleCatalogueView() override
    {
        Exec("CREATE VIEW IF NOT EXISTS all_tab_columns AS SELECT upper(m.name) AS table_name, upper(p.name) "
             "AS "
             "column_name FROM sqlite_master m, pragma_table_info(m.name) p WHERE m.type = 'table'");
    }

private:
    std::string path_;
    sqlite3* db_ = nullptr;
};

class PostgresBackend : public DataAccessBackend
{
public:
    std::string Name() const override { return "PostgreSQL"; }
    int Type() const override { return DatabaseType::Postgres; }
    bool Prepare(std::string& why) override
    {
        odbctest::SetUpOdbcTestEnv();
        if (odbctest::PostgresDriverPath().empty())
        {
            why = "psqlODBC is not installed";
            return false;
        }
        pg_ = odbctest::PostgresFromEnvironment();
        try
        {
            admin_.Open("DSN=TsisPostgres");
        }
        catch (const AdoComError& e)
        {
            why = "the PostgreSQL test server is not reachable (run scripts/start-postgres.sh): " +
                  e.Description();
            return false;
        }
        return true;
    }
    void Exec(const std::string& sql) override
    {
        OdbcResult rs;
        rs.Open(Utf8ToUtf16(sql), admin_);
    }
    XString ConnectionString(ODBCDataAccess& da) override { return Build(da, "TsisPostgres"); }
    XString UncountedConnectionString(ODBCDataAccess& da) override { return Build(da, "TsisPostgresCursor"); }
    XString DefaultFetchConnectionString(ODBCDataAccess& da) override
    {
        return Build(da, "TsisPostgresDefault");
    }
    std::string InsertNumberedRows(const std::string& table, int n) const override
    {
        return "INSERT INTO " + table + " SELECT x, repeat('n', 200) || x FROM generate_series(1, " +
               std::to_string(n) + ") x";
    }
    std::string BinaryType() const override { return "BYTEA"; }
    std::string BinaryLiteral() const override { return "'\\x0001ff41'::bytea"; }
    std::string BoolLiteral(bool value) const override { return value ? "TRUE" : "FALSE"; }
    std::string Char(int code) const override { return "chr(" + std::to_string(code) + ")"; }
    void CreateOracleCatalogueView() override
    {
        // Test processes run side by side; one of them replaces the view at a time.
        Exec("SELECT pg_advisory_lock(770501)");
        try
        {
            Exec("CREATE OR REPLACE VIEW all_tab_columns AS SELECT upper(table_name::text) AS table_name, "
                 "upper(column_name::text) AS column_name FROM information_schema.columns WHERE table_schema "
                 "= "
                 "'public'");
        }
        catch (...)
        {
            Exec("SELECT pg_advisory_unlock(770501)");
            throw;
        }
        Exec("SELECT pg_advisory_unlock(770501)");
    }

private:
    XString Build(ODBCDataAccess& da, const char* dsn)
    {
        int type = da.DatabaseType();
        da.SetDatabaseType(DatabaseType::Postgres);
        XString cs = da.BuildConnectionString(dsn, pg_.user.c_str(),
                                              pg_.password.empty() ? nullptr : pg_.password.c_str());
        da.SetDatabaseType(type);
        return cs;
    }

    odbctest::PostgresParams pg_;
    OdbcConnection admin_;
};
} // namespace

std::unique_ptr<DataAccessBackend> MakeSqliteBackend()
{
    return std::make_unique<SqliteBackend>();
}

std::unique_ptr<DataAccessBackend> MakePostgresBackend()
{
    return std::make_unique<PostgresBackend>();
}
