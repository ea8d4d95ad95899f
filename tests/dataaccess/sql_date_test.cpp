#include <gtest/gtest.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
#include "GoldenLines.h"
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

// The literals of golden/sql_dates.txt.
TEST(SqlDate, FifteenthOfJanuary2009InEveryDialect)
{
    for (const auto& l : GoldenLines("sql_dates.txt", "SqlDates", 4))
        EXPECT_EQ(Date(GoldenType(l[0]), XDate(2009, 1, 15), l[1] == "digits"), l[3]) << l[0];
    EXPECT_EQ(Date(DatabaseType::TopSpeed, XDate(1800, 12, 28)), "0");
}

TEST(SqlDate, NullDateInEveryDialect)
{
    for (const auto& l : GoldenLines("sql_dates.txt", "SqlDates", 4))
        EXPECT_EQ(Date(GoldenType(l[0]), XDate(), l[1] == "digits"), l[2]) << l[0];
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
