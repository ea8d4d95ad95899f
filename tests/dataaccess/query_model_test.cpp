#include <gtest/gtest.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"

namespace
{
const char* kFrom8 = "TO_DATE( '20090108', 'YYYYMMDD' )";
const char* kTo14 = "TO_DATE( '20090114', 'YYYYMMDD' )";

class AttendanceFilter : public ::testing::Test
{
protected:
    void SetUp() override
    {
        att = da.AddTable("AT010", "ATT");
        da.AddField(att, "STU_ID", true);
        da.AddCondition("AND", da.AddOperandField(att, "SCH_NBR"), "=", "'001'");
        changeDate = da.AddOperandField(att, "MNT_DT");
        attDate = da.AddOperandField(att, "CAL_DT");
    }
    // The query's conditions after those of the school, which every query here has.
    std::string Sql()
    {
        const std::string sql = da.BuildQuery().Text();
        const std::string school = "SELECT ATT.STU_ID FROM AT010 ATT  WHERE ATT.SCH_NBR = '001'";
        EXPECT_EQ(sql.substr(0, school.size()), school);
        return sql.substr(std::min(school.size(), sql.size()));
    }

    ODBCDataAccess da{0, DatabaseType::OracleODBC};
    ODBCTable* att = nullptr;
    ODBCField* changeDate = nullptr;
    ODBCField* attDate = nullptr;
};
} // namespace

TEST_F(AttendanceFilter, CalledTwiceKeepsOnlyTheSecondRange)
{
    da.SetChangeDateField(changeDate);
    da.SetAttendanceDateField(attDate);
    da.FilterAttendance(XDate(2009, 1, 1), XDate(2009, 1, 7));
    EXPECT_EQ(da.FilterConditionCount(), 4);
    da.FilterAttendance(XDate(2009, 1, 8), XDate(2009, 1, 14));
    EXPECT_EQ(da.FilterConditionCount(), 4);
    EXPECT_EQ(da.Query().conditions.Count(), 5);
    EXPECT_EQ(Sql(), std::string(" AND ( ATT.MNT_DT >= ") + kFrom8 + " OR ATT.CAL_DT >= " + kFrom8 +
                         ") AND ( ATT.MNT_DT <= " + kTo14 + " OR ATT.CAL_DT <= " + kTo14 + ")");
}

TEST_F(AttendanceFilter, AttendanceDateAloneAndOpenEnds)
{
    da.SetAttendanceDateField(attDate);
    da.FilterAttendance(XDate(2009, 1, 8), XDate(2009, 1, 14));
    EXPECT_EQ(Sql(), std::string(" AND ATT.CAL_DT >= ") + kFrom8 + " AND ATT.CAL_DT <= " + kTo14);
    // Day 0 and null leave that end open.
    da.FilterAttendance(XDate(0), XDate(2009, 1, 14));
    EXPECT_EQ(Sql(), std::string(" AND ATT.CAL_DT <= ") + kTo14);
    // Both null: the previous conditions go, nothing comes.
    da.FilterAttendance(XDate(), XDate());
    EXPECT_EQ(da.FilterConditionCount(), 0);
    EXPECT_EQ(Sql(), "");
}

TEST_F(AttendanceFilter, ChangeDateAlone)
{
    da.SetChangeDateField(changeDate);
    da.FilterAttendance(XDate(2009, 1, 8), XDate());
    EXPECT_EQ(Sql(), std::string(" AND ATT.MNT_DT >= ") + kFrom8);
}

TEST_F(AttendanceFilter, WithoutFieldsThrowsAndReportsProgress)
{
    DataAccessTestLog log(da);
    da.SetChangeDateField(changeDate);
    da.SetAttendanceDateField(attDate);
    da.ResetAttendanceFilter();
    EXPECT_EQ(da.ChangeDateField(), nullptr);
    EXPECT_EQ(da.AttendanceDateField(), nullptr);
    EXPECT_EQ(ThrownText([&] { da.FilterAttendance(XDate(2009, 1, 8), XDate(2009, 1, 14)); }),
              "FilterAttendance: There is no change date set! So cannot filter.");
    EXPECT_TRUE(log.Has(5, "FilterAttendance: There is no change date set! So cannot filter."));
}

TEST_F(AttendanceFilter, AClearedQueryLosesNoConditionToAnOldFilter)
{
    da.SetAttendanceDateField(attDate);
    da.FilterAttendance(XDate(2009, 1, 8), XDate(2009, 1, 14));
    da.ClearQuery();
    att = da.AddTable("AT010", "ATT");
    da.AddField(att, "STU_ID", true);
    da.AddCondition("AND", da.AddOperandField(att, "SCH_NBR"), "=", "'001'");
    da.AddCondition("AND", da.AddOperandField(att, "DST_NBR"), "=", "'9'");
    da.SetAttendanceDateField(da.AddOperandField(att, "CAL_DT"));
    da.FilterAttendance(XDate(2009, 1, 8), XDate());
    EXPECT_EQ(Sql(), std::string(" AND ATT.DST_NBR = '9' AND ATT.CAL_DT >= ") + kFrom8);
}

TEST(QueryModel, TablesAndAliases)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    ODBCTable* plain = da.AddTable("ST010", "");
    EXPECT_STREQ(plain->Alias().Text(), "ST010");
    ODBCTable* full = da.AddTable("ST010", "s", false, "dbo.ST010");
    EXPECT_STREQ(full->FullName().Text(), "dbo.ST010");
    EXPECT_STREQ(full->Name().Text(), "ST010");
    EXPECT_STREQ(full->SqlName().Text(), "dbo.ST010");
    da.AddField(full, "ID", false);
    EXPECT_STREQ(da.BuildQuery().Text(), "SELECT s.ID FROM ST010, dbo.ST010 s ");
}

TEST(QueryModel, PositionsRestartAfterClear)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    ODBCTable* t = da.AddTable("T", "t");
    EXPECT_EQ(da.AddField(t, "A", false)->Position(), 0);
    EXPECT_EQ(da.AddUncheckedField(t, "B")->Position(), 1);
    ODBCField* unselected = da.AddField(t, "C", false, true);
    EXPECT_EQ(unselected->Position(), 2);
    EXPECT_EQ(da.Query().selectedFields.Count(), 2);
    EXPECT_EQ(da.Query().unselectedFields.Count(), 1);
    da.ClearQuery();
    EXPECT_EQ(da.Query().tables.Count(), 0);
    EXPECT_EQ(da.Query().unselectedFields.Count(), 1);
    t = da.AddTable("T", "t");
    EXPECT_EQ(da.AddField(t, "D", false)->Position(), 0);
}

TEST(QueryModel, FailedAddsReportAndLeaveTheQueryAlone)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    DataAccessTestLog log(da);
    EXPECT_EQ(da.AddField(nullptr, "LST_NME", false), nullptr);
    EXPECT_TRUE(log.Has(8, "Table was NULL when searching for: LST_NME"));
    EXPECT_EQ(ThrownText([&] { da.AddField(nullptr, "LST_NME", true); }),
              "Table was NULL when searching for: LST_NME");
    EXPECT_TRUE(log.Has(2, "Table was NULL when searching for: LST_NME"));

    ODBCTable* t = da.AddTable("T", "t");
    EXPECT_EQ(ThrownText([&] { da.AddCondition("AND", nullptr, "=", "1"); }),
              "Primary field NULL in XODBC::AddCondition.");
    ODBCField* noField = nullptr;
    EXPECT_EQ(ThrownText([&] { da.AddCondition("AND", da.AddOperandField(t, "A"), "=", noField); }),
              "Second field with Ais NULL in XODBC::AddCondition.");
    EXPECT_EQ(log.lines.back().method, "ODBCDataAccess::AddCondition");
    EXPECT_EQ(log.lines.back().level, 2);
    EXPECT_EQ(da.Query().conditions.Count(), 0);

    EXPECT_EQ(da.AddOrder(nullptr), nullptr);
    EXPECT_TRUE(log.Has(4, "Field NULL in ODBC::AddOrder."));
    EXPECT_EQ(da.Query().orders.Count(), 0);
}
