// The attendance cache as far as the reset of a folder needs it: opening
// Attendance.db, checking and dropping its tables, deleting the file.
#include "SDEWriter.h"

#include "XClock.h"
#include "database.h"
#include "query.h"

namespace
{
constexpr const char* kCacheFolder = "Attendance";
constexpr const char* kCacheFile = "Attendance.db";

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
        if (!m_attDb)
            m_attDb = std::make_unique<sqlite::Database>();
        if (!m_attDb->IsOpen())
            m_attDb->Open(base.Path(), nullptr, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
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
    XString statement = XString("SELECT UPDATED FROM UPDATECONFIG WHERE ELEMENT='") + element + "'";
    try
    {
        Log(9, XString("UpdateConfig Query: ") + statement);
        if (!m_attDb)
            m_attDb = std::make_unique<sqlite::Database>();
        sqlite::Query query(*m_attDb, statement.Text());
        XDateTime updated;
        if (query.Step())
            updated.ParseIso(query.StringColumn("UPDATED").Text());
        return XDateTime::Now() > updated.Add(0, 0, 0, 12);
    }
    catch (const std::exception& e)
    {
        Log(8, XString("Check SQLite Update Date: ") + e.what());
        return true;
    }
}

void SDEWriter::DropAttendanceTable(const XString& name)
{
    if (!CheckAttendanceUpdate(name))
        return;
    if (name != kDailyAttTable && name != kPeriodAttTable)
        return;
    try
    {
        if (!m_attDb)
            m_attDb = std::make_unique<sqlite::Database>();
        m_attDb->Execute((XString("DROP TABLE ") + name).Text());
    }
    catch (const std::exception& e)
    {
        Log(3, XString("Failed to Drop table: ") + name + ": " + e.what());
    }
}

void SDEWriter::DeleteAttendanceDatabase()
{
    try
    {
        if (m_attDb && m_attDb->IsOpen())
            m_attDb->Close();
        XFileSpec file(m_sdeFolder);
        file.MakeFolder();
        file.AppendFolder(kCacheFolder);
        file.SetFileName(kCacheFile);
        file.Delete();
    }
    catch (const std::exception&)
    {
        Log(8, "Attendance: Database could not be deleted");
    }
}
