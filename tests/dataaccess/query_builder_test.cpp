#include <gtest/gtest.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"

namespace
{
// The query of the worked examples: two tables, a two-condition join group
// and a value condition, distinct, one order.
struct WorkedQuery
{
    explicit WorkedQuery(ODBCDataAccess& da)
    {
        da.SetDistinct(true);
        stu = da.AddTable("ST010", "stu");
        enroll = da.AddTable("CE020", "enroll");
        da.AddField(stu, "ID_NBR", true);
        lastName = da.AddField(stu, "LST_NME", true);
        da.AddCondition("AND", da.AddOperandField(stu, "ID_NBR"), "=", da.AddOperandField(enroll, "ID_NBR"),
                        1);
        da.AddCondition("AND", da.AddOperandField(stu, "DST_NBR"), "=", da.AddOperandField(enroll, "DST_NBR"),
                        0);
        da.AddCondition("AND", da.AddOperandField(enroll, "SCH_NBR"), "=", "'001'", 0);
        da.AddOrder(lastName, false);
    }
    ODBCTable* stu;
    ODBCTable* enroll;
    ODBCField* lastName;
};

std::string S(const XString& x)
{
    return x.Text();
}

// A plain query of T's column A under these conditions on T's columns.
struct Condition
{
    const char* conjunction;
    const char* field;
    const char* op;
    const char* value;
    int level;
};
std::string ConditionsOfT(ODBCDataAccess& da, std::initializer_list<Condition> conditions)
{
    da.ClearQuery();
    ODBCTable* t = da.AddTable("T", "t");
    da.AddField(t, "A", false);
    for (const Condition& c : conditions)
        da.AddCondition(c.conjunction, da.AddOperandField(t, c.field), c.op, c.value, c.level);
    return S(da.BuildQuery());
}
} // namespace

TEST(QueryBuilder, WorkedExamplePlainJoinMssql)
{
    ODBCDataAccess da(0, DatabaseType::MSSQL);
    WorkedQuery q(da);
    EXPECT_EQ(
        S(da.BuildQuery()),
        "SELECT DISTINCT stu.ID_NBR, stu.LST_NME FROM ST010 stu WITH (NOLOCK) , CE020 enroll WITH (NOLOCK)   "
        "WHERE (stu.ID_NBR = enroll.ID_NBR AND stu.DST_NBR = enroll.DST_NBR) AND enroll.SCH_NBR = '001' "
        "ORDER BY stu.LST_NME");
}

TEST(QueryBuilder, WorkedExamplePlainJoinOracleAndAccess)
{
    const char* expected =
        "SELECT DISTINCT stu.ID_NBR, stu.LST_NME FROM ST010 stu, CE020 enroll  WHERE (stu.ID_NBR "
        "= enroll.ID_NBR AND stu.DST_NBR = enroll.DST_NBR) AND enroll.SCH_NBR = '001' ORDER BY "
        "stu.LST_NME";
    ODBCDataAccess oracle(0, DatabaseType::OracleODBC);
    WorkedQuery q1(oracle);
    EXPECT_EQ(S(oracle.BuildQuery()), expected);

    ODBCDataAccess access(0, DatabaseType::Access);
    DataAccessTestLog log(access);
    WorkedQuery q2(access);
    EXPECT_EQ(S(access.BuildQuery()), expected);
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ(log.lines[0].level, 4);
    EXPECT_EQ(log.lines[0].message, "Joins may not work for this DB Type: Access");
    EXPECT_EQ(log.lines[0].method, "ODBCDataAccess::BuildQuery");
}

TEST(QueryBuilder, WorkedExampleAnsiJoinMssql)
{
    ODBCDataAccess da(0, DatabaseType::MSSQL);
    WorkedQuery q(da);
    EXPECT_EQ(
        S(da.BuildAnsiJoinQuery()),
        "SELECT DISTINCT stu.ID_NBR, stu.LST_NME FROM ST010 stu INNER JOIN CE020 enroll (NOLOCK)  ON "
        "stu.ID_NBR =enroll.ID_NBR  AND stu.DST_NBR =enroll.DST_NBR   WHERE enroll.SCH_NBR = '001' ORDER BY "
        "stu.LST_NME");
    // The switch picks the builder.
    da.SetAnsiJoin(true);
    EXPECT_EQ(S(da.BuildCurrentQuery()), S(da.BuildAnsiJoinQuery()));
    da.SetAnsiJoin(false);
    EXPECT_EQ(S(da.BuildCurrentQuery()), S(da.BuildQuery()));
}

TEST(QueryBuilder, LevelsOneZeroEncloseThePairAndOneOneCloseAtTheEnd)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    EXPECT_EQ(ConditionsOfT(da, {{"AND", "A", "=", "1", 1}, {"OR", "B", "=", "2", 0}}),
              "SELECT t.A FROM T t  WHERE (t.A = 1 OR t.B = 2)");
    EXPECT_EQ(
        ConditionsOfT(da, {{"AND", "A", "=", "1", 1}, {"OR", "B", "=", "2", 1}, {"AND", "C", "=", "3", 0}}),
        "SELECT t.A FROM T t  WHERE (t.A = 1 OR t.B = 2 AND t.C = 3)");
    EXPECT_EQ(ConditionsOfT(da, {{"AND", "A", "=", "1", 1}, {"AND", "B", "=", "2", 1}}),
              "SELECT t.A FROM T t  WHERE (t.A = 1 AND t.B = 2)");
}

TEST(QueryBuilder, FirstConditionConjunctions)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    EXPECT_EQ(ConditionsOfT(da, {{"(", "A", "=", "1", 0}}), "SELECT t.A FROM T t  WHERE ( t.A = 1");
    // "AND (" on the first condition is dropped, so the filter relies on
    // other conditions coming first.
    EXPECT_EQ(ConditionsOfT(da, {{"AND (", "A", ">=", "2", 0}, {"AND", "B", "=", "3", 0}}),
              "SELECT t.A FROM T t  WHERE t.A >= 2 AND t.B = 3");
}

TEST(QueryBuilder, NoConditionsWritesNoWhere)
{
    ODBCDataAccess oracle(0, DatabaseType::OracleODBC);
    ODBCTable* t = oracle.AddTable("ST010", "");
    oracle.AddField(t, "ID_NBR", false);
    EXPECT_EQ(S(oracle.BuildQuery()), "SELECT ST010.ID_NBR FROM ST010 ");

    ODBCDataAccess mssql(0, DatabaseType::MSSQL);
    t = mssql.AddTable("ST010", "s");
    ODBCField* f = mssql.AddField(t, "ID_NBR", false);
    mssql.AddOrder(f, true);
    EXPECT_EQ(S(mssql.BuildQuery()), "SELECT s.ID_NBR FROM ST010 s WITH (NOLOCK)   ORDER BY s.ID_NBR DESC");
}

TEST(QueryBuilder, ExpressionFieldWithOutputNameOrdersByTheName)
{
    ODBCDataAccess da(0, DatabaseType::MSSQL);
    ODBCTable* dem = da.AddTable("SY030", "DEM");
    ODBCField* last = da.AddField(dem, "LST_NME", false);
    ODBCField* order1 = da.AddExpressionField("case", last, "when '' then 1 else 0 end", "order1");
    EXPECT_EQ(order1->Position(), 1);
    da.AddOrder(order1);
    da.AddOrder(last);
    EXPECT_EQ(S(da.BuildQuery()),
              "SELECT DEM.LST_NME, case DEM.LST_NME when '' then 1 else 0 end as order1 FROM "
              "SY030 DEM WITH (NOLOCK)   ORDER BY order1, DEM.LST_NME");

    // A prefix without suffix is a function call that the builder closes.
    da.ClearQuery();
    dem = da.AddTable("SY030", "DEM");
    da.AddExpressionField("UPPER(", da.AddOperandField(dem, "LST_NME"), "", "");
    EXPECT_EQ(S(da.BuildQuery()), "SELECT UPPER( DEM.LST_NME) FROM SY030 DEM WITH (NOLOCK)  ");
}

TEST(QueryBuilder, AnsiJoinWithOneTableDropsJoinConditions)
{
    ODBCDataAccess da(0, DatabaseType::MSSQL);
    ODBCTable* t = da.AddTable("CA005", "CA");
    da.AddField(t, "SCH_YR", false);
    da.AddCondition("AND", da.AddOperandField(t, "A"), "=", da.AddOperandField(t, "B"), 0);
    da.AddCondition("AND", da.AddOperandField(t, "SCH_NBR"), "=", "'001'", 0);
    EXPECT_EQ(S(da.BuildAnsiJoinQuery()),
              "SELECT CA.SCH_YR FROM CA005 CA WITH (NOLOCK)   WHERE CA.SCH_NBR = '001'");
}

TEST(QueryBuilder, AnsiJoinWithoutJoinConditionWritesNoTables)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    ODBCTable* a = da.AddTable("A", "a");
    da.AddTable("B", "b");
    da.AddField(a, "X", false);
    da.AddCondition("AND", da.AddOperandField(a, "X"), "=", "1", 0);
    EXPECT_EQ(S(da.BuildAnsiJoinQuery()), "SELECT a.X FROM   WHERE a.X = 1");
}

TEST(QueryBuilder, AnsiJoinOfThreeTablesAndSameNameAlias)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    ODBCTable* a = da.AddTable("A", "");
    ODBCTable* b = da.AddTable("B", "b");
    ODBCTable* c = da.AddTable("C", "c");
    da.AddField(a, "X", false);
    da.AddCondition("AND", da.AddOperandField(a, "K"), "=", da.AddOperandField(b, "K"), 0);
    da.AddCondition("AND", da.AddOperandField(c, "K"), "=", da.AddOperandField(b, "K"), 0);
    // The first table is written with its alias even when that is its name.
    EXPECT_EQ(S(da.BuildAnsiJoinQuery()),
              "SELECT A.X FROM A A INNER JOIN B b ON A.K =b.K  INNER JOIN C c ON c.K =b.K  ");
}

TEST(QueryBuilder, XBaseIsOneTableFile)
{
    ODBCDataAccess da(0, DatabaseType::DBaseXBase);
    DataAccessTestLog log(da);
    da.SetDataSource("/data/dbf/");
    da.AddTable("ST010", "s");
    EXPECT_EQ(S(da.BuildQuery()), "/data/dbf/ST010.dbf");
    EXPECT_EQ(S(da.BuildAnsiJoinQuery()), "/data/dbf/ST010.dbf");
    da.AddTable("CE020", "c");
    EXPECT_EQ(ThrownText([&] { da.BuildQuery(); }), "Cannot use more than 1 table in XBase query");
    EXPECT_TRUE(log.Has(8, "Cannot use more than 1 table in XBase query"));
    da.ClearQuery();
    EXPECT_THROW(da.BuildQuery(), XException);
}

TEST(QueryBuilder, StagesAreLoggedAtLevelNine)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    DataAccessTestLog log(da);
    ConditionsOfT(da, {{"AND", "A", "=", "1", 0}});
    EXPECT_TRUE(log.Has(9, "BuildQuery: Fields Finished:\nSELECT t.A"));
    EXPECT_TRUE(log.Has(9, "BuildQuery: Join Count: 0:\nSELECT t.A FROM T t"));
    EXPECT_TRUE(log.Has(9, "BuildQuery: Conditions Finished:\nSELECT t.A FROM T t  WHERE t.A = 1"));
    EXPECT_TRUE(log.Has(9, "BuildQuery Finished:SELECT t.A FROM T t  WHERE t.A = 1"));
}
