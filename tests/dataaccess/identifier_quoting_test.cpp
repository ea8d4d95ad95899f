// Column names that are not plain are quoted the way each dialect quotes them;
// plain names keep every statement's bytes.
#include <gtest/gtest.h>

#include "CatalogueStatements.h"
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
// A field probe that selects the column quotes it as the SELECT does; one that
// looks the name up in a catalogue takes it as a text; plain names keep their bytes.
TEST(IdentifierQuoting, FieldProbesNameTheColumnAsTheSelectDoes)
{
    struct Probe
    {
        int type;
        const char* field;
        const char* statement;
    };
    const Probe probes[] = {
        {DatabaseType::Access, "R-ID-NBR", "Select COUNT([R-ID-NBR]) From DBTSIS_EV010_V"},
        {DatabaseType::Access, "ID_NBR", "Select COUNT(ID_NBR) From DBTSIS_EV010_V"},
        {DatabaseType::FoxProDBF, "R-ID-NBR", "SELECT COUNT(\"R-ID-NBR\") FROM DBTSIS_EV010_V"},
        {DatabaseType::MSSQL, "R-ID-NBR",
         "SELECT syscolumns.name FROM syscolumns JOIN sysobjects ON syscolumns.id=sysobjects.id WHERE "
         "UPPER(sysobjects.name) = UPPER('DBTSIS_EV010_V') AND UPPER(syscolumns.name) = UPPER('R-ID-NBR')"},
    };
    for (const Probe& p : probes)
        EXPECT_STREQ(CatalogueStatements::ForField(p.type, "DBTSIS_EV010_V", p.field).statement.Text(),
                     p.statement)
            << DatabaseType::Name(p.type) << " " << p.field;
}
} // namespace
