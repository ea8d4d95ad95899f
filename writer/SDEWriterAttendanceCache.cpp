// The attendance cache database: opening Attendance.db, its tables, the
// upsert of one record, checking and dropping tables, deleting the file.
#include "SDEWriter.h"

#include "SDEWriterAttendanceStatement.h"
#include "SchoolConfig.h"
#include "XClock.h"
#include "XException.h"
#include "database.h"
#include "query.h"
#include "sqlerror.h"

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace
{
// Only the writer's thread uses the cache: its connection needs no lock of its own.
const int kCacheOpenFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;

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

XString WithoutApostrophes(const XString& text)
{
    XString clean(text);
    clean.RemoveChars("'");
    return clean;
}

// What is wrong with an opened cache: not a database, or a cache table
// without the columns the statements use; empty when it is sound.
XString CacheDamage(sqlite::Database& db)
{
    static const char* const columns[] = {"stdkey", "attdate",    "reason", "excused", "absent", "tardy",
                                          "truant", "discipline", "header", "oldcode", "newcode"};
    try
    {
        for (const char* table : {SDEWriter::kDailyAttTable, SDEWriter::kPeriodAttTable})
        {
            std::vector<XString> found;
            sqlite::Query info(db, (XString("PRAGMA table_info(") + table + ")").Text());
            while (info.Step())
                found.push_back(info.StringColumn("name").Lower());
            if (found.empty())
                continue; // created when the table starts
            auto lacks = [&found](const XString& name)
            { return std::find(found.begin(), found.end(), name) == found.end(); };
            for (const char* column : columns)
                if (lacks(column))
                    return XString(table) + " has no column " + column;
            if (lacks(SDEWriter::AttKeyColumn(table)))
                return XString(table) + " has no column " + SDEWriter::AttKeyColumn(table);
        }
        return XString();
    }
    catch (const sqlite::SqlError& e)
    {
        // Only a file that is no sound database counts; a busy or unreadable one stays.
        if (e.PrimaryCode() == SQLITE_NOTADB || e.PrimaryCode() == SQLITE_CORRUPT)
            return e.what();
        return XString();
    }
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
        sqlite::Database& cache = AttCache();
        if (!cache.IsOpen())
        {
            cache.Open(base.Path(), nullptr, kCacheOpenFlags);
            // A damaged cache would fail every attendance run from now on.
            const XString damage = CacheDamage(cache);
            if (!damage.IsEmpty())
            {
                Log(4, XString("Attendance: the cache ") + base.Path() + " is damaged (" + damage +
                           "); it is deleted and attendance is read again from the school start.");
                cache.Close();
                base.Delete();
                ClearUpdateDates(m_sdeFolder);
                m_updateDate.SetNull();
                m_updateDateTime.SetNull();
                cache.Open(base.Path(), nullptr, kCacheOpenFlags);
            }
            // A first run fills a cache of a few hundred thousand rows; the
            // default page cache of 2 MiB would read most pages again.
            cache.Execute("PRAGMA cache_size = -8192");
        }
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
    return CheckAttendanceUpdate(AttCache(), element);
}

bool SDEWriter::CheckAttendanceUpdate(sqlite::Database& cache, const XString& element)
{
    XString statement = XString("SELECT UPDATED FROM UPDATECONFIG WHERE ELEMENT='") + element + "'";
    try
    {
        Log(9, XString("UpdateConfig Query: ") + statement);
        sqlite::Query query(cache, statement.Text());
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
    DropAttendanceTable(AttCache(), name);
}

void SDEWriter::DropAttendanceTable(sqlite::Database& cache, const XString& name)
{
    if (!CheckAttendanceUpdate(cache, name))
        return;
    if (name != kDailyAttTable && name != kPeriodAttTable)
        return;
    try
    {
        cache.Execute((XString("DROP TABLE ") + name).Text());
    }
    catch (const std::exception& e)
    {
        Log(3, XString("Failed to Drop table: ") + name + ": " + e.what());
    }
}

sqlite::Database& SDEWriter::AttCache()
{
    if (!m_attDb)
        m_attDb = std::make_unique<sqlite::Database>();
    return *m_attDb;
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
        sqlite::Database cache;
        cache.Open(file.Path(), nullptr, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
        DropAttendanceTable(cache, kPeriodAttTable);
        DropAttendanceTable(cache, kDailyAttTable);
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
        sqlite::Database& cache = AttCache();
        FinalizeAttendanceStatements();
        if (cache.IsOpen())
            cache.Close();
        CacheFileIn(m_sdeFolder).Delete();
    }
    catch (const std::exception&)
    {
        Log(8, "Attendance: Database could not be deleted");
    }
}

void SDEWriter::PrepareAttendanceStatements(const XString& table)
{
    sqlite::Database& cache = AttCache();
    if (m_attFind && m_attUpdate && m_attInsert && m_attStatementsTable == table)
        return;
    FinalizeAttendanceStatements();
    const std::string t = table.Std();
    const std::string key = SDEWriter::AttKeyColumn(table);
    m_attFind = std::make_unique<AttendanceStatement>(
        cache, "SELECT rowid, newcode, excused, absent, tardy, truant, discipline FROM " + t +
                   " WHERE stdkey=? AND attdate=? AND " + key + "=? AND header=?");
    m_attUpdate = std::make_unique<AttendanceStatement>(
        cache,
        "UPDATE " + t + " SET newcode=?, excused=?, absent=?, tardy=?, truant=?, discipline=? WHERE rowid=?");
    m_attInsert = std::make_unique<AttendanceStatement>(
        cache, "INSERT INTO " + t +
                   " (stdkey, attdate, reason, excused, absent, tardy, truant, discipline, " + key +
                   ", header, newcode) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    m_attStatementsTable = table;
}

void SDEWriter::FinalizeAttendanceStatements()
{
    m_attFind.reset();
    m_attUpdate.reset();
    m_attInsert.reset();
    m_attStatementsTable = XString();
}

void SDEWriter::UpsertAttendanceRow(const XString& table, const AttendanceCacheRow& row)
{
    const XString student = WithoutApostrophes(row.student);
    const XString date = row.date.Format("YYYY-MM-DD");
    const XString key = WithoutApostrophes(row.key);
    const XString header = WithoutApostrophes(row.header);
    const XString code = WithoutApostrophes(row.code);
    const XString reason = WithoutApostrophes(row.reason);
    const XString excused = WithoutApostrophes(row.excused);
    const XString absent = WithoutApostrophes(row.absent);
    const XString tardy = WithoutApostrophes(row.tardy);
    const XString truant = WithoutApostrophes(row.truant);
    const XString discipline = WithoutApostrophes(row.discipline);
    const char* keyColumn = AttKeyColumn(table);

    // A record's row is written only when a value differs, so an unchanged
    // run writes nothing. The reason of an existing row stays as it is.
    // The statement texts are built only for the failure report.
    try
    {
        PrepareAttendanceStatements(table);
        if (m_attFind->Find({&student, &date, &key, &header}))
        {
            const std::int64_t rowid = m_attFind->Integer(0);
            int column = 1;
            bool same = true;
            for (const XString* value : {&code, &excused, &absent, &tardy, &truant, &discipline})
                same = same && m_attFind->TextEquals(column++, *value);
            m_attFind->Reset();
            NoteAttendanceSeen(rowid);
            if (!same)
                m_attUpdate->Run({&code, &excused, &absent, &tardy, &truant, &discipline}, rowid);
            return;
        }
    }
    catch (const std::exception& e)
    {
        Log(8, "Attendance: Update Row: UPDATE " + table + " SET newcode='" + code + "', excused='" +
                   excused + "', absent='" + absent + "', tardy='" + tardy + "', truant='" + truant +
                   "', discipline='" + discipline + "' WHERE stdkey='" + student + "' AND attdate='" + date +
                   "' AND " + keyColumn + "='" + key + "' AND header='" + header + "'");
        Log(8, XString("Attendance: Update Row: ") + e.what());
        // The blanked row would go out as deleted.
        throw XException(XString("Attendance: Update Row: ") + e.what());
    }
    // An empty code only blanks an existing row's new code: a code exported
    // before goes out once as empty, a record never exported is not sent.
    if (code.IsEmpty())
        return;
    try
    {
        m_attInsert->Run({&student, &date, &reason, &excused, &absent, &tardy, &truant, &discipline, &key,
                          &header, &code});
    }
    catch (const std::exception& e)
    {
        Log(8, "Attendance: Insert Row: INSERT INTO " + table +
                   " (stdkey, attdate, reason, excused, absent, tardy, truant, discipline, " + keyColumn +
                   ", header, newcode) VALUES ('" + student + "', '" + date + "', '" + reason + "', '" +
                   excused + "','" + absent + "', '" + tardy + "', '" + truant + "', '" + discipline +
                   "', '" + key + "', '" + header + "', '" + code + "')");
        Log(8, XString("Attendance: Insert Row: ") + e.what());
        throw XException(XString("Attendance: Insert Row: ") + e.what());
    }
}

void SDEWriter::PrepareAttendanceBlank(const XString& from)
{
    m_attBlankFrom = from;
    m_attSeen = std::vector<bool>();
    m_attSeenFirst = 0;
    m_attBlankPending = true;
    // The range of the rows the blank may take; none (a first run) needs no blank.
    try
    {
        // Rowids start at 1: a max of 0 (NULL) is an empty range.
        AttendanceStatement range(AttCache(), "SELECT min(rowid), max(rowid) FROM " + m_attTable.Std() +
                                                  " WHERE attdate >= ?");
        if (range.Find({&m_attBlankFrom}) && range.Integer(1) > 0)
        {
            m_attSeenFirst = range.Integer(0);
            m_attSeen.assign(static_cast<std::size_t>(range.Integer(1) - m_attSeenFirst + 1), false);
        }
        else
            m_attBlankPending = false;
    }
    catch (const std::exception& e)
    {
        // The fill meets the same fault and fails the table.
        Log(8, XString("Attendance::BlankNewCodeInSQLiteDB: ") + e.what());
    }
}

void SDEWriter::NoteAttendanceSeen(std::int64_t rowid)
{
    if (m_attBlankPending && rowid >= m_attSeenFirst &&
        static_cast<std::uint64_t>(rowid - m_attSeenFirst) < m_attSeen.size())
        m_attSeen[static_cast<std::size_t>(rowid - m_attSeenFirst)] = true;
}

void SDEWriter::BlankUnseenAttendance()
{
    if (!m_attBlankPending)
        return;
    m_attBlankPending = false;
    std::vector<bool> seen;
    seen.swap(m_attSeen);
    const std::string t = m_attTable.Std();
    // The attdate index keeps this to the overlap's rows, whatever the cache's size.
    AttendanceStatement overlap(AttCache(), "SELECT rowid FROM " + t + " WHERE attdate >= ? AND " +
                                                "(newcode IS NULL OR newcode <> '')");
    AttendanceStatement blank(AttCache(), "UPDATE " + t + " SET newcode='' WHERE rowid=?");
    std::vector<std::int64_t> gone;
    for (bool more = overlap.Find({&m_attBlankFrom}); more; more = overlap.Next())
    {
        // Rows after the range are the fill's own.
        const std::int64_t rowid = overlap.Integer(0);
        const std::uint64_t at = static_cast<std::uint64_t>(rowid - m_attSeenFirst);
        if (rowid >= m_attSeenFirst && at < seen.size() && !seen[static_cast<std::size_t>(at)])
            gone.push_back(rowid);
    }
    for (const std::int64_t rowid : gone)
        blank.Run({}, rowid);
}
