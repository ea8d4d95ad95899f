// Column names that are not plain are quoted the way each dialect quotes them;
// plain names keep every statement's bytes.
#include <gtest/gtest.h>

#include "CatalogueStatements.h"
#include "GoldenLines.h"
#include "ODBCDataAccess.h"

namespace
{
TEST(IdentifierQuoting, HyphenatedColumnInEveryPartOfTheStatement)
{
    for (const auto& l : GoldenLines("statements.txt", "HyphenatedColumn", 3))
    {
        ODBCDataAccess da(0, GoldenType(l[0]));
        ODBCTable* i = da.AddTable("EV010", "i");
        ODBCTable* p = da.AddTable("EV020", "p");
        ODBCField* referrer = da.AddField(i, "R-ID-NBR", true);
        da.AddField(i, "ID_NBR", true);
        da.AddCondition("AND", da.AddOperandField(i, "EV_SEQ_NBR"), "=", da.AddOperandField(p, "EV_SEQ_NBR"),
                        0);
        da.AddCondition("AND", da.AddOperandField(i, "R-ID-NBR"), "=", "5", 0);
        da.AddOrder(referrer, false);
        EXPECT_EQ(da.BuildQuery().Text(), l[1]) << l[0];
        if (l[2] != "-")
        {
            EXPECT_EQ(da.BuildAnsiJoinQuery().Text(), l[2]) << l[0];
        }
    }
}
// A field probe that selects the column quotes it as the SELECT does; one that
// looks the name up in a catalogue takes it as a text; plain names keep their bytes.
TEST(IdentifierQuoting, FieldProbesNameTheColumnAsTheSelectDoes)
{
    for (const auto& l : GoldenLines("statements.txt", "FieldProbes", 3))
        EXPECT_EQ(
            CatalogueStatements::ForField(GoldenType(l[0]), "DBTSIS_EV010_V", l[1].c_str()).statement.Text(),
            l[2])
            << l[0] << " " << l[1];
}
} // namespace
