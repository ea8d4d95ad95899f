// The dialect harness's rules, each on its own: what SQLite is given for a
// statement the bridge sends in each mode.
#include "DialectRules.h"

#include <gtest/gtest.h>

using DialectHarness::Mode;

namespace
{
struct Case
{
    Mode mode;
    const char* sent;
    const char* given; // nullptr: refused
};

const Case kCases[] = {
    // SQL Server's catalogue: only SQL Server has it; Access's table name is no match.
    {Mode::SqlServer, "SELECT name FROM sysobjects WHERE xtype = 'U'",
     "SELECT name FROM sysobjects WHERE xtype = 'U'"},
    {Mode::Oracle, "SELECT name FROM sysobjects WHERE xtype = 'U'", nullptr},
    {Mode::Access, "SELECT syscolumns.name FROM syscolumns", nullptr},
    {Mode::Access, "SELECT Name FROM MSysObjects WHERE Type=1", "SELECT Name FROM MSysObjects WHERE Type=1"},
    // Oracle's catalogue view.
    {Mode::Oracle, "SELECT column_name FROM all_tab_columns", "SELECT column_name FROM all_tab_columns"},
    {Mode::SqlServer, "SELECT column_name FROM ALL_TAB_COLUMNS", nullptr},
    {Mode::Access, "SELECT column_name FROM all_tab_columns", nullptr},
    // Access's catalogue table.
    {Mode::Oracle, "SELECT Name FROM MSysObjects", nullptr},
    {Mode::SqlServer, "SELECT Name FROM MSysObjects", nullptr},
    // Lock hints, both forms, only in SQL Server mode.
    {Mode::SqlServer, "SELECT a FROM ST010 stu WITH (NOLOCK) , CE020 e WITH (NOLOCK)   WHERE x = 1",
     "SELECT a FROM ST010 stu  , CE020 e    WHERE x = 1"},
    {Mode::SqlServer, "FROM ST010 stu INNER JOIN CE020 e (NOLOCK)  ON stu.ID =e.ID",
     "FROM ST010 stu INNER JOIN CE020 e   ON stu.ID =e.ID"},
    {Mode::Oracle, "SELECT a FROM T t WITH (NOLOCK)", "SELECT a FROM T t WITH (NOLOCK)"},
    // Access date literals become the demo's eight digits; anything else like them stays.
    {Mode::Access, "WHERE CAL_DT >= #05-Jan-2009# AND CAL_DT <= #28-DEC-2009#",
     "WHERE CAL_DT >= 20090105 AND CAL_DT <= 20091228"},
    {Mode::Access, "WHERE X = '#05-Jab-2009#'", "WHERE X = '#05-Jab-2009#'"},
    {Mode::SqlServer, "WHERE CAL_DT >= #05-Jan-2009#", "WHERE CAL_DT >= #05-Jan-2009#"},
};
} // namespace

TEST(DialectRules, RewriteOnlyWhatSqliteCannotRead)
{
    for (const Case& c : kCases)
    {
        const QString given = DialectHarness::Rewrite(c.mode, QString::fromLatin1(c.sent));
        EXPECT_EQ(given.toStdString(), c.given ? c.given : DialectHarness::kRefused)
            << "mode " << static_cast<int>(c.mode) << ": " << c.sent;
    }
    EXPECT_EQ(DialectHarness::ModeNamed("mssql"), Mode::SqlServer);
    EXPECT_EQ(DialectHarness::ModeNamed("access"), Mode::Access);
    EXPECT_EQ(DialectHarness::ModeNamed("oracle"), Mode::Oracle);
    EXPECT_FALSE(DialectHarness::ModeNamed("sybase").has_value());
}
