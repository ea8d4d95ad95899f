#include "MemoryWriter.h"

namespace
{
class ImportControlFileTest : public WriterTest
{
protected:
    SISExpCustomFieldList studentList{"StudentCustom.txt", "Student User-Defined Fields", "StudentCustom.sef",
                                      1};
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

    EXPECT_EQ(Golden("FullExport.SDE"), ControlFile()); // the first list is named by no hint
    EXPECT_TRUE(signalLog.Has(8, "Begin Finish Import"));
    EXPECT_TRUE(FileExists("StudentCustom.txt"));
    EXPECT_TRUE(FileExists("StaffCustom.txt")); // a list without fields still gets its file
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

    EXPECT_EQ(Golden("EveryPragma.SDE"), ControlFile());
}

TEST_F(ImportControlFileTest, DeprecatedPragmaFailsTheRun)
{
    writer.Settings().crsKeyInSecKey = true;
    writer.StartImport();
    EXPECT_EQ("CrsKeyInSecKey Pragma is deprecated. Do not use!",
              ThrownText([this] { writer.FinishImport(); }));
    EXPECT_TRUE(signalLog.Has(2, "CrsKeyInSecKey Pragma is deprecated. Do not use!"));
    // The banner was written, the rest is missing.
    const std::string banner = Golden("EveryPragma.SDE");
    EXPECT_EQ(banner.substr(0, banner.find("#pragma")), ControlFile());
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

    EXPECT_EQ(Golden("Update.SDU"), FileBytes("Update 20261209101112.SDU"));
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
