#include <gtest/gtest.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"
#include "SISExpCustomFieldList.h"

namespace
{
// Answers queries with canned result codes instead of running them.
class ScriptedQueries : public ODBCDataAccess
{
public:
    ScriptedQueries() : ODBCDataAccess(0, DatabaseType::OracleODBC) {}
    int RunCurrentQuery() override
    {
        ++runs;
        if (throwText)
            throw XException(throwText);
        return codes.empty() ? 0 : codes[std::min<size_t>(runs - 1, codes.size() - 1)];
    }
    void Reconnect() override { ++reconnects; }
    int GetRecordCount() override { return 0; }

    std::vector<int> codes;
    const char* throwText = nullptr;
    int runs = 0;
    int reconnects = 0;
};
} // namespace

TEST(OpenTable, ConnectionFailureSkipsTheTableAfterReconnecting)
{
    ScriptedQueries da;
    DataAccessTestLog log(da);
    da.StartTable("Student Demographics", "Students.sef");
    da.codes = {1629};
    EXPECT_FALSE(da.OpenTable(1));
    EXPECT_EQ(da.runs, 1);
    EXPECT_EQ(da.reconnects, 1);
    EXPECT_TRUE(log.Has(8, "Query 0 failed with error: 1629"));
    EXPECT_TRUE(log.Has(7, "Open table Student Demographics failed, skipping."));

    // With more attempts the next run on the new connection succeeds.
    da.runs = 0;
    da.SetOpenAttempts(2);
    da.codes = {12170, 0};
    EXPECT_TRUE(da.OpenTable(1));
    EXPECT_EQ(da.runs, 2);
    EXPECT_TRUE(log.Has(8, "Opened Student Demographics table/query."));
}

TEST(OpenTable, ErrorsCarryTheStatement)
{
    ScriptedQueries da;
    DataAccessTestLog log(da);
    da.StartTable("Staff", "Staff.sef");
    ODBCTable* t = da.AddTable("SY030", "DEM");
    da.AddField(t, "EMP_NBR", true);
    da.throwText = "While executing query: boom";
    const char* report = "Failed with error [While executing query: boom] while parsing query: SELECT "
                         "DEM.EMP_NBR FROM SY030 DEM ";
    EXPECT_EQ(ThrownText([&] { da.OpenTable(1); }), report);
    EXPECT_TRUE(log.Has(2, report));
    // Without run nothing is executed and the table is skipped.
    da.runs = 0;
    EXPECT_FALSE(da.OpenTable(0));
    EXPECT_EQ(da.runs, 0);
}

TEST(AddColumnField, ConstantAndFieldColumns)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    da.StartTable("Student Medical Allergy", "StudentAllergy.sef");
    ODBCTable* t = da.AddTable("HL010", "H");
    ODBCField* key = da.AddColumnField(t, "STU_ID", da.Fn(&DataAccessBase::CleanText), "StdKey", true);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(da.AddColumnField(nullptr, "Allergy", {}, "MedConditTypeRef$=\"Allergy\"", false, XString(),
                                XString(), XString(), XString(), SDEColumn::Constant),
              nullptr);
    ASSERT_EQ(da.Columns().size(), 2u);
    EXPECT_EQ(da.Columns()[0].field, key);
    EXPECT_TRUE(static_cast<bool>(da.Columns()[0].value));
    EXPECT_EQ(da.Columns()[1].field, nullptr);
    EXPECT_STREQ(da.Columns()[1].text.Text(), "Allergy");
    EXPECT_EQ(da.Columns()[1].command, SDEColumn::Constant);
    ASSERT_NE(da.CurrentHeader(), nullptr);
    EXPECT_EQ(da.CurrentHeader()->Names(), (std::vector<XString>{"StdKey", "MedConditTypeRef$=\"Allergy\""}));
    da.FinishTable();
    EXPECT_TRUE(da.Columns().empty());
    EXPECT_EQ(da.Query().tables.Count(), 0);
}

namespace
{
class RejectingFields : public ODBCDataAccess
{
public:
    RejectingFields() : ODBCDataAccess(0, DatabaseType::OracleODBC) {}
    ODBCField* AddField(ODBCTable*, const XString&, bool) override { return nullptr; }
};
} // namespace

TEST(AddColumnField, AFieldThatCannotBeAddedBringsNeitherColumnNorHeader)
{
    RejectingFields da;
    da.StartTable("Staff", "Staff.sef");
    ODBCTable* t = da.AddTable("SY030", "DEM");
    EXPECT_EQ(da.AddColumnField(t, "EMP_NBR", da.Fn(&DataAccessBase::CleanText), "StaffKey"), nullptr);
    EXPECT_TRUE(da.Columns().empty());
    EXPECT_FALSE(da.CurrentHeader()->HasNames());
}

TEST(AddColumnField, ListColumnsGoToTheList)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    da.StartTable("Student Custom", "StudentCustom.sef");
    ODBCTable* t = da.AddTable("ST010", "S");
    SISExpCustomFieldList list("StudentCustom.txt", "Student Custom", "StudentCustom.sef");
    EXPECT_NE(da.AddListColumnField(list, t, "LANG", da.Fn(&DataAccessBase::CleanText), "gs_Language", false,
                                    "Language", "Home language", "", "ST010.LANG"),
              nullptr);
    EXPECT_NE(da.AddListColumnField(list, t, "STU_ID", da.Fn(&DataAccessBase::CleanText), "StdKey"), nullptr);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(list.HasTitle("Language"));
    EXPECT_EQ(da.Columns().size(), 2u);
    EXPECT_TRUE(da.OwnCustomFields().IsEmpty());
}
