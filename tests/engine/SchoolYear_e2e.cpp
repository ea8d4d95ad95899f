// The current school year and its dates, found in the demo calendar for
// different days, from a calendar of eight-digit numbers and from one of
// date values; and an extraction from that altered copy, which also lacks
// the notes table.
#include "DatabaseType.h"
#include "DemoHarness.h"

using namespace e2e;

namespace
{

class SchoolYearSearch : public DemoSuite<SchoolYearSearch>
{
public:
    static DemoPlan Demo() { return {}; }
    static void SetUpTestSuite()
    {
        DemoSuite::SetUpTestSuite();
        // A copy whose CA005 keeps CAL_DT as DATE values and has no "LD" row
        // for 2026, and which has no SY055.
        datesReady_ =
            demo_->Ok() &&
            demo_->AlteredCopy(
                "tsis", "TSISDemoDates",
                "CREATE TABLE CA005_NEW (DST_NBR INTEGER, SCH_NBR VARCHAR(4), SCH_YR INTEGER, CAL_DT DATE,"
                " DAY_CD VARCHAR(2), INST_F VARCHAR(1), CYCLE_DAY VARCHAR(2));"
                "INSERT INTO CA005_NEW SELECT DST_NBR, SCH_NBR, SCH_YR,"
                " substr(CAL_DT,1,4)||'-'||substr(CAL_DT,5,2)||'-'||substr(CAL_DT,7,2), DAY_CD, INST_F, "
                "CYCLE_DAY"
                " FROM CA005 WHERE NOT (SCH_YR = 2026 AND DAY_CD = 'LD');"
                "DROP VIEW DBTSIS_CA005_V; DROP TABLE CA005; ALTER TABLE CA005_NEW RENAME TO CA005;"
                "CREATE VIEW DBTSIS_CA005_V AS SELECT * FROM CA005;"
                "DROP VIEW DBTSIS_SY055_V; DROP TABLE SY055;");
    }

protected:
    // The year found, its start and its end: "year|start|end".
    static std::string Find(const char* today, const char* dsn = "TSISDemo", const char* school = "'101'")
    {
        XDate day;
        day.Parse("YYYYMMDD", today);
        XClock::SetFixed(XDateTime(day, XTime(8, 0, 0)));
        RecordedEngine engine;
        engine->SetDatabaseType(dsn, "", "");
        engine->SetSchoolNumber(school);
        engine->SetDistrictNumber("16");
        std::string found = engine->FindCurrentSchoolYear().Std();
        found += "|" + engine->SchoolStartDate().Format("YYYYMMDD").Std() + "|" +
                 engine->SchoolEndDate().Format("YYYYMMDD").Std();
        XClock::Reset();
        return found;
    }

    static inline bool datesReady_ = false;
};

TEST_F(SchoolYearSearch, TodayWithinAYearGivesThatYear)
{
    EXPECT_EQ(Find("20261015"), "2026|20260831|20270618");
    EXPECT_EQ(Find("20260301"), "2025|20250825|20260612");
    // The first and the last day belong to their year.
    EXPECT_EQ(Find("20250825"), "2025|20250825|20260612");
    EXPECT_EQ(Find("20260612"), "2025|20250825|20260612");
}

TEST_F(SchoolYearSearch, TodayAfterEveryYearGivesTheLastYear)
{
    EXPECT_EQ(Find("20270801"), "2026|20260831|20270618");
    // Between two years the later one is taken, ending at its last day.
    EXPECT_EQ(Find("20260701"), "2026|20260831|20270618");
    EXPECT_EQ(Find("20240101"), "2026|20260831|20270618");
}

TEST_F(SchoolYearSearch, SchoolWithoutCalendarGivesNoYear)
{
    EXPECT_EQ(Find("20261015", "TSISDemo", "'999'"), "||");
}

TEST_F(SchoolYearSearch, AccessAndMssqlGetTheYearInQuotes)
{
    // Access reaches the SQLite demo through the same data source; its year
    // is written into SQL as a quoted literal, an empty calendar as ''.
    auto find = [](const char* school)
    {
        RecordedEngine engine;
        engine->ODBCDataAccess::SetDatabaseType(DatabaseType::Access);
        engine->SetDataSource("TSISDemo");
        engine->SetSchoolNumber(school);
        engine->SetDistrictNumber("'16'");
        return std::string(engine->FindCurrentSchoolYear().Text());
    };
    EXPECT_EQ(find("'101'"), "'2026'");
    EXPECT_EQ(find("'999'"), "''");
}

TEST_F(SchoolYearSearch, CalendarOfDateValuesAndAYearWithoutLastDay)
{
    ASSERT_TRUE(datesReady_);
    // 2025 still has its "LD"; 2026 ends at its last calendar day.
    EXPECT_EQ(Find("20260301", "TSISDemoDates"), "2025|20250825|20260612");
    const std::string found = Find("20261015", "TSISDemoDates");
    EXPECT_EQ(found.substr(0, 14), "2026|20260831|");
    EXPECT_LT(found.substr(14), "20270618");
    EXPECT_GT(found.substr(14), "20270601");
}

TEST_F(SchoolYearSearch, ExtractionWithoutTheNotesTable)
{
    ASSERT_TRUE(datesReady_);
    RecordedEngine engine;
    const QString folder = Export(engine, "nonotes", "TSISDemoDates");
    EXPECT_TRUE(engine.Logged("Create Student Student Notes: Table CE810 or CE 010 does not exist."));
    EXPECT_FALSE(QFile::exists(folder + "/StudentNotes.sef"));
    EXPECT_FALSE(ReadFile(folder + "/TSIS SchoolMAX.SDE").contains("Student Notes"));
    // The year-only leave date still becomes the school start date.
    EXPECT_EQ(ReadFile(folder + "/Students.sef"), ExpectedFile("Students.sef"));
}

} // namespace
