#include <sqlite3.h>

#include <typeinfo>

#include <gtest/gtest.h>

#include "SqliteTestFile.h"
#include "database.h"
#include "sqlerror.h"

using namespace sqlite;

// The class follows the primary code (the low byte); the full code is kept.
TEST(CheckSqlResult, ClassFollowsPrimaryResultCode)
{
    const struct
    {
        int code;
        const std::type_info& type;
    } cases[] = {
        {SQLITE_PERM, typeid(PermError)},
        {SQLITE_ABORT, typeid(AbortError)},
        {SQLITE_BUSY, typeid(BusyError)},
        {SQLITE_IOERR, typeid(IOError)},
        {SQLITE_MISMATCH, typeid(DataTypeMismatchError)},
        {SQLITE_IOERR_READ, typeid(IOError)},
        {SQLITE_BUSY_SNAPSHOT, typeid(BusyError)},
        {SQLITE_ABORT_ROLLBACK, typeid(AbortError)},
        {SQLITE_ERROR, typeid(SqlError)},
        {SQLITE_CONSTRAINT, typeid(SqlError)},
        {SQLITE_CONSTRAINT_PRIMARYKEY, typeid(SqlError)},
        {SQLITE_DONE, typeid(SqlError)},
        {SQLITE_READONLY, typeid(SqlError)},
        {SQLITE_LOCKED, typeid(SqlError)},
    };
    for (const auto& c : cases)
    {
        try
        {
            CheckSqlResult(false, c.code, nullptr, "M", "msg", "detail");
            ADD_FAILURE() << "no exception for " << c.code;
        }
        catch (const XException& e)
        {
            EXPECT_EQ(typeid(e), c.type) << c.code;
            EXPECT_EQ(e.Code(), c.code);
        }
    }
    EXPECT_NO_THROW(CheckSqlResult(true, SQLITE_BUSY, nullptr, "M", "msg"));
}

TEST(CheckSqlResult, TextNamesConnectionMessageMessageAndMethod)
{
    const SqlError e = Thrown(
        [] { CheckSqlResult(false, SQLITE_ERROR, nullptr, "sqlite::Query::Step", "failed", "SELECT 1"); });
    EXPECT_STREQ(e.what(), "Sql Error:  (failed) (sqlite::Query::Step)");
    EXPECT_EQ(e.DatabaseMessage(), "");
    EXPECT_EQ(e.OperationMessage(), "failed");
    EXPECT_EQ(e.SqlText(), "SELECT 1");
    EXPECT_STREQ(e.Detail(), "SELECT 1");

    Database db;
    db.Open(FreshDatabasePath().c_str());
    sqlite3_exec(db.Handle(), "SELECT * FROM missing", nullptr, nullptr, nullptr);
    const SqlError named =
        Thrown([&] { CheckSqlResult(false, SQLITE_ERROR, db.Handle(), "Where::Method", "what"); });
    EXPECT_STREQ(named.what(), "Sql Error: no such table: missing (what) (Where::Method)");
    EXPECT_EQ(named.DatabaseMessage(), "no such table: missing");
}
