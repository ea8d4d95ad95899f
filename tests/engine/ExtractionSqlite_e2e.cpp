// Full extractions from the SQLite demo district through ODBC.
#include "DatabaseType.h"
#include "EngineDemoHarness.h"

using namespace enginee2e;

namespace
{

class SqliteExtraction : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { demo_ = new DemoDistrict({"tsis"}, false); }
    static void TearDownTestSuite()
    {
        delete demo_;
        demo_ = nullptr;
        RemoveProcessFolders();
    }
    void SetUp() override { ASSERT_TRUE(demo_->Ok()) << demo_->Error(); }

    // One extraction (full export) in folder; the recorded engine stays for the checks.
    bool Run(RecordedEngine& engine, const QString& folder, const QString& school = "101",
             const QString& district = "16", QString* error = nullptr)
    {
        ParamMap params = RunParams(folder, "TSISDemo", school, district);
        QString text;
        bool ok = engine->BeginExecute(params, 1, text);
        if (error)
            *error = text;
        return ok;
    }

    static DemoDistrict* demo_;
    FixedToday today_;
};

DemoDistrict* SqliteExtraction::demo_ = nullptr;

TEST_F(SqliteExtraction, WritesTheExpectedFiles)
{
    const QString folder = FreshFolder("full");
    RecordedEngine engine;
    ASSERT_TRUE(Run(engine, folder)) << engine.Dump();

    EXPECT_EQ(ReadFile(folder + "/Students.sef"), ExpectedFile("Students.sef"));
    EXPECT_EQ(ReadFile(folder + "/StudentNotes.sef"), ExpectedFile("StudentNotes.sef"));
    EXPECT_EQ(MaskTimes(ReadFile(folder + "/TSIS SchoolMAX.SDE")), ExpectedFile("TSIS SchoolMAX.SDE"));
    EXPECT_EQ(ReadFile(folder + "/StudentCustom.txt"), ExpectedFile("StudentCustom.txt"));
    EXPECT_EQ(ReadFile(folder + "/SchoolConfig.xml"), ExpectedFile("SchoolConfig-TSISDemo.xml"));
    // Nothing else.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              QStringList({"AttCodes.sef",         "Bins.sef",
                           "Calendar.sef",         "ConductInType.sef",
                           "ConductIncident.sef",  "ConductOutType.sef",
                           "ConductOutcome.sef",   "Courses.sef",
                           "CustodyNotes.sef",     "Days.sef",
                           "GradeScores.sef",      "HealthConcernTypes.sef",
                           "LegalNotes.sef",       "SchoolConfig.xml",
                           "SectionRooms.sef",     "SectionStaff.sef",
                           "Sections.sef",         "Staff.sef",
                           "StateIncident.sef",    "StuHealthConcern.sef",
                           "StuImmunizations.sef", "StuMedications.sef",
                           "StudentCon.sef",       "StudentCustom.sef",
                           "StudentCustom.txt",    "StudentGrades.sef",
                           "StudentMed.sef",       "StudentNotes.sef",
                           "StudentParent.sef",    "StudentPhysAddr.sef",
                           "StudentSched.sef",     "StudentTransport.sef",
                           "Students.sef",         "TSIS SchoolMAX.SDE",
                           "TermDates.sef",        "Terms.sef"}));
}

TEST_F(SqliteExtraction, LogsDetectionAliasYearAndSchoolDates)
{
    const QString folder = FreshFolder("log");
    RecordedEngine engine;
    ASSERT_TRUE(Run(engine, folder)) << engine.Dump();

    // The MSSQL trials fail cleanly before the Oracle (ODBC) trial succeeds.
    EXPECT_TRUE(engine.Logged("Trying: MSSQL with suffix: _V"));
    EXPECT_TRUE(engine.Logged("Trying: Oracle (ODBC)"));
    EXPECT_TRUE(engine.Logged("Validate Connection Successful, using Oracle (ODBC); DBTSIS_SY005_V"));
    EXPECT_TRUE(engine.Logged("Able to query using: SY005"));
    EXPECT_TRUE(engine.Logged("Setting alias to TSIS"));
    EXPECT_TRUE(engine.Logged("Alias is set to: tsis"));
    EXPECT_TRUE(engine.Logged("SchoolNumber: '101'"));
    EXPECT_TRUE(engine.Logged("District Number: 16"));
    EXPECT_TRUE(engine.Logged("School Year: 2026"));
    EXPECT_TRUE(engine.Logged("School Start Date: 20260831"));
    EXPECT_TRUE(engine.Logged("School End Date: 20270618"));
    EXPECT_TRUE(engine.Logged("Today is Before End Date: 20261015 >= 20270618"));
    EXPECT_TRUE(engine.Logged("Bridge Configuration Changed."));
    EXPECT_TRUE(engine.Logged("Export complete."));
    // Homeroom teacher 0 is not collected; the others are.
    EXPECT_TRUE(engine.Logged("AddThisToStaffLUT: added10100"));
    EXPECT_FALSE(engine.Logged("AddThisToStaffLUT: added0"));
    EXPECT_TRUE(engine->StaffList().Contains("9001"));
    // One homeroom teacher per grade, 10100 to 10105 (the section teachers are
    // the same staff), and the counselor; then the conduct staff 10001 to 10004
    // and the referee "0".
    EXPECT_TRUE(engine->StaffList().Contains("10105"));
    EXPECT_EQ(engine->StaffList().Count(), 12) << engine.Dump();
    // The student without names is left out, the others are in.
    EXPECT_FALSE(engine->IncludedStudents().Contains("900001"));
    EXPECT_TRUE(engine->IncludedStudents().Contains("900003"));
    XString name;
    ASSERT_TRUE(engine->StudentNames().Find("900006", name));
    EXPECT_STREQ(name.Text(), "Zo\xeb Mu\xf1oz");
}

TEST_F(SqliteExtraction, FillsTheCodeTables)
{
    const QString folder = FreshFolder("codes");
    RecordedEngine engine;
    ASSERT_TRUE(Run(engine, folder)) << engine.Dump();
    XString value;
    ASSERT_TRUE(engine->RelationshipCodes().Find("M", value));
    EXPECT_STREQ(value.Text(), "Mother");
    EXPECT_EQ(engine->RelationshipCodes().Count(), 9);
    ASSERT_TRUE(engine->BusLocations().Find("A", value));
    EXPECT_STREQ(value.Text(), "Stop A");
    // Only discipline weapon codes (EVENT_CAT 'DIS').
    ASSERT_TRUE(engine->Weapons().Find("KN", value));
    EXPECT_STREQ(value.Text(), "Knife");
    EXPECT_FALSE(engine->Weapons().Contains("ZZ"));
    // EV090 is split by its event type; other types are dropped.
    ASSERT_NE(engine->MiscDiscipline("DISB"), nullptr);
    ASSERT_TRUE(engine->MiscDiscipline("DISB")->Find("AP", value));
    EXPECT_STREQ(value.Text(), "Assistant Principal");
    EXPECT_FALSE(engine->MiscDiscipline("DISB")->Contains("N"));
    ASSERT_TRUE(engine->MiscDiscipline("ELRE")->Find("N", value));
    EXPECT_STREQ(value.Text(), "Not eligible to return");
    EXPECT_EQ(engine->MiscDiscipline("REST")->Count(), 2);
    EXPECT_EQ(engine->MiscDiscipline("OTHR"), nullptr);
    for (const char* type : {"DISB", "DREA", "REST", "EDRE", "ELRE"})
        EXPECT_FALSE(engine->MiscDiscipline(type)->Contains("XX"));
    for (const LogLine& line : engine.Log())
        EXPECT_GT(line.level, 3) << line.message.toStdString();
}

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

TEST_F(SqliteExtraction, SchoolWithAQuoteStaysInsideItsLiteral)
{
    const QString folder = FreshFolder("quote");
    RecordedEngine engine;
    EXPECT_FALSE(Run(engine, folder, "10'1 OR '1'='1"));
    // The statement ran and found no calendar for such a school; it did not break.
    EXPECT_TRUE(engine.Logged("SchoolNumber: '10''1 OR ''1''=''1'"));
    EXPECT_TRUE(engine.Logged("Cannot determine School Year, cannot continue."));
    EXPECT_FALSE(engine.Logged("Error Extracting School Year."));
    EXPECT_FALSE(QFile::exists(folder + "/Students.sef"));
}

TEST_F(SqliteExtraction, DistrictThatIsNotANumberFailsBeforeAnyExport)
{
    const QString folder = FreshFolder("district");
    RecordedEngine engine;
    QString error;
    EXPECT_FALSE(Run(engine, folder, "101", "16 OR 1=1", &error));
    const QString message = "The parameter district must be a whole number for the database type Oracle "
                            "(ODBC), but it is \"16 OR 1=1\".";
    EXPECT_EQ(error, message);
    bool loggedAsError = false;
    for (const LogLine& line : engine.Log())
        loggedAsError |= line.level == 3 && line.message == message;
    EXPECT_TRUE(loggedAsError) << engine.Dump();
    EXPECT_FALSE(engine.LoggedContaining("Finding Current School Year"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList());
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
    const QString folder = FreshFolder("attendance");
    RecordedEngine engine;
    ParamMap params = RunParams(folder, "TSISDemo");
    QString error;
    ASSERT_TRUE(engine->BeginExecute(params, 2, error)) << engine.Dump();
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

} // namespace
