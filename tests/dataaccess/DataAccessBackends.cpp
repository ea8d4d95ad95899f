#include "DataAccessBackends.h"

#include <filesystem>
#include <sqlite3.h>
#include <stdexcept>

#include "OdbcTestEnv.h"
#include "odbc/OdbcDiagnostics.h"
#include "odbc/OdbcResult.h"

DataAccessBackend::~DataAccessBackend()
{
    if (db_)
        sqlite3_close(db_);
    std::error_code ec;
    if (!path_.empty())
        std::filesystem::remove(path_, ec);
}

bool DataAccessBackend::Prepare(std::string& why)
{
    if ((pg_ ? odbctest::PostgresDriverPath() : odbctest::SqliteDriverPath()).empty())
    {
        why = pg_ ? "psqlODBC is not installed" : "the SQLite ODBC driver is not installed";
        return false;
    }
    if (pg_)
    {
        const odbctest::PostgresParams pg = odbctest::PostgresFromEnvironment();
        user_ = pg.user;
        password_ = pg.password;
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

void DataAccessBackend::Exec(const std::string& sql)
{
    if (pg_)
    {
        OdbcResult rs;
        rs.Open(Utf8ToUtf16(sql), admin_);
        return;
    }
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
    {
        std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(sql + ": " + message);
    }
}

XString DataAccessBackend::Build(ODBCDataAccess& da, const char* dsn)
{
    int type = da.DatabaseType();
    da.SetDatabaseType(Type());
    XString cs =
        pg_ ? da.BuildConnectionString(dsn, user_.c_str(), password_.empty() ? nullptr : password_.c_str())
            : da.BuildConnectionString(path_.c_str(), nullptr, nullptr);
    da.SetDatabaseType(type);
    return cs;
}

std::string DataAccessBackend::InsertNumberedRows(const std::string& table, int n) const
{
    const std::string to = std::to_string(n);
    return pg_ ? "INSERT INTO " + table + " SELECT x, repeat('n', 200) || x FROM generate_series(1, " + to +
                     ") x"
               : "INSERT INTO " + table +
                     " SELECT x, printf('%0200d', 0) || x FROM (WITH RECURSIVE c(x) AS " +
                     "(SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < " + to + ") SELECT x FROM c)";
}

void DataAccessBackend::CreateOracleCatalogueView()
{
    if (!pg_)
    {
        Exec("CREATE VIEW IF NOT EXISTS all_tab_columns AS SELECT upper(m.name) AS table_name, upper(p.name) "
             "AS column_name FROM sqlite_master m, pragma_table_info(m.name) p WHERE m.type = 'table'");
        return;
    }
    // Test processes run side by side; one of them replaces the view at a time.
    Exec("SELECT pg_advisory_lock(770501)");
    try
    {
        Exec("CREATE OR REPLACE VIEW all_tab_columns AS SELECT upper(table_name::text) AS table_name, "
             "upper(column_name::text) AS column_name FROM information_schema.columns WHERE table_schema "
             "= 'public'");
    }
    catch (...)
    {
        Exec("SELECT pg_advisory_unlock(770501)");
        throw;
    }
    Exec("SELECT pg_advisory_unlock(770501)");
}

std::string OpenPostgres(OdbcConnection& c, const std::string& connectionString)
{
    try
    {
        c.Open(connectionString);
        return "";
    }
    catch (const AdoComError& e)
    {
        return e.Description().empty() ? "?" : e.Description();
    }
}

void PrintTo(const BackendParam& p, std::ostream* os)
{
    *os << p.name;
}

void BackendTest::SetUp()
{
    backend = std::make_unique<DataAccessBackend>(GetParam().postgres);
    std::string why;
    if (!backend->Prepare(why))
    {
        if (odbctest::RunningInCi())
            FAIL() << backend->Name() << ": " << why;
        GTEST_SKIP() << backend->Name() << ": " << why;
    }
    da = std::make_unique<ODBCDataAccess>(0, backend->Type());
    log = std::make_unique<DataAccessTestLog>(*da);
}

void BackendTest::TearDown()
{
    // The connection under test may hold locks on the tables (a server cursor's transaction).
    log.reset();
    da.reset();
    if (!backend)
        return;
    for (const std::string& v : views)
        ExecQuietly("DROP VIEW " + v);
    for (const std::string& t : created)
        ExecQuietly("DROP TABLE " + t);
}

void BackendTest::ExecQuietly(const std::string& sql)
{
    try
    {
        backend->Exec(sql);
    }
    catch (...)
    {
    }
}

std::string BackendTest::NewTable(const std::string& base, const std::string& columns)
{
    std::string name = backend->Table(base);
    ExecQuietly("DROP TABLE " + name);
    backend->Exec("CREATE TABLE " + name + " (" + columns + ")");
    created.push_back(name);
    return name;
}

std::string BackendTest::NewView(const std::string& base, const std::string& select)
{
    std::string name = backend->Table(base);
    backend->Exec("CREATE VIEW " + name + " AS " + select);
    views.push_back(name);
    return name;
}

std::string BackendTest::Rows(int n)
{
    std::string t = NewTable("rows", "id INTEGER, name VARCHAR(20)");
    std::string values;
    for (int i = 1; i <= n; ++i)
        values += (i > 1 ? ", (" : "(") + std::to_string(i) + ", 'row')";
    backend->Exec("INSERT INTO " + t + " VALUES " + values);
    return t;
}
