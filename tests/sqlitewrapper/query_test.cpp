#include <sqlite3.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "SqliteTestFile.h"
#include "database.h"
#include "query.h"
#include "sqlerror.h"

using namespace sqlite;

namespace
{

class QueryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.Open(FreshDatabasePath().c_str());
        db.Execute("CREATE TABLE Att (StdKey VARCHAR(100), Code VARCHAR(10), N INTEGER, R REAL);"
                   "INSERT INTO Att VALUES ('S1', 'A', 12, 2.5);"
                   "INSERT INTO Att VALUES ('S2', NULL, NULL, NULL);"
                   "CREATE TABLE K (k PRIMARY KEY); INSERT INTO K VALUES (1)");
    }
    // The first row's column `name` of the statement.
    std::string First(Query& q, const char* name)
    {
        EXPECT_TRUE(q.Step()) << q.Sql().Std();
        return q.StringColumn(name).Std();
    }
    Database db;
};

} // namespace

TEST_F(QueryTest, StepsThroughRowsAndReadsColumnsByNameInAnyCase)
{
    Query q(db, "SELECT StdKey, Code, N, R FROM Att ORDER BY StdKey");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.StringColumn("stdkey").Std(), "S1");
    EXPECT_EQ(q.StringColumn("CODE").Std(), "A");
    EXPECT_EQ(q.StringColumn("n").Std(), "12");
    EXPECT_EQ(q.StringColumn("R").Std(), "2.5");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(q.StringColumn("StdKey").Std(), "S2");
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
    EXPECT_EQ(First(q, "n"), "2");
    q.PrepareFormat("SELECT Code FROM Att WHERE StdKey = %Q", "S1");
    EXPECT_EQ(q.Sql().Std(), "SELECT Code FROM Att WHERE StdKey = 'S1'");
    EXPECT_EQ(First(q, "Code"), "A");
}

TEST_F(QueryTest, OnlyTheFirstStatementOfATextIsPrepared)
{
    Query q(db, "SELECT 1 AS a; DELETE FROM Att");
    EXPECT_EQ(First(q, "a"), "1");
    EXPECT_FALSE(q.Step());
    q.Finalize();
    Query count(db, "SELECT COUNT(*) AS n FROM Att");
    EXPECT_EQ(First(count, "n"), "2");
}

TEST_F(QueryTest, DestructorFinalizesSoTheDatabaseCanClose)
{
    {
        Query q(db, "SELECT StdKey FROM Att");
        ASSERT_TRUE(q.Step());
    }
    EXPECT_NO_THROW(db.Close());
}
