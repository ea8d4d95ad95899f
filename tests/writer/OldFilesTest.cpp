#include "MemoryWriter.h"

#include <filesystem>

#include "database.h"
#include "query.h"

namespace
{
class OldFilesTest : public WriterTest
{
protected:
    void MakeFolder(const std::string& name)
    {
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(PathOf(name))));
    }

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
    for (const char* name : {"TSIS SchoolMAX.SDE", "other.sde", "Students.sef", "StudentCustom.txt"})
        WriteFileBytes(PathOf(name), "x");
    writer.DeleteSDEFiles();
    EXPECT_EQ((QStringList{"StudentCustom.txt", "Students.sef"}), Entries());
    EXPECT_TRUE(signalLog.Has(8, "DeleteSDEFiles: Assigned import folder"));
}

TEST_F(OldFilesTest, DeleteUpdateFilesClearsTheIncrementalState)
{
    EXPECT_NO_THROW(writer.DeleteUpdateFiles(writer.SDEFolder())); // nothing to delete yet
    EXPECT_FALSE(signalLog.Has(8, "Found PAT Folder"));
    WriteFileBytes(PathOf("Update 20261201000000.SDU"), "x");
    WriteFileBytes(PathOf("old.sdu"), "x");
    WriteFileBytes(PathOf("SchoolConfig.xml"), "<SchoolConfig>\r\n</SchoolConfig>\r\n");
    WriteFileBytes(PathOf("Students.sef"), "x");
    MakeFolder("PAT/inner");
    WriteFileBytes(PathOf("PAT/inner/f"), "x");
    for (const char* folder : {"DAT", "AATP1", "aatp2", "AATD-x", "Keep"})
        MakeFolder(folder);
    MakeCache(".");

    writer.DeleteUpdateFiles(writer.SDEFolder());

    EXPECT_EQ((QStringList{"Attendance", "Keep", "Students.sef"}), Entries());
    EXPECT_EQ(QStringList(), Entries("Attendance"));
    EXPECT_EQ(2, signalLog.Count("Iterating AATP Folder"));
    for (const char* step :
         {"DeleteUpdateFiles: Assigned import folder", "Deleted sdu files",
          "Changed FileName to SchoolConfig", "Deleted SchoolConfig", "Got Parent Folder", "Appended PAT",
          "Found PAT Folder", "Deleted PAT Folder", "Reset SDE Folder", "Appended DAT Folder",
          "Found DAT Folder", "Deleted DAT Folder", "Assigned AATP Iterator", "Assigned AATD Iterator"})
        EXPECT_TRUE(signalLog.Has(8, step)) << step;
}

TEST_F(OldFilesTest, DeleteUpdateFilesDropsTablesOfTheCacheFolder)
{
    MakeCache("global");
    writer.SetGlobalFolder(XString(PathOf("global")));
    writer.DeleteUpdateFiles(writer.SDEFolder());
    EXPECT_TRUE(Tables(PathOf("global") + "/Attendance/Attendance.db").empty());
    EXPECT_TRUE(
        signalLog.Has(9, "UpdateConfig Query: SELECT UPDATED FROM UPDATECONFIG WHERE ELEMENT='PERIOD_ATT'"));
    // The run's cache stays the import folder's; a global folder without one gets none.
    EXPECT_FALSE(writer.Attendance().Database().IsOpen());
    std::filesystem::create_directories(PathOf("other"));
    writer.SetGlobalFolder(XString(PathOf("other")));
    writer.DeleteUpdateFiles(writer.SDEFolder());
    EXPECT_FALSE(std::filesystem::exists(PathOf("other") + "/Attendance"));
}

TEST_F(OldFilesTest, DeleteUpdateFilesFailureTellsTheUserWhatToDo)
{
    // 252 characters: SchoolConfig.xml no longer fits behind it.
    const XFileSpec folder(("/" + std::string(250, 'a') + "/").c_str());
    const std::string expected =
        "Error: Failed while trying to remove SDU Files.\n Please manually remove all .sdu "
        "files from the Import Directory, and try extracting again.\n"
        "Appended length (16) would make path length exceed maximum 7."
        "\nExiting Extractor.";
    EXPECT_EQ(expected, ThrownText([&] { writer.DeleteUpdateFiles(folder); }));
    EXPECT_TRUE(signalLog.Has(2, expected));
    EXPECT_TRUE(signalLog.Has(8, "Deleted sdu files"));
    EXPECT_FALSE(signalLog.Has(8, "Changed FileName to SchoolConfig"));
}

// The cache opens below the given folder, or below the SDE folder when that does not exist.
TEST_F(OldFilesTest, TheCacheOpensBelowAnExistingFolder)
{
    ASSERT_TRUE(writer.SetAttendanceDatabase(XString(dir.path())));
    EXPECT_TRUE(FileExists("Attendance/Attendance.db"));
    writer.DeleteAttendanceDatabase();
    EXPECT_FALSE(FileExists("Attendance/Attendance.db"));
    EXPECT_TRUE(writer.SetAttendanceDatabase(XString(PathOf("nowhere"))));
    EXPECT_TRUE(FileExists("Attendance/Attendance.db"));
    EXPECT_TRUE(signalLog.Has(8, std::string("Folder does not exist") + PathOf("nowhere") +
                                     " trying: " + writer.SDEFolder().Path()));
}
} // namespace
