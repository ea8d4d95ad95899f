// Extractions from the demo district other than the plain full export: a
// second run, other schools, years and database types, values that must
// stay inside their literals, attendance only.
#include "DatabaseType.h"
#include "DemoHarness.h"

using namespace e2e;

namespace
{

class SqliteExtraction : public DemoSuite<SqliteExtraction>
{
public:
    static DemoPlan Demo() { return {}; }

protected:
    // One extraction (full export) in folder; the recorded engine stays for the checks.
    bool Run(RecordedEngine& engine, const QString& folder, const QString& school = "101",
             const QString& district = "16")
    {
        ParamMap params = RunParams(folder, "TSISDemo", school, district);
        QString error;
        return engine->BeginExecute(params, 1, error);
    }
};

TEST_F(SqliteExtraction, SecondRunKeepsTheUpdateFilesAnotherSchoolDeletesThem)
{
    const QString folder = FreshFolder("rerun");
    {
        RecordedEngine first;
        ASSERT_TRUE(Run(first, folder)) << first.Dump();
    }
    const QString updateFile = folder + "/Update 20261014093000.SDU";
    {
        QFile f(updateFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    {
        RecordedEngine second;
        ASSERT_TRUE(Run(second, folder)) << second.Dump();
        EXPECT_TRUE(second.Logged("Bridge Configuration Did Not Change."));
        EXPECT_FALSE(second.Logged("Bridge Configuration Changed."));
        EXPECT_TRUE(QFile::exists(updateFile));
    }
    {
        RecordedEngine other;
        ASSERT_TRUE(Run(other, folder, "202")) << other.Dump();
        EXPECT_TRUE(other.Logged("School Changed. Old='101' new='202'"));
        EXPECT_TRUE(other.Logged("Bridge Configuration Changed."));
        EXPECT_FALSE(QFile::exists(updateFile));
        EXPECT_TRUE(ReadFile(folder + "/SchoolConfig.xml").contains("LastSchoolNumberValue=\"'202'\""));
    }
}

TEST_F(SqliteExtraction, YearGivenByTheUserIsUsed)
{
    const QString folder = FreshFolder("useyear");
    RecordedEngine engine;
    ParamMap params = RunParams(folder, "TSISDemo");
    params["useyear"] = "true";
    params["year"] = "2025";
    QString error;
    ASSERT_TRUE(engine->BeginExecute(params, 1, error)) << engine.Dump();
    EXPECT_TRUE(engine.Logged("School Year (b4): 2025"));
    EXPECT_TRUE(engine.Logged("School Year: 2025"));
    EXPECT_TRUE(engine.Logged("School Start Date: 20250825"));
    EXPECT_TRUE(engine.Logged("School End Date: 20260612"));

    RecordedEngine bad;
    params["year"] = "2025; DROP TABLE ST010";
    const QString badFolder = FreshFolder("badyear");
    params["path"] = badFolder;
    EXPECT_FALSE(bad->BeginExecute(params, 1, error));
    EXPECT_TRUE(error.startsWith("The parameter year must be a whole number")) << error.toStdString();
    EXPECT_FALSE(QFile::exists(badFolder + "/Students.sef"));
}

TEST_F(SqliteExtraction, AttendanceOnlyRunWritesNoTableFiles)
{
    RecordedEngine engine;
    const QString folder = Export(engine, "attendance", "TSISDemo", 2);
    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, QStringList({"SchoolConfig.xml", "Update 20261015093000.SDU"}));
    const QByteArray update = ReadFile(folder + "/Update 20261015093000.SDU");
    EXPECT_TRUE(update.contains("#pragma update \"20261015093000\"\r\n\r\n")) << update.toStdString();
    EXPECT_FALSE(update.contains("#include"));
}

TEST_F(SqliteExtraction, AccessQuotesDistrictAndYear)
{
    // A type found before is tried first: the SQLite demo answers the Access
    // trial too, so the whole run goes with Access's quoted values.
    const QString folder = FreshFolder("access");
    RecordedEngine engine;
    engine->ODBCDataAccess::SetDatabaseType(DatabaseType::Access);
    ASSERT_TRUE(Run(engine, folder)) << engine.Dump();
    EXPECT_TRUE(engine.Logged("Validate Connection Successful, using Access; SY005"));
    EXPECT_FALSE(engine.LoggedContaining("Trying: "));
    EXPECT_TRUE(engine.Logged("District Number: '16'"));
    EXPECT_TRUE(engine.Logged("School Year: '2026'"));
    EXPECT_TRUE(engine.LoggedContaining(
        "FROM ST010 stu, CE020 enroll  WHERE stu.ID_NBR = enroll.ID_NBR AND stu.DST_NBR = enroll.DST_NBR"
        " AND stu.SCH_NBR = '101' AND stu.SCH_YR = '2026' AND stu.DST_NBR = '16'"));
    EXPECT_EQ(ReadFile(folder + "/Students.sef"), ExpectedFile("Students.sef"));
    EXPECT_EQ(ReadFile(folder + "/StudentNotes.sef"), ExpectedFile("StudentNotes.sef"));
    EXPECT_TRUE(
        ReadFile(folder + "/SchoolConfig.xml").contains("<LastDistrict LastDistrictValue=\"'16'\"/>"));

    // An empty district stays empty rather than becoming ''.
    RecordedEngine noDistrict;
    noDistrict->ODBCDataAccess::SetDatabaseType(DatabaseType::Access);
    ASSERT_TRUE(Run(noDistrict, FreshFolder("access-nodistrict"), "101", "")) << noDistrict.Dump();
    EXPECT_TRUE(noDistrict.Logged("District Number: "));
    EXPECT_FALSE(noDistrict.LoggedContaining("DST_NBR = ''"));
}

TEST_F(SqliteExtraction, WrongDataSourceFailsWithoutThrowing)
{
    const QString folder = FreshFolder("nodsn");
    RecordedEngine engine;
    ParamMap params = RunParams(folder, "NoSuchDemoDSN");
    QString error;
    bool ok = true;
    EXPECT_NO_THROW(ok = engine->BeginExecute(params, 1, error));
    EXPECT_FALSE(ok);
    EXPECT_FALSE(QFile::exists(folder + "/Students.sef"));
    EXPECT_TRUE(engine.Logged("Cannot determine School Year, cannot continue.")) << engine.Dump();
}

// The same over each database: a quoted school and a district that is no number.
class DemoRuns : public DemoSuite<DemoRuns, ::testing::TestWithParam<const char*>>
{
public:
    static DemoPlan Demo() { return {{"tsis"}, true, "runs"}; }

protected:
    QString Dsn() const override { return GetParam(); }
};

// A quoted school stays inside its literal: the statement runs and finds no
// calendar for such a school. A district that is no number fails before any export.
TEST_P(DemoRuns, QuotesAndNumbersAreSafe)
{
    RecordedEngine engine;
    QString error;
    ParamMap params = RunParams(FreshFolder("quote"), Dsn(), "10'1 OR '1'='1");
    EXPECT_FALSE(engine->BeginExecute(params, 1, error));
    EXPECT_TRUE(engine.Logged("SchoolNumber: '10''1 OR ''1''=''1'"));
    EXPECT_TRUE(engine.Logged("Cannot determine School Year, cannot continue."));
    EXPECT_FALSE(engine.Logged("Error Extracting School Year.")) << engine.Dump();
    EXPECT_FALSE(QFile::exists(params["path"] + "/Students.sef"));

    RecordedEngine district;
    params = RunParams(FreshFolder("district"), Dsn(), "101", "16 OR 1=1");
    EXPECT_FALSE(district->BeginExecute(params, 1, error));
    const QString message = "The parameter district must be a whole number for the database type Oracle "
                            "(ODBC), but it is \"16 OR 1=1\".";
    EXPECT_EQ(error, message);
    EXPECT_TRUE(std::any_of(district.Log().begin(), district.Log().end(),
                            [&](const LogLine& l) { return l.level == 3 && l.message == message; }))
        << district.Dump();
    EXPECT_FALSE(district.LoggedContaining("Finding Current School Year"));
    EXPECT_EQ(QDir(params["path"]).entryList(QDir::Files), QStringList());
}

TEST_P(DemoRuns, CalendarSetsTheSchoolDatesOfTheRun)
{
    // Attendance only: the dates of the school year search (first and last day).
    RecordedEngine attendance;
    Export(attendance, "dates-att", Dsn(), 2);
    EXPECT_EQ(attendance->SchoolStartDate().Format("YYYYMMDD"), "20260831");
    EXPECT_FALSE(attendance.LoggedContaining("Create Calendar"));

    // Both: the calendar's first dated day (a workday before the first day)
    // and its last; the 0 row sets neither.
    RecordedEngine both;
    Export(both, "dates-both", Dsn(), 3);
    EXPECT_TRUE(both.Logged("Create Calendar: Set Start Date to: 20260828")) << both.Dump();
    EXPECT_TRUE(both.Logged("Create Calendar: Set End Date to: 20270618"));
    EXPECT_EQ(both->SchoolStartDate().Format("YYYYMMDD"), "20260828");
    EXPECT_EQ(both->SchoolEndDate().Format("YYYYMMDD"), "20270618");
}

TEST_P(DemoRuns, DaysOfSchoolsWithOtherSpellings)
{
    // 202 spells a whole week in other ways; 303 writes Thursday two ways, so no week.
    for (const char* school : {"202", "303"})
    {
        RecordedEngine engine;
        const QString folder = Export(engine, std::string("days-") + school, Dsn(), 1, school);
        EXPECT_EQ(ReadFile(folder + "/Days.sef"), ExpectedFile(QString("scheduling/Days-%1.sef").arg(school)))
            << school;
    }
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoRuns, ::testing::Values("TSISDemo", "TSISDemoPG"), ParamName);

} // namespace
