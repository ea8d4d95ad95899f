#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <typeinfo>

#include <gtest/gtest.h>

#include "SqliteTestFile.h"
#include "database.h"
#include "query.h"
#include "sqlerror.h"

using namespace sqlite;

TEST(Database, ExecuteRunsEveryStatementAndCountsTheLastOnesChanges)
{
    Database db;
    db.Open(FreshDatabasePath().c_str(), "");
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(db.Execute("CREATE TABLE t (a, b); INSERT INTO t VALUES (1, 'x');"
                         "INSERT INTO t VALUES (2, 'y'); INSERT INTO t VALUES (3, 'z');"),
              1);
    EXPECT_EQ(db.Execute("UPDATE t SET b = 'w' WHERE a >= 2"), 2);
    EXPECT_EQ(db.ExecuteFormat("DELETE FROM t WHERE a = %d OR b = %Q", 1, "w"), 3);
    db.ExecuteFormat("INSERT INTO t VALUES (4, %Q)", "O'Brien");
    Query q(db, "SELECT b FROM t");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.StringColumn("b"), "O'Brien");
}

// Every failure names its method, keeps the statement's text and leaves the database usable.
TEST(Database, FailuresCarryTheLibraryTextAndTheStatement)
{
    Database closed;
    const SqlError notOpen = Thrown([&] { closed.Execute("CREATE TABLE t (a)"); });
    EXPECT_STREQ(notOpen.what(), "Sql Error:  (db not open) (sqlite::Database::Execute)");
    EXPECT_EQ(notOpen.SqlText(), "CREATE TABLE t (a)");

    Database db;
    db.Open(FreshDatabasePath().c_str());
    db.Execute("CREATE TABLE t (k PRIMARY KEY); INSERT INTO t VALUES (1)");
    try
    {
        db.Execute("INSERT INTO t VALUES (1)");
        FAIL();
    }
    catch (const SqlError& e)
    {
        EXPECT_EQ(typeid(e), typeid(SqlError));
        // Extended result codes are on: the primary-key flavour of 19.
        EXPECT_EQ(e.Code(), SQLITE_CONSTRAINT_PRIMARYKEY);
        EXPECT_EQ(e.PrimaryCode(), SQLITE_CONSTRAINT);
        EXPECT_STREQ(e.what(), "Sql Error: UNIQUE constraint failed: t.k (UNIQUE constraint "
                               "failed: t.k) (sqlite::Database::Execute)");
        EXPECT_EQ(e.SqlText(), "INSERT INTO t VALUES (1)");
    }
    const SqlError syntax = Thrown([&] { db.Execute("SELEKT 1"); });
    EXPECT_EQ(syntax.OperationMessage(), "near \"SELEKT\": syntax error");
    EXPECT_EQ(syntax.Code(), SQLITE_ERROR);
    EXPECT_EQ(db.Execute("INSERT INTO t VALUES (2)"), 1);
}

TEST(Database, LockedFileGivesBusyError)
{
    const std::string path = FreshDatabasePath();
    Database holder, waiter;
    holder.Open(path.c_str());
    waiter.Open(path.c_str());
    holder.Execute("CREATE TABLE t (a); BEGIN EXCLUSIVE; INSERT INTO t VALUES (1)");
    // The 30-second production wait is shortened on this handle only.
    sqlite3_busy_timeout(waiter.Handle(), 50);
    try
    {
        waiter.Execute("INSERT INTO t VALUES (2)");
        FAIL();
    }
    catch (const BusyError& e)
    {
        EXPECT_EQ(e.PrimaryCode(), SQLITE_BUSY);
        EXPECT_NE(std::string(e.what()).find("(sqlite::Database::Execute)"), std::string::npos);
    }
    holder.Execute("COMMIT");
    EXPECT_EQ(waiter.Execute("INSERT INTO t VALUES (2)"), 1);
}

TEST(Database, OpenFailureNamesThePathAndLeavesDatabaseClosed)
{
    const std::string path =
        (std::filesystem::path(TSIS_BINARY_DIR) / "no-such-folder" / "sub" / "x.db").string();
    Database db;
    const SqlError e = Thrown([&] { db.Open(path.c_str()); });
    EXPECT_EQ(e.OperationMessage(), path);
    EXPECT_EQ(e.PrimaryCode(), SQLITE_CANTOPEN);
    EXPECT_NE(std::string(e.what()).find("(sqlite::Database::Open)"), std::string::npos);
    EXPECT_FALSE(db.IsOpen());
}

TEST(Database, ReadOnlyOpenRefusesWrites)
{
    const std::string path = FreshDatabasePath();
    {
        Database db;
        db.Open(path.c_str());
        db.Execute("CREATE TABLE t (a)");
    }
    Database db;
    db.Open(path.c_str(), nullptr, SQLITE_OPEN_READONLY);
    EXPECT_EQ(db.Flags(), SQLITE_OPEN_READONLY);
    EXPECT_EQ(Thrown([&] { db.Execute("INSERT INTO t VALUES (1)"); }).PrimaryCode(), SQLITE_READONLY);
}

TEST(Database, EmptyKeyOpensUnencryptedAndAnyOtherIsRefused)
{
    const std::string path = FreshDatabasePath();
    Database db;
    db.Open(path.c_str(), "");
    EXPECT_EQ(db.KeyLength(), 0);
    db.Execute("CREATE TABLE t (a); INSERT INTO t VALUES ('plain')");
    db.Close();
    // A plain SQLite file: readable without any key.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw, "SELECT a FROM t", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);

    const SqlError e = Thrown([&] { db.Open(FreshDatabasePath("-keyed").c_str(), "abc"); });
    EXPECT_EQ(e.OperationMessage(), "Unable to decrypt database.");
    EXPECT_STREQ(e.what(), "Sql Error:  (Unable to decrypt database.) (sqlite::Database::Open)");
    EXPECT_FALSE(db.IsOpen());
    // The key is the MD5 digest of the key text.
    ASSERT_EQ(db.KeyLength(), 16);
    const unsigned char md5abc[16] = {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                                      0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72};
    EXPECT_EQ(std::memcmp(db.Key(), md5abc, 16), 0);
}

TEST(Database, OpeningAnOpenDatabaseKeepsTheConnection)
{
    Database db;
    db.Open(FreshDatabasePath().c_str());
    sqlite3* first = db.Handle();
    ::testing::internal::CaptureStderr();
    db.Open(FreshDatabasePath("-other").c_str(), "abc");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(db.Handle(), first);
    // The open connection's key is not touched.
    EXPECT_EQ(db.KeyLength(), 0);
    EXPECT_NE(err.find("!db_"), std::string::npos);
    EXPECT_NE(err.find("libraries/sqlitewrapper/cpp/database"), std::string::npos);
}

TEST(Database, CloseWithUnfinalizedStatementFailsAndStaysOpen)
{
    Database db;
    db.Open(FreshDatabasePath().c_str());
    db.Execute("CREATE TABLE t (a)");
    Query q(db, "SELECT a FROM t");
    const SqlError e = Thrown([&] { db.Close(); });
    EXPECT_EQ(e.OperationMessage(), "failed");
    EXPECT_NE(std::string(e.what()).find("(sqlite::Database::Close)"), std::string::npos);
    EXPECT_TRUE(db.IsOpen());
    q.Finalize();
    db.Close();
    EXPECT_FALSE(db.IsOpen());
    EXPECT_NO_THROW(db.Close()); // closing a closed database does nothing
}

TEST(Database, PathsInWindows1252OpenTheUtf8File)
{
    // "Schüler" in Windows-1252; the file system names it in UTF-8.
    const std::string utf8 = FreshDatabasePath("-Sch\xc3\xbcler");
    const std::string ansi = FreshDatabasePath("-Sch\xfcler");
    Database db;
    db.Open(ansi.c_str());
    db.Execute("CREATE TABLE t (a)");
    db.Close();
    EXPECT_TRUE(std::filesystem::exists(std::u8string(utf8.begin(), utf8.end())));
    EXPECT_FALSE(std::filesystem::exists(std::u8string(ansi.begin(), ansi.end())));
    EXPECT_EQ(db.Path(), ansi);
}
