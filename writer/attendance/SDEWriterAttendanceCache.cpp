// Where the attendance cache lives: Attendance.db below the import folder,
// its tables dropped or the file deleted when the configuration changes.
#include "SDEWriter.h"

#include "SchoolConfig.h"
#include "XException.h"

#include <vector>

namespace
{
constexpr const char* kCacheFolder = "Attendance";
constexpr const char* kCacheFile = "Attendance.db";

// <folder>/Attendance/Attendance.db
XFileSpec CacheFileIn(XFileSpec folder)
{
    folder.MakeFolder();
    folder.AppendFolder(kCacheFolder);
    folder.SetFileName(kCacheFile);
    return folder;
}

// Reading starts again at the school start once the cache is gone; the
// rest of SchoolConfig.xml stays, so the configuration does not read as changed.
void ClearUpdateDates(const XFileSpec& folder)
{
    std::vector<SchoolConfig::Entry> entries = SchoolConfig::Read(folder);
    if (entries.empty())
        return;
    for (SchoolConfig::Entry& entry : entries)
        if (entry.element == "UpdateDate" || entry.element == "UpdateDateTime")
            entry.value = XString();
    SchoolConfig::Write(folder, entries);
}

bool ExistingFolder(const XString& folder, XFileSpec& path)
{
    if (folder.IsEmpty())
        return false;
    try
    {
        path = XFileSpec(folder);
        return path.Exists();
    }
    catch (const std::exception&)
    {
        return false;
    }
}
} // namespace

bool SDEWriter::SetAttendanceDatabase(const XString& folder)
{
    XString tried;
    try
    {
        XFileSpec base;
        if (!ExistingFolder(folder, base))
        {
            Log(8, XString("Folder does not exist") + folder + " trying: " + m_sdeFolder.Path());
            base = m_sdeFolder;
        }
        base.MakeFolder();
        base.AppendFolder(kCacheFolder);
        tried = base.Path();
        base.Create();
        base.SetFileName(kCacheFile);
        tried = base.Path();
        m_attendance->Open(base,
                           [this]
                           {
                               ClearUpdateDates(m_sdeFolder);
                               m_updateDate.SetNull();
                               m_updateDateTime.SetNull();
                           });
        return true;
    }
    catch (const std::exception& e)
    {
        Log(8, XString("Set Database: ") + e.what());
        Log(8, XString("Tried to set: ") + folder + " tried: " + tried);
        return false;
    }
}

bool SDEWriter::CheckAttendanceUpdate(const XString& element)
{
    return m_attendance->UpdateDue(element);
}

void SDEWriter::DropAttendanceTable(const XString& name)
{
    m_attendance->DropTable(name);
}

void SDEWriter::DropGlobalAttendanceTables()
{
    XFileSpec folder;
    if (!ExistingFolder(m_globalFolder, folder))
        return;
    const XFileSpec file = CacheFileIn(folder);
    // The run's own cache is the import folder's: a cache in the global
    // folder is neither created nor kept open, only rid of its two tables.
    if (!file.Exists())
        return;
    try
    {
        AttendanceCache cache([this](int level, const XString& message) { Log(level, message); });
        cache.OpenExisting(file);
        cache.DropTable(kPeriodAttTable);
        cache.DropTable(kDailyAttTable);
    }
    catch (const std::exception& e)
    {
        Log(8, XString("Set Database: ") + e.what());
        Log(8, XString("Tried to set: ") + m_globalFolder + " tried: " + file.Path());
    }
}

void SDEWriter::DeleteAttendanceDatabase()
{
    try
    {
        m_attendance->Close();
        CacheFileIn(m_sdeFolder).Delete();
    }
    catch (const std::exception&)
    {
        Log(8, "Attendance: Database could not be deleted");
    }
}

void SDEWriter::UpsertAttendanceRow(const AttendanceCacheRow& row)
{
    m_attendance->Upsert(row);
}
