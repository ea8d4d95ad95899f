// The SQLite wrapper: its database, queries, statements and the errors they raise.
#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <typeinfo>

#include <gtest/gtest.h>

#include "database.h"
#include "query.h"
#include "sqlerror.h"
#include "statement.h"

using namespace sqlite;

namespace
{
// A fresh database path per test, under the build tree.
std::string FreshDatabasePath(const char* suffix = "")
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path dir = std::filesystem::path(TSIS_BINARY_DIR) / "sqlitewrapper-test";
    std::filesystem::create_directories(dir);
    const std::filesystem::path p =
        dir / (std::string(info->test_suite_name()) + "." + info->name() + suffix + ".db");
    std::filesystem::remove(p);
    return p.string();
}

// The SqlError the step throws; a failure, and an error with code -1, when it throws none.
template <typename Step> SqlError Thrown(Step step)
{
    try
    {
        step();
    }
    catch (const SqlError& e)
    {
        return e;
    }
    ADD_FAILURE() << "no SqlError";
    return SqlError(-1, "no error", "", "", "");
}

// A database on a fresh file holding the tables of `schema`.
class SqliteTest : public ::testing::Test
{
protected:
    explicit SqliteTest(const char* schema) : schema_(schema) {}
    void SetUp() override
    {
        db.Open(FreshDatabasePath().c_str());
        db.Execute(schema_);
    }
    // The column `name` of the statement's next row.
    std::string Next(Query& q, const char* name)
    {
        EXPECT_TRUE(q.Step()) << q.Sql().Std();
        return q.StringColumn(name).Std();
    }
    std::string First(const char* sql, const char* name)
    {
        Query q(db, sql);
        return Next(q, name);
    }
    Database db;

private:
    const char* schema_;
};

class QueryTest : public SqliteTest
{
protected:
    QueryTest()
        : SqliteTest("CREATE TABLE Att (StdKey VARCHAR(100), Code VARCHAR(10), N INTEGER, R REAL);"
                     "INSERT INTO Att VALUES ('S1', 'A', 12, 2.5);"
                     "INSERT INTO Att VALUES ('S2', NULL, NULL, NULL);"
                     "CREATE TABLE K (k PRIMARY KEY); INSERT INTO K VALUES (1)")
    {
    }
};

class StatementTest : public SqliteTest
{
protected:
    StatementTest()
        : SqliteTest("CREATE TABLE t (k INTEGER PRIMARY KEY, v); INSERT INTO t VALUES (1, 'a');"
                     "INSERT INTO t VALUES (2, NULL)")
    {
    }
    std::string Values()
    {
        return First("SELECT group_concat(k || '=' || ifnull(v, 'NULL'), ' ') AS all_ FROM t", "all_");
    }
};
} // namespace

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

// Every failure names its method, keeps the statement's text and leaves the
// database usable. The class each code raises is CheckSqlResult's test.
TEST(Database, FailuresCarryTheLibraryTextAndTheStatement)
{
    Database closed;
    const SqlError notOpen = Thrown([&] { closed.Execute("CREATE TABLE t (a)"); });
    EXPECT_STREQ(notOpen.what(), "Sql Error:  (db not open) (sqlite::Database::Execute)");
    EXPECT_EQ(notOpen.SqlText(), "CREATE TABLE t (a)");

    Database db;
    db.Open(FreshDatabasePath().c_str());
    db.Execute("CREATE TABLE t (k PRIMARY KEY); INSERT INTO t VALUES (1)");
    const SqlError e = Thrown([&] { db.Execute("INSERT INTO t VALUES (1)"); });
    // Extended result codes are on: the primary-key flavour of 19.
    EXPECT_EQ(e.Code(), SQLITE_CONSTRAINT_PRIMARYKEY);
    EXPECT_EQ(e.PrimaryCode(), SQLITE_CONSTRAINT);
    EXPECT_STREQ(e.what(), "Sql Error: UNIQUE constraint failed: t.k (UNIQUE constraint "
                           "failed: t.k) (sqlite::Database::Execute)");
    EXPECT_EQ(e.SqlText(), "INSERT INTO t VALUES (1)");
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
    const SqlError e = Thrown([&] { waiter.Execute("INSERT INTO t VALUES (2)"); });
    EXPECT_EQ(e.PrimaryCode(), SQLITE_BUSY);
    EXPECT_NE(std::string(e.what()).find("(sqlite::Database::Execute)"), std::string::npos);
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

TEST_F(QueryTest, StepsThroughRowsAndReadsColumnsByNameInAnyCase)
{
    Query q(db, "SELECT StdKey, Code, N, R FROM Att ORDER BY StdKey");
    EXPECT_EQ(Next(q, "stdkey"), "S1");
    EXPECT_EQ(q.StringColumn("CODE").Std(), "A");
    EXPECT_EQ(q.StringColumn("n").Std(), "12");
    EXPECT_EQ(q.StringColumn("R").Std(), "2.5");
    EXPECT_EQ(Next(q, "StdKey"), "S2");
    EXPECT_EQ(q.StringColumn("Code").Std(), ""); // NULL
    EXPECT_EQ(q.StringColumn("N").Std(), "");
    EXPECT_FALSE(q.Step());
    EXPECT_EQ(q.find_column("r"), 3);
    EXPECT_EQ(q.find_column("nothing"), -1);
    EXPECT_EQ(q.FindColumn("STDKEY"), 0);
}

// Each failure's full text, the method it names included.
TEST_F(QueryTest, FailuresNameTheirMethod)
{
    Query q(db);
    Query stepped(db, "SELECT StdKey FROM Att");
    ASSERT_TRUE(stepped.Step());
    Database closed;
    const struct
    {
        std::function<void()> step;
        const char* text;
    } cases[] = {
        {[&] { stepped.StringColumn("x"); },
         "Sql Error:  (Request for non-existent column \"x\") (sqlite::Query::FindColumn)"},
        {[&] { stepped.FindColumn("Code"); },
         "Sql Error:  (Request for non-existent column \"Code\") (sqlite::Query::FindColumn)"},
        {[&] { Query(closed, "SELECT 1"); }, "Sql Error:  (No database) (sqlite::QueryImp::prepare)"},
        {[&] { q.Prepare("SELECT * FROM Missing"); },
         "Sql Error: no such table: Missing (failed) (sqlite::QueryImp::prepare)"},
        {[&] { q.Step(); }, "Sql Error:  (No prepared statement) (sqlite::Query::Step)"},
        {[&] { q.Finalize(); }, "Sql Error:  (No prepared statement) (sqlite::Query::Finalize)"},
        {[&] { q.find_column("a"); }, "Sql Error:  (No prepared statement) (sqlite::Query::find_column)"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(Thrown(c.step).what(), c.text);
    EXPECT_EQ(Thrown([&] { q.Prepare("SELECT * FROM Missing"); }).SqlText(), "SELECT * FROM Missing");
    EXPECT_EQ(Query(db).Sql().Std(), "");
}

TEST_F(QueryTest, EmptyTextHasNoStatementToPrepare)
{
    Query q(db);
    for (const char* sql : {"", "   ", "-- only a comment"})
    {
        const SqlError e = Thrown([&] { q.Prepare(sql); });
        EXPECT_EQ(e.Code(), SQLITE_DONE) << sql;
        EXPECT_STREQ(e.what(), "Sql Error:  (no statement to prepare) (sqlite::Query::Prepare)");
    }
    EXPECT_EQ(Thrown([&] { q.PrepareFormat("%s", ""); }).Code(), SQLITE_DONE);
}

TEST_F(QueryTest, FailedStepKeepsStatementUntilFinalize)
{
    Query q(db, "INSERT INTO K VALUES (1)");
    const SqlError e = Thrown([&] { q.Step(); });
    EXPECT_EQ(e.PrimaryCode(), SQLITE_CONSTRAINT);
    EXPECT_STREQ(e.what(), "Sql Error: UNIQUE constraint failed: K.k (failed) (sqlite::Query::Step)");
    EXPECT_EQ(e.SqlText(), "INSERT INTO K VALUES (1)");
    // Finalizing reports the failed evaluation once more and forgets the statement.
    EXPECT_NE(std::string(Thrown([&] { q.Finalize(); }).what()).find("(sqlite::QueryImp::finalize)"),
              std::string::npos);
    EXPECT_NE(std::string(Thrown([&] { q.Finalize(); }).what()).find("No prepared statement"),
              std::string::npos);
    EXPECT_NO_THROW(db.Close());
}

TEST_F(QueryTest, PreparingAgainReplacesTheStatementEvenAfterAFailedStep)
{
    Query q(db, "INSERT INTO K VALUES (1)");
    EXPECT_THROW(q.Step(), SqlError);
    q.Prepare("INSERT INTO K VALUES (2)");
    EXPECT_FALSE(q.Step());
    q.Prepare("SELECT COUNT(*) AS n FROM K");
    EXPECT_EQ(Next(q, "n"), "2");
    q.PrepareFormat("SELECT Code FROM Att WHERE StdKey = %Q", "S1");
    EXPECT_EQ(q.Sql().Std(), "SELECT Code FROM Att WHERE StdKey = 'S1'");
    EXPECT_EQ(Next(q, "Code"), "A");
}

TEST_F(QueryTest, OnlyTheFirstStatementOfATextIsPrepared)
{
    Query q(db, "SELECT 1 AS a; DELETE FROM Att");
    EXPECT_EQ(Next(q, "a"), "1");
    EXPECT_FALSE(q.Step());
    q.Finalize();
    EXPECT_EQ(First("SELECT COUNT(*) AS n FROM Att", "n"), "2");
}

TEST_F(QueryTest, DestructorFinalizesSoTheDatabaseCanClose)
{
    {
        Query q(db, "SELECT StdKey FROM Att");
        ASSERT_TRUE(q.Step());
    }
    EXPECT_NO_THROW(db.Close());
}

TEST_F(StatementTest, RunsOnePreparedStatementWithNewValues)
{
    Statement find(db, "SELECT k, v FROM t WHERE k >= ? ORDER BY k");
    const XString one("1"), two("2"), three("3"), a("a"), b("b");
    const struct
    {
        const XString* from;
        int rows;
    } cases[] = {{&one, 2}, {&two, 1}, {&three, 0}};
    for (const auto& c : cases)
    {
        int rows = 0;
        for (bool more = find.Bind({c.from}).Step(); more; more = find.Step())
            ++rows;
        EXPECT_EQ(c.rows, rows) << c.from->Std();
    }
    ASSERT_TRUE(find.Bind({&one}).Step());
    EXPECT_EQ(1, find.Integer(0));
    EXPECT_TRUE(find.TextEquals(1, a));
    EXPECT_FALSE(find.TextEquals(1, b));
    ASSERT_TRUE(find.Step());
    EXPECT_FALSE(find.TextEquals(1, XString(""))); // NULL is no text
    find.Reset();

    Statement set(db, "UPDATE t SET v = ? WHERE k >= ?");
    EXPECT_EQ(2, set.Bind({&b}).Bind(2, 1).Run());
    EXPECT_EQ(0, set.Bind({&a}).Bind(2, 3).Run());
    EXPECT_EQ("1=b 2=b", Values());
}

TEST_F(StatementTest, FailuresNameTheMethodAndTheStatementStaysUsable)
{
    EXPECT_STREQ(Thrown([&] { Statement(db, "SELECT x FROM nowhere", "Cache"); }).what(),
                 "Sql Error: no such table: nowhere (failed) (Cache::Prepare)");
    Statement insert(db, "INSERT INTO t (k) VALUES (?)", "Cache");
    const XString one("1"), three("3");
    const SqlError e = Thrown([&] { insert.Bind({&one}).Run(); });
    EXPECT_STREQ(e.what(), "Sql Error: UNIQUE constraint failed: t.k (failed) (Cache::Run)");
    EXPECT_EQ(e.SqlText(), "INSERT INTO t (k) VALUES (?)");
    EXPECT_EQ(1, insert.Bind({&three}).Run());
}

TEST_F(StatementTest, ATransactionIsRolledBackUnlessCommitted)
{
    const struct
    {
        const char* name;
        bool commit;
        bool rollBack;
        const char* values;
    } cases[] = {
        {"committed", true, false, "1=a 2=NULL 3=NULL"},
        {"left", false, false, "1=a 2=NULL 3=NULL"},
        {"rolled back", false, true, "1=a 2=NULL 3=NULL"},
        {"committed again", true, false, "1=a 2=NULL 3=NULL 4=NULL"},
    };
    int k = 3;
    for (const auto& c : cases)
    {
        {
            Transaction transaction(db);
            EXPECT_TRUE(db.InTransaction()) << c.name;
            db.ExecuteFormat("INSERT INTO t (k) VALUES (%d)", c.commit ? k++ : 9);
            if (c.commit)
                transaction.Commit();
            if (c.rollBack)
                transaction.RollBack();
        }
        EXPECT_FALSE(db.InTransaction()) << c.name;
        EXPECT_EQ(c.values, Values()) << c.name;
    }
    // A commit that fails leaves the transaction to its rollback.
    db.Execute("CREATE TABLE c (p REFERENCES t(k) DEFERRABLE INITIALLY DEFERRED); PRAGMA foreign_keys = ON");
    Transaction transaction(db);
    db.Execute("INSERT INTO c VALUES (99)");
    EXPECT_THROW(transaction.Commit(), SqlError);
    EXPECT_TRUE(db.InTransaction());
    transaction.RollBack();
    EXPECT_FALSE(db.InTransaction());
}

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
