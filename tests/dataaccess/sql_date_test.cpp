#include <gtest/gtest.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"

namespace
{
std::string Date(int type, const XDate& d, bool mssqlDigits = false)
{
    ODBCDataAccess da(0, type);
    da.SetMssqlDateSwitch(mssqlDigits);
    return da.SQLDate(d).Text();
}
} // namespace

TEST(SqlDate, FifteenthOfJanuary2009InEveryDialect)
{
    using namespace DatabaseType;
    const XDate d(2009, 1, 15);
    EXPECT_EQ(Date(DBaseODBC, d), "#15-Jan-2009#");
    EXPECT_EQ(Date(DBaseXBase, d), "01/15/2009"); // the writer's date format
    EXPECT_EQ(Date(FoxProODBC, d), "{^2009/01/15}");
    EXPECT_EQ(Date(FoxProDBF, d), "{^2009/01/15}");
    EXPECT_EQ(Date(MSSQL, d, true), "20090115");
    EXPECT_EQ(Date(MSSQL, d, false), "'2009-01-15'");
    for (int t : {MySQL, SQLite, DB2, Progress, Mimer})
        EXPECT_EQ(Date(t, d), "'2009-01-15'") << t;
    EXPECT_EQ(Date(Access, d), "#15-Jan-2009#");
    EXPECT_EQ(Date(Postgres, d), "'01/15/2009'");
    for (int t : {OracleODBC, OracleOLE, OracleMSDAORA})
        EXPECT_EQ(Date(t, d), "TO_DATE( '20090115', 'YYYYMMDD' )") << t;
    for (int t : {SybaseOLE, SybaseODBC, LotusNotes})
        EXPECT_EQ(Date(t, d), "'2009-01-15'") << t;
    EXPECT_EQ(Date(Informix, d), "TO_DATE(\"01/15/2009\",\"%m/%d/%Y\")");
    EXPECT_EQ(Date(TopSpeed, d), "75989");
    EXPECT_EQ(Date(TopSpeed, XDate(1800, 12, 28)), "0");
    EXPECT_EQ(Date(CADatacom, d), "'20090115'");
}

TEST(SqlDate, NullDateInEveryDialect)
{
    using namespace DatabaseType;
    const XDate n;
    EXPECT_EQ(Date(DBaseODBC, n), "##");
    EXPECT_EQ(Date(DBaseXBase, n), "");
    EXPECT_EQ(Date(FoxProODBC, n), "{^}");
    EXPECT_EQ(Date(FoxProDBF, n), "{^}");
    EXPECT_EQ(Date(MSSQL, n, true), "");
    EXPECT_EQ(Date(MSSQL, n, false), "''");
    for (int t : {MySQL, SQLite, DB2, Progress, Mimer, SybaseOLE, SybaseODBC, LotusNotes, CADatacom})
        EXPECT_EQ(Date(t, n), "''") << t;
    EXPECT_EQ(Date(Access, n), "##");
    EXPECT_EQ(Date(Postgres, n), "");
    for (int t : {OracleODBC, OracleOLE, OracleMSDAORA})
        EXPECT_EQ(Date(t, n), "") << t;
    EXPECT_EQ(Date(Informix, n), "");
    // The null day number (-1) counted from 28 December 1800.
    EXPECT_EQ(Date(TopSpeed, n), "-73411");
}

TEST(SqlDate, TypeArgumentOverridesAndUnknownTypesThrow)
{
    ODBCDataAccess da(0, DatabaseType::Postgres);
    EXPECT_STREQ(da.SQLDate(XDate(2009, 1, 15), DatabaseType::Access).Text(), "#15-Jan-2009#");
    for (int t : {22, -1})
        EXPECT_EQ(ThrownText([&] { da.SQLDate(XDate(2009, 1, 15), t); }),
                  "DB Type not defined for XODBC::SQLDate yet, feel free to do so.")
            << t;
    ODBCDataAccess unset(0, DatabaseType::Unset);
    EXPECT_THROW(unset.SQLDate(XDate(2009, 1, 15)), XException);
}

TEST(SqlDate, QuoteForDialect)
{
    ODBCDataAccess da(0, DatabaseType::MSSQL);
    EXPECT_STREQ(da.QuoteForDialect("001").Text(), "'001'");
    EXPECT_STREQ(da.QuoteForDialect("001", DatabaseType::Access).Text(), "'001'");
    EXPECT_STREQ(da.QuoteForDialect("001", DatabaseType::OracleODBC).Text(), "001");
}
