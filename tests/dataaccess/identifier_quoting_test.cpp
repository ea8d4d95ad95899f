// Column names that are not plain are quoted the way each dialect quotes them;
// plain names keep every statement's bytes.
#include <gtest/gtest.h>

#include "DatabaseType.h"
#include "ODBCDataAccess.h"

namespace
{
struct Case
{
    int type;
    const char* plainJoin; // BuildQuery
    const char* ansiJoin;  // BuildAnsiJoinQuery
};

TEST(IdentifierQuoting, HyphenatedColumnInEveryPartOfTheStatement)
{
    const Case cases[] = {
        {DatabaseType::OracleODBC,
         "SELECT i.\"R-ID-NBR\", i.ID_NBR FROM EV010 i, EV020 p  WHERE i.EV_SEQ_NBR = p.EV_SEQ_NBR AND "
         "i.\"R-ID-NBR\" = 5 ORDER BY i.\"R-ID-NBR\"",
         "SELECT i.\"R-ID-NBR\", i.ID_NBR FROM EV010 i INNER JOIN EV020 p ON i.EV_SEQ_NBR =p.EV_SEQ_NBR   "
         "WHERE i.\"R-ID-NBR\" = 5 ORDER BY i.\"R-ID-NBR\""},
        {DatabaseType::Postgres,
         "SELECT i.\"R-ID-NBR\", i.ID_NBR FROM EV010 i, EV020 p  WHERE i.EV_SEQ_NBR = p.EV_SEQ_NBR AND "
         "i.\"R-ID-NBR\" = 5 ORDER BY i.\"R-ID-NBR\"",
         nullptr},
        {DatabaseType::MSSQL,
         "SELECT i.[R-ID-NBR], i.ID_NBR FROM EV010 i WITH (NOLOCK) , EV020 p WITH (NOLOCK)   WHERE "
         "i.EV_SEQ_NBR = p.EV_SEQ_NBR AND i.[R-ID-NBR] = 5 ORDER BY i.[R-ID-NBR]",
         "SELECT i.[R-ID-NBR], i.ID_NBR FROM EV010 i INNER JOIN EV020 p (NOLOCK)  ON i.EV_SEQ_NBR "
         "=p.EV_SEQ_NBR "
         "  WHERE i.[R-ID-NBR] = 5 ORDER BY i.[R-ID-NBR]"},
        {DatabaseType::Access,
         "SELECT i.[R-ID-NBR], i.ID_NBR FROM EV010 i, EV020 p  WHERE i.EV_SEQ_NBR = p.EV_SEQ_NBR AND "
         "i.[R-ID-NBR] = 5 ORDER BY i.[R-ID-NBR]",
         nullptr},
    };
    for (const Case& c : cases)
    {
        ODBCDataAccess da(0, c.type);
        ODBCTable* i = da.AddTable("EV010", "i");
        ODBCTable* p = da.AddTable("EV020", "p");
        ODBCField* referrer = da.AddField(i, "R-ID-NBR", true);
        da.AddField(i, "ID_NBR", true);
        da.AddCondition("AND", da.AddOperandField(i, "EV_SEQ_NBR"), "=", da.AddOperandField(p, "EV_SEQ_NBR"),
                        0);
        da.AddCondition("AND", da.AddOperandField(i, "R-ID-NBR"), "=", "5", 0);
        da.AddOrder(referrer, false);
        EXPECT_STREQ(da.BuildQuery().Text(), c.plainJoin) << DatabaseType::Name(c.type);
        if (c.ansiJoin)
        {
            EXPECT_STREQ(da.BuildAnsiJoinQuery().Text(), c.ansiJoin) << DatabaseType::Name(c.type);
        }
    }
}
} // namespace
