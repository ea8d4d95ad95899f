#include <sqlite3.h>

#include <gtest/gtest.h>

#include "database.h"
#include "sqlerror.h"
#include "SqliteTestFile.h"

using namespace sqlite;

namespace {

template <typename E>
void ExpectClass(int code)
{
    try {
        CheckSqlResult(false, code, nullptr, "M", "msg", "detail");
        FAIL() << "no exception for " << code;
    } catch (const E &e) {
        EXPECT_EQ(e.Code(), code);
    } catch (...) {
        FAIL() << "wrong class for " << code;
    }
}

} // namespace

TEST(CheckSqlResult, ClassFollowsPrimaryResultCode)
{
    ExpectClass<PermError>(SQLITE_PERM);
    ExpectClass<AbortError>(SQLITE_ABORT);
    ExpectClass<BusyError>(SQLITE_BUSY);
    ExpectClass<IOError>(SQLITE_IOERR);
    ExpectClass<DataTypeMismatchError>(SQLITE_MISMATCH);
    // Extended codes choose by their low byte and keep the full code.
    ExpectClass<IOError>(SQLITE_IOERR_READ);
    ExpectClass<BusyError>(SQLITE_BUSY_SNAPSHOT);
    ExpectClass<AbortError>(SQLITE_ABORT_ROLLBACK);
}

TEST(CheckSqlResult, OtherCodesArePlainSqlError)
{
    for (int code : {SQLITE_ERROR, SQLITE_CONSTRAINT, SQLITE_CONSTRAINT_PRIMARYKEY, SQLITE_DONE,
                     SQLITE_READONLY, SQLITE_LOCKED}) {
        try {
            CheckSqlResult(false, code, nullptr, "M", "msg");
            FAIL() << "no exception for " << code;
        } catch (const SqlError &e) {
            EXPECT_EQ(dynamic_cast<const PermError *>(&e), nullptr);
            EXPECT_EQ(dynamic_cast<const AbortError *>(&e), nullptr);
            EXPECT_EQ(dynamic_cast<const BusyError *>(&e), nullptr);
            EXPECT_EQ(dynamic_cast<const IOError *>(&e), nullptr);
            EXPECT_EQ(dynamic_cast<const DataTypeMismatchError *>(&e), nullptr);
            EXPECT_EQ(e.Code(), code);
        }
    }
}

TEST(CheckSqlResult, SuccessThrowsNothing)
{
    EXPECT_NO_THROW(CheckSqlResult(true, SQLITE_BUSY, nullptr, "M", "msg"));
}

TEST(CheckSqlResult, TextNamesConnectionMessageMessageAndMethod)
{
    try {
        CheckSqlResult(false, SQLITE_ERROR, nullptr, "sqlite::Query::Step", "failed", "SELECT 1");
        FAIL();
    } catch (const SqlError &e) {
        EXPECT_STREQ(e.what(), "Sql Error:  (failed) (sqlite::Query::Step)");
        EXPECT_EQ(e.DatabaseMessage(), "");
        EXPECT_EQ(e.OperationMessage(), "failed");
        EXPECT_EQ(e.SqlText(), "SELECT 1");
        EXPECT_STREQ(e.Detail(), "SELECT 1");
    }

    Database db;
    db.Open(FreshDatabasePath().c_str());
    sqlite3_exec(db.Handle(), "SELECT * FROM missing", nullptr, nullptr, nullptr);
    try {
        CheckSqlResult(false, SQLITE_ERROR, db.Handle(), "Where::Method", "what");
        FAIL();
    } catch (const SqlError &e) {
        EXPECT_STREQ(e.what(), "Sql Error: no such table: missing (what) (Where::Method)");
        EXPECT_EQ(e.DatabaseMessage(), "no such table: missing");
    }
}

TEST(CheckSqlResult, IsAnXException)
{
    try {
        CheckSqlResult(false, SQLITE_BUSY, nullptr, "M", "msg");
    } catch (const XException &e) {
        EXPECT_EQ(e.Code(), SQLITE_BUSY);
        return;
    }
    FAIL();
}
