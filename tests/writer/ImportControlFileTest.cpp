#include "ImportFileTestText.h"
#include "MemoryWriter.h"

#include "XException.h"

namespace
{
class ImportControlFileTest : public WriterTest
{
protected:
    SISExpCustomFieldList studentList{"StudentCustom.txt", "Student User-Defined Fields", "StudentCustom.sef", 1};
    SISExpCustomFieldList staffList{"StaffCustom.txt", "Staff User-Defined Fields", "StaffCustom.sef", 1};

    std::string ControlFile() const { return FileBytes("TSIS SchoolMAX.SDE"); }
};

TEST_F(ImportControlFileTest, FullExportAcrossMidnight)
{
    writer.AppendCustomFieldList(&studentList);
    writer.AppendCustomFieldList(&staffList);
    XClock::SetFixed(At(2026, 12, 9, 23, 59, 0));
    writer.StartImport();

    writer.StartTable("Student Demographics", "Students.sef", true);
    writer.AddHeaderField("StdKey", "Email", "Email", "#customcomfield", "EMAIL");
    writer.AddHeaderField("StdLastName");
    writer.AddCustomField("Email", "Other label", "#custombasicfield", "X"); // title taken: ignored
    writer.AddCustomField("Grade \"A\"", "GA", "#customgradefield", "GRADE");
    writer.FinishTable();

    writer.StartTable("Lookup Only", "");
    writer.FinishTable();

    writer.StartTable("Student Medical Allergy", "StudentAllergy.sef");
    writer.AddHeaderField("MedConditStdRef");
    writer.AddHeaderField("MedConditTypeRef$=\"Allergy\"");
    writer.FinishTable();

    studentList.AddHeaderName("StdKey");
    studentList.AddHeaderAndField("UDF1", "Locker", "Locker", "#customschoolfield", "NOFORMAT");

    XClock::SetFixed(At(2026, 12, 10, 0, 1, 0));
    writer.FinishImport();

    std::string expected =
        ExpectedBanner("Dec 10, 2026 0:01:00", "2026",
                       "//\r\n"
                       "// If you wish to import Staff User-Defined Fields, please see StaffCustom.txt in the "
                       "folder that\r\n"
                       "//  contains this file.\r\n") +
        ExpectedDefaultPragmas("12/10/2026") + Slashes() +
        "// Custom Fields \r\n"
        "//\r\n"
        "\r\n"
        "#customcomfield \"Email\" \"Email\" \"EMAIL\"\r\n"
        "#customgradefield \"Grade A\" \"GA\" \"GRADE\"\r\n"
        "\r\n" +
        Slashes() +
        "// Import Files and Headers\r\n"
        "//\r\n"
        "\r\n"
        "// Student Demographics\r\n"
        "StdKey\tStdLastName\r\n"
        "#safeinclude \"Students.sef\"\r\n"
        "*\r\n"
        "\r\n"
        "// Student Medical Allergy\r\n"
        "MedConditStdRef\tMedConditTypeRef$=\"Allergy\"\r\n"
        "#include \"StudentAllergy.sef\"\r\n"
        "*\r\n"
        "\r\n"
        "// Student User-Defined Fields\r\n"
        "#include \"StudentCustom.txt\"\r\n"
        "\r\n"
        "//  Timing \r\n"
        "//  Start: 23:59:00\r\n"
        "//  End: 0:01:00\r\n"
        "//  Difference: 0:02:00\r\n"
        "\r\n";
    EXPECT_EQ(expected, ControlFile());
    EXPECT_TRUE(FileExists("StudentCustom.txt"));
    EXPECT_TRUE(FileExists("StaffCustom.txt")); // a list without fields still gets its file
}

TEST_F(ImportControlFileTest, DefaultsWithOneListHaveNoImportHints)
{
    writer.AppendCustomFieldList(&studentList);
    writer.StartImport();
    writer.FinishImport();
    std::string expected = ExpectedBanner("Dec 09, 2026 10:11:12", "2026") + ExpectedDefaultPragmas("12/09/2026") +
                           Slashes() + "// Custom Fields \r\n//\r\n\r\n\r\n" + Slashes() +
                           "// Import Files and Headers\r\n//\r\n\r\n"
                           "//  Timing \r\n"
                           "//  Start: 10:11:12\r\n"
                           "//  End: 10:11:12\r\n"
                           "//  Difference: 0:00:00\r\n\r\n";
    EXPECT_EQ(expected, ControlFile());
    EXPECT_TRUE(signalLog.Has(8, "Begin Finish Import"));
}

TEST_F(ImportControlFileTest, EveryPragmaInOrder)
{
    ImportSettings& s = writer.Settings();
    s.creatorName = "schmax";
    s.exportSource = "SchoolMAX";
    s.schoolName = "Lincoln High";
    s.nameFormat = "L, F";
    s.dateFormat = "YYYYMMDD";
    s.timeFormat = "HHNNSS";
    s.dateTimeFormat = "YYYYMMDDHHNNSS";
    s.verify = true;
    s.gradesDontCreateSections = true;
    s.attendanceDoesntCreateDates = false;
    s.termsAreBins = true;
    s.maxExpectedTimeSlots = 12;
    s.maxExpectedDays = 6;
    s.maxExpectedTerms = 4;
    s.maxExpectedPeriods = 9;
    s.maxExpectedBins = 3;
    s.quotes = "\"'";
    s.ignoreStaffMultiCal = true;
    s.showInfo = true;
    s.minVersion = ImportSettings::PackVersion(2, 1, 0, 57);
    writer.StartImport();
    writer.FinishImport();

    const std::string pragmas = "#pragma creator \"schmax\" \"4.2.9.0\"\r\n\r\n"
                                "#pragma exportsource \"SchoolMAX\"\r\n\r\n"
                                "#pragma dateformat \"YYYYMMDD\"\r\n\r\n"
                                "#pragma timeformat \"HHNNSS\"\r\n\r\n"
                                "#pragma datetimeformat \"YYYYMMDDHHNNSS\"\r\n\r\n"
                                "#pragma verify\r\n\r\n"
                                "#pragma exportdate \"20261209\"\r\n\r\n"
                                "#pragma schoolname \"Lincoln High\"\r\n\r\n"
                                "#pragma nameformat \"L, F\"\r\n\r\n"
                                "#pragma gradesdontcreatesections\r\n\r\n"
                                "#pragma termsarebins\r\n\r\n"
                                "#pragma maxexpectedtimeslots \"12\"\r\n\r\n"
                                "#pragma maxexpecteddays \"6\"\r\n\r\n"
                                "#pragma maxexpectedterms \"4\"\r\n\r\n"
                                "#pragma maxexpectedperiods \"9\"\r\n\r\n"
                                "#pragma maxexpectedbins \"3\"\r\n\r\n"
                                "#pragma quotes \"'\r\n\r\n"
                                "#pragma ignorestaffmultical\r\n\r\n"
                                "#pragma showinfo\r\n\r\n"
                                "#pragma minversion \"2.1.0.57\"\r\n\r\n";
    std::string file = ControlFile();
    std::string banner = ExpectedBanner("Dec 09, 2026 10:11:12", "2026");
    ASSERT_GE(file.size(), banner.size() + pragmas.size());
    EXPECT_EQ(banner + pragmas + Slashes(), file.substr(0, banner.size() + pragmas.size() + Slashes().size()));
}

TEST_F(ImportControlFileTest, DeprecatedPragmaFailsTheRun)
{
    writer.Settings().crsKeyInSecKey = true;
    writer.StartImport();
    try
    {
        writer.FinishImport();
        FAIL() << "no exception";
    }
    catch (const XException& e)
    {
        EXPECT_STREQ("CrsKeyInSecKey Pragma is deprecated. Do not use!", e.what());
    }
    EXPECT_TRUE(signalLog.Has(2, "CrsKeyInSecKey Pragma is deprecated. Do not use!"));
    // The banner was written, the rest is missing.
    EXPECT_EQ(ExpectedBanner("Dec 09, 2026 10:11:12", "2026"), ControlFile());
}

TEST_F(ImportControlFileTest, StartImportForgetsTheLastRun)
{
    writer.AppendCustomFieldList(&studentList);
    writer.StartTable("Students", "Students.sef");
    writer.AddHeaderField("StdKey", "Email", "Email", "#customcomfield", "EMAIL");
    studentList.AddHeaderAndField("UDF1", "Locker", "Locker", "#customschoolfield", "NOFORMAT");
    writer.StartImport();
    EXPECT_TRUE(writer.Headers().empty());
    EXPECT_TRUE(writer.OwnCustomFields().IsEmpty());
    EXPECT_TRUE(studentList.IsEmpty());
    EXPECT_FALSE(studentList.Header().HasNames());
    EXPECT_EQ("Student User-Defined Fields", std::string(studentList.Header().Title().Text()));
    EXPECT_TRUE(signalLog.Has(7, "Starting Import"));
    EXPECT_FALSE(writer.UpdateMode());
}

TEST_F(ImportControlFileTest, UpdateFileWithTwoTables)
{
    XTextFile file('\t');
    writer.StartUpdate(file);
    EXPECT_TRUE(writer.UpdateMode());

    writer.rows = {{"1001", "20261201"}, {"1002", "20261202"}};
    writer.StartTable("Student Daily Attendance", "StudentDailyAtt.sef");
    writer.AddValueColumn("AttStdRef", 0);
    writer.AddValueColumn("AttDate", 1);
    EXPECT_EQ(2, writer.WriteTable());
    writer.FinishTable();

    writer.rows = {{"1001", "3"}};
    writer.StartTable("Student Period Attendance", "StudentPeriodAtt.sef");
    writer.AddValueColumn("AttStdRef", 0);
    writer.AddValueColumn("AttPerRef", 1);
    EXPECT_EQ(1, writer.WriteTable());
    writer.FinishTable();

    XClock::SetFixed(At(2026, 12, 9, 10, 12, 0));
    writer.FinishUpdate();
    EXPECT_FALSE(file.IsOpen());

    std::string expected = ExpectedBanner("Dec 09, 2026 10:11:12", "2026") +
                           "#pragma update \"20261209101112\"\r\n\r\n" + ExpectedDefaultPragmas("12/09/2026") +
                           Slashes() +
                           "// Import Files and Headers\r\n//\r\n\r\n"
                           "// Student Daily Attendance\r\n"
                           "AttStdRef\tAttDate\r\n"
                           "1001\t20261201\r\n"
                           "1002\t20261202\r\n"
                           "*\r\n\r\n"
                           "// Student Period Attendance\r\n"
                           "AttStdRef\tAttPerRef\r\n"
                           "1001\t3\r\n"
                           "*\r\n\r\n"
                           "//  Timing \r\n"
                           "//  Start: 10:11:12\r\n"
                           "//  End: 10:12:00\r\n"
                           "//  Difference: 0:00:48\r\n\r\n";
    EXPECT_EQ(expected, FileBytes("Update 20261209101112.SDU"));
    EXPECT_FALSE(FileExists("StudentDailyAtt.sef"));
    EXPECT_FALSE(FileExists("StudentPeriodAtt.sef"));
    EXPECT_TRUE(signalLog.Has(8, "Finished SDU File. Lines= 2"));
}

// Two update runs in one second share the file; after its end, update tables are refused.
TEST_F(ImportControlFileTest, UpdateTableWithoutUpdateFileIsRefused)
{
    for (int run = 0; run < 2; ++run)
    {
        XTextFile file('\t');
        writer.StartUpdate(file);
        writer.FinishUpdate();
    }
    const std::string bytes = FileBytes("Update 20261209101112.SDU");
    EXPECT_EQ(bytes.find("#pragma update"), bytes.rfind("#pragma update"));
    writer.StartTable("Student Daily Attendance", "StudentDailyAtt.sef");
    EXPECT_THROW(writer.WriteTable(), XException);
    EXPECT_THROW(writer.FinishUpdate(), XException);
}

TEST_F(ImportControlFileTest, EndExportSavesConfigurationAndReportsCompletion)
{
    writer.StartTable("Students", "Students.sef");
    writer.EndExport();
    EXPECT_TRUE(writer.Headers().empty());
    EXPECT_TRUE(FileExists("SchoolConfig.xml"));
    EXPECT_TRUE(signalLog.Has(5, "Export complete."));
    ASSERT_FALSE(signalLog.progress.empty());
    EXPECT_EQ(std::make_pair(std::string("bridge_complete"), -1), signalLog.progress.back());
    EXPECT_EQ("Export complete.", signalLog.increments.back());
}
} // namespace
