#include <sqlite3.h>

#include <string>

#include <gtest/gtest.h>

#include "database.h"
#include "query.h"
#include "sqlerror.h"
#include "SqliteTestFile.h"

using namespace sqlite;

namespace {

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.Open(FreshDatabasePath().c_str());
        db.Execute("CREATE TABLE Att (StdKey VARCHAR(100), Code VARCHAR(10), N INTEGER, R REAL);"
                   "INSERT INTO Att VALUES ('S1', 'A', 12, 2.5);"
                   "INSERT INTO Att VALUES ('S2', NULL, NULL, NULL);");
    }
    Database db;
};

std::string Text(const XString &s)
{
    return s.Std();
}

} // namespace

TEST_F(QueryTest, StepsThroughRowsAndReadsColumnsByNameInAnyCase)
{
    Query q(db, "SELECT StdKey, Code, N, R FROM Att ORDER BY StdKey");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(Text(q.StringColumn("stdkey")), "S1");
    EXPECT_EQ(Text(q.StringColumn("CODE")), "A");
    EXPECT_EQ(Text(q.StringColumn("n")), "12");
    EXPECT_EQ(Text(q.StringColumn("R")), "2.5");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(Text(q.StringColumn("StdKey")), "S2");
    EXPECT_EQ(Text(q.StringColumn("Code")), "");  // NULL
    EXPECT_EQ(Text(q.StringColumn("N")), "");
    EXPECT_FALSE(q.Step());
    EXPECT_EQ(q.find_column("r"), 3);
    EXPECT_EQ(q.find_column("nothing"), -1);
}

TEST_F(QueryTest, UnknownColumnNameIsQuotedInTheError)
{
    Query q(db, "SELECT StdKey FROM Att");
    ASSERT_TRUE(q.Step());
    try {
        q.StringColumn("x");
        FAIL();
    } catch (const SqlError &e) {
        EXPECT_STREQ(e.what(),
                     "Sql Error:  (Request for non-existent column \"x\") (sqlite::Query::FindColumn)");
    }
    EXPECT_THROW(q.FindColumn("Code"), SqlError);
    EXPECT_EQ(q.FindColumn("STDKEY"), 0);
}

TEST_F(QueryTest, EmptyTextHasNoStatementToPrepare)
{
    for (const char *sql : {"", "   ", "-- only a comment"}) {
        Query q(db);
        try {
            q.Prepare(sql);
            FAIL() << sql;
        } catch (const SqlError &e) {
            EXPECT_EQ(e.Code(), SQLITE_DONE);
            EXPECT_STREQ(e.what(), "Sql Error:  (no statement to prepare) (sqlite::Query::Prepare)");
        }
    }
    Query q(db);
    EXPECT_THROW(q.PrepareFormat("%s", ""), SqlError);
}

TEST_F(QueryTest, PrepareOnClosedDatabaseFailsWithNoDatabase)
{
    Database closed;
    try {
        Query q(closed, "SELECT 1");
        FAIL();
    } catch (const SqlError &e) {
        EXPECT_STREQ(e.what(), "Sql Error:  (No database) (sqlite::QueryImp::prepare)");
    }
}

TEST_F(QueryTest, PrepareErrorCarriesLibraryMessage)
{
    Query q(db);
    try {
        q.Prepare("SELECT * FROM Missing");
        FAIL();
    } catch (const SqlError &e) {
        EXPECT_STREQ(e.what(), "Sql Error: no such table: Missing (failed) (sqlite::QueryImp::prepare)");
        EXPECT_EQ(e.SqlText(), "SELECT * FROM Missing");
    }
}

TEST_F(QueryTest, WithoutStatementStepFinalizeAndColumnsFail)
{
    Query q(db);
    try {
        q.Step();
        FAIL();
    } catch (const SqlError &e) {
        EXPECT_STREQ(e.what(), "Sql Error:  (No prepared statement) (sqlite::Query::Step)");
    }
    try {
        q.Finalize();
        FAIL();
    } catch (const SqlError &e) {
        EXPECT_STREQ(e.what(), "Sql Error:  (No prepared statement) (sqlite::Query::Finalize)");
    }
    try {
        q.find_column("a");
        FAIL();
    } catch (const SqlError &e) {
        EXPECT_STREQ(e.what(), "Sql Error:  (No prepared statement) (sqlite::Query::find_column)");
    }
    EXPECT_EQ(Text(q.Sql()), "");
}

TEST_F(QueryTest, FailedStepKeepsStatementUntilFinalize)
{
    db.Execute("CREATE TABLE K (k PRIMARY KEY); INSERT INTO K VALUES (1)");
    Query q(db, "INSERT INTO K VALUES (1)");
    try {
        q.Step();
        FAIL();
    } catch (const SqlError &e) {
        EXPECT_EQ(e.PrimaryCode(), SQLITE_CONSTRAINT);
        EXPECT_STREQ(e.what(), "Sql Error: UNIQUE constraint failed: K.k (failed) (sqlite::Query::Step)");
        EXPECT_EQ(e.SqlText(), "INSERT INTO K VALUES (1)");
    }
    // Finalizing reports the failed evaluation once more and forgets the statement.
    try {
        q.Finalize();
        FAIL();
    } catch (const SqlError &e) {
        EXPECT_NE(std::string(e.what()).find("(sqlite::QueryImp::finalize)"), std::string::npos);
    }
    EXPECT_THROW(q.Finalize(), SqlError);  // "No prepared statement" now
    EXPECT_NO_THROW(db.Close());
}

TEST_F(QueryTest, PreparingAfterAFailedStepRunsTheNewStatement)
{
    db.Execute("CREATE TABLE K (k PRIMARY KEY); INSERT INTO K VALUES (1)");
    Query q(db, "INSERT INTO K VALUES (1)");
    EXPECT_THROW(q.Step(), SqlError);
    q.Prepare("INSERT INTO K VALUES (2)");
    EXPECT_FALSE(q.Step());
    q.Prepare("SELECT COUNT(*) AS n FROM K");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(Text(q.StringColumn("n")), "2");
}

TEST_F(QueryTest, PrepareFormatAndSqlText)
{
    Query q(db);
    q.PrepareFormat("SELECT Code FROM Att WHERE StdKey = %Q", "S1");
    EXPECT_EQ(Text(q.Sql()), "SELECT Code FROM Att WHERE StdKey = 'S1'");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(Text(q.StringColumn("Code")), "A");
    // Preparing again replaces the statement.
    q.Prepare("SELECT N FROM Att WHERE StdKey = 'S1'");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(Text(q.StringColumn("N")), "12");
}

TEST_F(QueryTest, OnlyTheFirstStatementOfATextIsPrepared)
{
    Query q(db, "SELECT 1 AS a; DELETE FROM Att");
    ASSERT_TRUE(q.Step());
    EXPECT_EQ(Text(q.StringColumn("a")), "1");
    EXPECT_FALSE(q.Step());
    q.Finalize();
    Query count(db, "SELECT COUNT(*) AS n FROM Att");
    ASSERT_TRUE(count.Step());
    EXPECT_EQ(Text(count.StringColumn("n")), "2");
}

TEST_F(QueryTest, DestructorFinalizesSoTheDatabaseCanClose)
{
    {
        Query q(db, "SELECT StdKey FROM Att");
        ASSERT_TRUE(q.Step());
    }
    EXPECT_NO_THROW(db.Close());
}
