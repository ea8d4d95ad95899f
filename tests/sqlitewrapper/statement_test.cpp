#include <gtest/gtest.h>

#include "SqliteTestFile.h"
#include "database.h"
#include "query.h"
#include "sqlerror.h"
#include "statement.h"

using namespace sqlite;

namespace
{

class StatementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.Open(FreshDatabasePath().c_str());
        db.Execute("CREATE TABLE t (k INTEGER PRIMARY KEY, v); INSERT INTO t VALUES (1, 'a'); INSERT INTO t "
                   "VALUES (2, NULL)");
    }
    std::string Values()
    {
        Query q(db, "SELECT group_concat(k || '=' || ifnull(v, 'NULL'), ' ') AS all_ FROM t");
        q.Step();
        return q.StringColumn("all_").Std();
    }
    Database db;
};

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

} // namespace
