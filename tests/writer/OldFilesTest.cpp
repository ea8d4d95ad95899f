#include "MemoryWriter.h"

#include <filesystem>

#include <QDir>

#include "database.h"
#include "query.h"
#include "XException.h"

namespace
{
class OldFilesTest : public WriterTest
{
protected:
    void MakeFolder(const std::string& name) { ASSERT_TRUE(QDir().mkpath(QString::fromStdString(PathOf(name)))); }
    bool FolderExists(const std::string& name) const { return QDir(QString::fromStdString(PathOf(name))).exists(); }

    // A cache database at folder/Attendance/Attendance.db with both tables.
    void MakeCache(const std::string& folder)
    {
        MakeFolder(folder + "/Attendance");
        sqlite::Database db;
        db.Open((PathOf(folder) + "/Attendance/Attendance.db").c_str());
        db.Execute("CREATE TABLE DAILY_ATT (stdkey VARCHAR(100))");
        db.Execute("CREATE TABLE PERIOD_ATT (stdkey VARCHAR(100))");
    }
    static std::vector<std::string> Tables(const std::string& file)
    {
        sqlite::Database db;
        db.Open(file.c_str());
        sqlite::Query query(db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name");
        std::vector<std::string> names;
        while (query.Step())
            names.push_back(query.StringColumn("name").Text());
        return names;
    }
};

TEST_F(OldFilesTest, DeleteSDEFilesIgnoresCase)
{
    WriteFileBytes(PathOf("TSIS SchoolMAX.SDE"), "x");
    WriteFileBytes(PathOf("other.sde"), "x");
    WriteFileBytes(PathOf("Students.sef"), "x");
    WriteFileBytes(PathOf("StudentCustom.txt"), "x");
    writer.DeleteSDEFiles();
    EXPECT_FALSE(FileExists("TSIS SchoolMAX.SDE"));
    EXPECT_FALSE(FileExists("other.sde"));
    EXPECT_TRUE(FileExists("Students.sef"));
    EXPECT_TRUE(FileExists("StudentCustom.txt"));
    EXPECT_TRUE(signalLog.Has(8, "DeleteSDEFiles: Assigned import folder"));
}

TEST_F(OldFilesTest, DeleteUpdateFilesClearsTheIncrementalState)
{
    WriteFileBytes(PathOf("Update 20261201000000.SDU"), "x");
    WriteFileBytes(PathOf("old.sdu"), "x");
    WriteFileBytes(PathOf("SchoolConfig.xml"), "<SchoolConfig>\r\n</SchoolConfig>\r\n");
    WriteFileBytes(PathOf("Students.sef"), "x");
    MakeFolder("PAT/inner");
    WriteFileBytes(PathOf("PAT/inner/f"), "x");
    MakeFolder("DAT");
    MakeFolder("AATP1");
    MakeFolder("aatp2");
    MakeFolder("AATD-x");
    MakeFolder("Keep");
    MakeCache(".");

    writer.DeleteUpdateFiles(writer.SDEFolder());

    EXPECT_FALSE(FileExists("Update 20261201000000.SDU"));
    EXPECT_FALSE(FileExists("old.sdu"));
    EXPECT_FALSE(FileExists("SchoolConfig.xml"));
    EXPECT_TRUE(FileExists("Students.sef"));
    EXPECT_FALSE(FolderExists("PAT"));
    EXPECT_FALSE(FolderExists("DAT"));
    EXPECT_FALSE(FolderExists("AATP1"));
    EXPECT_FALSE(FolderExists("aatp2"));
    EXPECT_FALSE(FolderExists("AATD-x"));
    EXPECT_TRUE(FolderExists("Keep"));
    EXPECT_FALSE(FileExists("Attendance/Attendance.db"));
    EXPECT_EQ(2, signalLog.Count("Iterating AATP Folder"));
    for (const char* step : {"DeleteUpdateFiles: Assigned import folder", "Deleted sdu files",
                             "Changed FileName to SchoolConfig", "Deleted SchoolConfig", "Got Parent Folder",
                             "Appended PAT", "Found PAT Folder", "Deleted PAT Folder", "Reset SDE Folder",
                             "Appended DAT Folder", "Found DAT Folder", "Deleted DAT Folder",
                             "Assigned AATP Iterator", "Assigned AATD Iterator"})
        EXPECT_TRUE(signalLog.Has(8, step)) << step;
}

TEST_F(OldFilesTest, DeleteUpdateFilesDropsTablesOfTheCacheFolder)
{
    MakeCache("global");
    writer.SetGlobalFolder(XString(PathOf("global")));
    writer.DeleteUpdateFiles(writer.SDEFolder());
    EXPECT_TRUE(Tables(PathOf("global") + "/Attendance/Attendance.db").empty());
    EXPECT_TRUE(signalLog.Has(9, "UpdateConfig Query: SELECT UPDATED FROM UPDATECONFIG WHERE ELEMENT='PERIOD_ATT'"));
    // The run's cache stays the import folder's; a global folder without one gets none.
    EXPECT_FALSE(writer.Attendance().Database().IsOpen());
    std::filesystem::create_directories(PathOf("other"));
    writer.SetGlobalFolder(XString(PathOf("other")));
    writer.DeleteUpdateFiles(writer.SDEFolder());
    EXPECT_FALSE(std::filesystem::exists(PathOf("other") + "/Attendance"));
}

TEST_F(OldFilesTest, DeleteUpdateFilesOnAnEmptyFolder)
{
    EXPECT_NO_THROW(writer.DeleteUpdateFiles(writer.SDEFolder()));
    EXPECT_FALSE(signalLog.Has(8, "Found PAT Folder"));
}

TEST_F(OldFilesTest, DeleteUpdateFilesFailureTellsTheUserWhatToDo)
{
    // 252 characters: SchoolConfig.xml no longer fits behind it.
    const XFileSpec folder(("/" + std::string(250, 'a') + "/").c_str());
    const std::string expected = "Error: Failed while trying to remove SDU Files.\n Please manually remove all .sdu "
                                 "files from the Import Directory, and try extracting again.\n"
                                 "Appended length (16) would make path length exceed maximum 7."
                                 "\nExiting Extractor.";
    try
    {
        writer.DeleteUpdateFiles(folder);
        FAIL() << "no exception";
    }
    catch (const XException& e)
    {
        EXPECT_EQ(expected, e.what());
    }
    EXPECT_TRUE(signalLog.Has(2, expected));
    EXPECT_TRUE(signalLog.Has(8, "Deleted sdu files"));
    EXPECT_FALSE(signalLog.Has(8, "Changed FileName to SchoolConfig"));
}

class AttendanceCacheTest : public OldFilesTest
{
protected:
    void SetUp() override
    {
        OldFilesTest::SetUp();
        ASSERT_TRUE(writer.SetAttendanceDatabase(XString(dir.path())));
        db = &writer.Attendance().Database();
        ASSERT_NE(nullptr, db);
        db->Execute("CREATE TABLE DAILY_ATT (stdkey VARCHAR(100))");
        db->Execute("CREATE TABLE OTHER (stdkey VARCHAR(100))");
    }
    sqlite::Database* db = nullptr;
};

TEST_F(AttendanceCacheTest, OpensBelowTheGivenFolder)
{
    EXPECT_TRUE(FileExists("Attendance/Attendance.db"));
}

TEST_F(AttendanceCacheTest, MissingFolderFallsBackToTheSDEFolder)
{
    writer.DeleteAttendanceDatabase();
    EXPECT_FALSE(FileExists("Attendance/Attendance.db"));
    XString missing(PathOf("nowhere"));
    EXPECT_TRUE(writer.SetAttendanceDatabase(missing));
    EXPECT_TRUE(FileExists("Attendance/Attendance.db"));
    EXPECT_TRUE(signalLog.Has(8, std::string("Folder does not exist") + PathOf("nowhere") + " trying: " +
                                     writer.SDEFolder().Path()));
}

TEST_F(AttendanceCacheTest, UpdateIsDueWithoutUpdateConfig)
{
    EXPECT_TRUE(writer.CheckAttendanceUpdate("DAILY_ATT"));
    bool logged = false;
    for (const auto& entry : signalLog.logs)
        logged = logged || (entry.level == 8 && entry.message.rfind("Check SQLite Update Date: ", 0) == 0);
    EXPECT_TRUE(logged);
}

TEST_F(AttendanceCacheTest, UpdateIsDueTwelveHoursAfterTheLastOne)
{
    db->Execute("CREATE TABLE UPDATECONFIG (ELEMENT VARCHAR(100), UPDATED VARCHAR(30))");
    db->Execute("INSERT INTO UPDATECONFIG VALUES ('DAILY_ATT', '2026-12-08 22:11:11.000')");
    db->Execute("INSERT INTO UPDATECONFIG VALUES ('PERIOD_ATT', '2026-12-08 22:11:13.000')");
    // Now is 2026-12-09 10:11:12.
    EXPECT_TRUE(writer.CheckAttendanceUpdate("DAILY_ATT"));   // 12:00:01 ago
    EXPECT_FALSE(writer.CheckAttendanceUpdate("PERIOD_ATT")); // 11:59:59 ago
    EXPECT_TRUE(writer.CheckAttendanceUpdate("NO_ROW"));
}

TEST_F(AttendanceCacheTest, DropOnlyTheAttendanceTables)
{
    writer.DropAttendanceTable("OTHER");
    writer.DropAttendanceTable("DAILY_ATT");
    writer.DropAttendanceTable("PERIOD_ATT"); // missing: reported, not thrown
    std::vector<std::string> left;
    sqlite::Query query(*db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name");
    while (query.Step())
        left.push_back(query.StringColumn("name").Text());
    EXPECT_EQ(std::vector<std::string>{"OTHER"}, left);
    bool reported = false;
    for (const auto& entry : signalLog.logs)
        reported = reported || (entry.level == 3 && entry.message.rfind("Failed to Drop table: PERIOD_ATT: ", 0) == 0);
    EXPECT_TRUE(reported);
}
} // namespace
