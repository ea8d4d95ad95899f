#include "attendance/AttendanceCache.h"

#include "XClock.h"
#include "XException.h"
#include "query.h"
#include "sqlerror.h"

#include <algorithm>

namespace
{
// One thread at a time uses the connection (the fill's writer between
// BeginFill and the blank, else the caller's): it needs no lock of its own.
const int kOpenFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;

// The value as the cache stores it, without apostrophes: copied only when it has one.
const XString& Stored(const XString& text, XString& copy)
{
    if (text.Std().find('\'') == std::string::npos)
        return text;
    copy = text;
    copy.RemoveChars("'");
    return copy;
}

// What is wrong with an opened cache: not a database, or a cache table
// without the columns the statements use; empty when it is sound.
XString CacheDamage(sqlite::Database& db)
{
    static const char* const columns[] = {"stdkey", "attdate",    "reason", "excused", "absent", "tardy",
                                          "truant", "discipline", "header", "oldcode", "newcode"};
    try
    {
        for (const char* table : {AttendanceCache::kDailyTable, AttendanceCache::kPeriodTable})
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
            if (lacks(AttendanceCache::KeyColumn(table)))
                return XString(table) + " has no column " + AttendanceCache::KeyColumn(table);
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

// Where the read-back query holds each value of an unsent row.
struct UnsentColumns
{
    UnsentColumns(sqlite::Query& query, const char* keyColumn)
        : student(query.FindColumn("stdkey")), date(query.FindColumn("attdate")),
          key(query.FindColumn(keyColumn)), code(query.FindColumn("newcode"))
    {
        int detail = 0;
        for (const char* column : {"reason", "excused", "absent", "tardy", "truant", "discipline"})
            details[detail++] = query.FindColumn(column);
    }
    // All but the student, read first to be admitted.
    void Read(sqlite::Query& query, AttendanceCache::UnsentRow& row) const
    {
        row.date = query.StringColumn(date);
        row.key = query.StringColumn(key);
        row.code = query.StringColumn(code);
        for (int i = 0; i < 6; ++i)
            row.details[i] = query.StringColumn(details[i]);
    }

    int student;
    int date;
    int key;
    int code;
    int details[6];
};
} // namespace

AttendanceCache::AttendanceCache(LogFunction log) : m_log(std::move(log)) {}

AttendanceCache::~AttendanceCache() = default;

void AttendanceCache::Open(const XFileSpec& file, const std::function<void()>& forgotten)
{
    if (m_db.IsOpen())
        return;
    m_db.Open(file.Path(), nullptr, kOpenFlags | SQLITE_OPEN_CREATE);
    // A damaged cache would fail every attendance run from now on.
    const XString damage = CacheDamage(m_db);
    if (!damage.IsEmpty())
    {
        m_log(4, XString("Attendance: the cache ") + file.Path() + " is damaged (" + damage +
                     "); it is deleted and attendance is read again from the school start.");
        m_db.Close();
        file.Delete();
        forgotten();
        m_db.Open(file.Path(), nullptr, kOpenFlags | SQLITE_OPEN_CREATE);
    }
    // A first run fills a cache of a few hundred thousand rows; the
    // default page cache of 2 MiB would read most pages again.
    m_db.Execute("PRAGMA cache_size = -8192");
}

void AttendanceCache::OpenExisting(const XFileSpec& file)
{
    m_db.Open(file.Path(), nullptr, kOpenFlags);
}

void AttendanceCache::Close()
{
    m_writer.reset();
    FinalizeStatements();
    if (m_db.IsOpen())
        m_db.Close();
}

bool AttendanceCache::UpdateDue(const XString& element)
{
    XString statement = XString("SELECT UPDATED FROM UPDATECONFIG WHERE ELEMENT='") + element + "'";
    try
    {
        m_log(9, XString("UpdateConfig Query: ") + statement);
        sqlite::Query query(m_db, statement.Text());
        XDateTime updated;
        if (query.Step())
            updated.ParseIso(query.StringColumn("UPDATED").Text());
        return XDateTime::Now() > updated.Add(0, 0, 0, 12);
    }
    catch (const std::exception& e)
    {
        m_log(8, XString("Check SQLite Update Date: ") + e.what());
        return true;
    }
}

void AttendanceCache::DropTable(const XString& name)
{
    if (!UpdateDue(name))
        return;
    if (name != kDailyTable && name != kPeriodTable)
        return;
    try
    {
        m_db.Execute((XString("DROP TABLE ") + name).Text());
    }
    catch (const std::exception& e)
    {
        m_log(3, XString("Failed to Drop table: ") + name + ": " + e.what());
    }
}

bool AttendanceCache::HasTable(const char* table)
{
    sqlite::Query exists(m_db);
    exists.PrepareFormat("SELECT * FROM sqlite_master WHERE type='table' AND name='%s'", table);
    return exists.Step();
}

void AttendanceCache::StartTable(const XString& table)
{
    m_table = table;
    try
    {
        const char* key = KeyColumn(table);
        m_db.ExecuteFormat("CREATE TABLE %s (%s VARCHAR(100), %s DATETIME, %s VARCHAR(100), %s VARCHAR(100), "
                           "%s VARCHAR(100), %s VARCHAR(100), %s VARCHAR(100), %s VARCHAR(100), %s "
                           "VARCHAR(100), %s VARCHAR(10), %s VARCHAR(100), %s VARCHAR(100), PRIMARY KEY (%s, "
                           "%s, %s, %s))",
                           table.Text(), "stdkey", "attdate", key, "reason", "excused", "absent", "tardy",
                           "truant", "discipline", "header", "oldcode", "newcode", "stdkey", "attdate", key,
                           "header");
    }
    catch (const std::exception& e)
    {
        m_log(8, "Attendance: Create Table Failed: " + table + ": " + e.what());
    }
    // An empty table (a first run, or one dropped for its age) is filled
    // whole: its indexes are built once at the end, and its records are
    // inserted without being looked up first.
    try
    {
        sqlite::Query any(m_db, ("SELECT 1 FROM " + table.Std() + " LIMIT 1").c_str());
        m_empty = !any.Step();
    }
    catch (const std::exception&)
    {
        m_empty = false; // the fill meets the same fault and reports it
    }
    if (m_empty)
        return;
    CreateIndex(table, false);
    CreateIndex(table, true);
}

void AttendanceCache::CreateIndex(const XString& table, bool unsent)
{
    // The blank reads the overlap's rows by date and the read-back the rows
    // not yet sent, whatever the cache's size; existing caches get them here.
    const XString index =
        unsent ? "CREATE INDEX IF NOT EXISTS " + table + "_unsent ON " + table +
                     " (header) WHERE newcode IS NOT NULL AND (newcode <> oldcode OR oldcode IS NULL)"
               : "CREATE INDEX IF NOT EXISTS " + table + "_attdate ON " + table + " (attdate)";
    try
    {
        m_db.Execute(index.Text());
    }
    catch (const std::exception& e)
    {
        m_log(8, "Attendance: Create Index Failed: " + table + ": " + e.what());
    }
}

void AttendanceCache::PrepareStatements(const XString& table)
{
    if (m_find && m_update && m_insert && m_statementsTable == table)
        return;
    FinalizeStatements();
    const std::string t = table.Std();
    const std::string key = KeyColumn(table);
    const char* name = "AttendanceStatement";
    m_find = std::make_unique<sqlite::Statement>(
        m_db,
        "SELECT rowid, newcode, excused, absent, tardy, truant, discipline FROM " + t +
            " WHERE stdkey=? AND attdate=? AND " + key + "=? AND header=?",
        name);
    m_update = std::make_unique<sqlite::Statement>(
        m_db,
        "UPDATE " + t + " SET newcode=?, excused=?, absent=?, tardy=?, truant=?, discipline=? WHERE rowid=?",
        name);
    // A record met twice in one fill is stored as the lookup would: the
    // codes of the last one, the reason of the first.
    std::string changed;
    std::string differs;
    for (const std::string column : {"newcode", "excused", "absent", "tardy", "truant", "discipline"})
    {
        changed += (changed.empty() ? "" : ", ") + column + "=excluded." + column;
        differs += (differs.empty() ? "" : " OR ") + column + " IS NOT excluded." + column;
    }
    m_insert = std::make_unique<sqlite::Statement>(
        m_db,
        "INSERT INTO " + t + " (stdkey, attdate, reason, excused, absent, tardy, truant, discipline, " + key +
            ", header, newcode) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (stdkey, attdate, " +
            key + ", header) DO UPDATE SET " + changed + " WHERE " + differs,
        name);
    m_statementsTable = table;
}

void AttendanceCache::FinalizeStatements()
{
    m_find.reset();
    m_update.reset();
    m_insert.reset();
    m_statementsTable = XString();
}

void AttendanceCache::BeginFill()
{
    m_fill.emplace(m_db);
    m_writer = std::make_unique<AttendanceFillThread>([this, table = m_table](const AttendanceCacheRow& row)
                                                      { WriteRow(table, row); });
}

void AttendanceCache::FinishWriting()
{
    if (!m_writer)
        return;
    // The writer's thread is done whatever happens here.
    std::unique_ptr<AttendanceFillThread> writer = std::move(m_writer);
    try
    {
        writer->Finish();
    }
    catch (const std::exception& e)
    {
        ReportRowFailure(e);
        throw;
    }
}

void AttendanceCache::ReportRowFailure(const std::exception& e)
{
    if (!m_rowStatement.IsEmpty())
        m_log(8, m_rowStatement);
    m_log(8, e.what());
    m_rowStatement = XString();
}

void AttendanceCache::CommitFill()
{
    FinishWriting();
    if (m_empty)
    {
        // Every row of a first fill is unsent: the index of unsent rows is
        // built once the read-back has marked them, nearly empty.
        CreateIndex(m_table, false);
        m_unsentIndexLater.insert(m_table);
        m_empty = false;
    }
    m_fill->Commit();
    m_fill.reset();
}

void AttendanceCache::AbandonFill()
{
    // Kept half filled, the cache's records would go out as deleted once a later run blanks them.
    m_writer.reset();
    CancelBlank();
    RollBack(m_fill);
}

void AttendanceCache::RollBack(std::optional<sqlite::Transaction>& transaction)
{
    if (!transaction)
        return;
    try
    {
        transaction->RollBack();
    }
    catch (const std::exception& e)
    {
        // An open transaction ends with the connection; the journal undoes it.
        m_log(8, XString("Attendance: Rollback: ") + e.what());
    }
    transaction.reset();
}

void AttendanceCache::Upsert(const AttendanceCacheRow& row)
{
    try
    {
        if (m_writer)
            m_writer->Push(row);
        else
            WriteRow(m_table, row);
    }
    catch (const std::exception& e)
    {
        m_writer.reset();
        ReportRowFailure(e);
        throw;
    }
}

void AttendanceCache::WriteRow(const XString& table, const AttendanceCacheRow& row)
{
    XString copies[10];
    const XString& student = Stored(row.student, copies[0]);
    const XString date = row.date.Format("YYYY-MM-DD");
    const XString& key = Stored(row.key, copies[1]);
    const XString& header = Stored(row.header, copies[2]);
    const XString& code = Stored(row.code, copies[3]);
    const XString& reason = Stored(row.reason, copies[4]);
    const XString& excused = Stored(row.excused, copies[5]);
    const XString& absent = Stored(row.absent, copies[6]);
    const XString& tardy = Stored(row.tardy, copies[7]);
    const XString& truant = Stored(row.truant, copies[8]);
    const XString& discipline = Stored(row.discipline, copies[9]);
    const char* keyColumn = KeyColumn(table);

    // A record's row is written only when a value differs, so an unchanged
    // run writes nothing. The reason of an existing row stays as it is.
    // The statement texts are built only for the failure report.
    // A table filled from empty has nothing to find but what this fill stored.
    const bool lookUp = !m_empty || code.IsEmpty();
    try
    {
        PrepareStatements(table);
        if (lookUp && m_find->Bind({&student, &date, &key, &header}).Step())
        {
            const std::int64_t rowid = m_find->Integer(0);
            int column = 1;
            bool same = true;
            for (const XString* value : {&code, &excused, &absent, &tardy, &truant, &discipline})
                same = same && m_find->TextEquals(column++, *value);
            m_find->Reset();
            NoteAttendanceSeen(rowid);
            if (!same)
                m_update->Bind({&code, &excused, &absent, &tardy, &truant, &discipline}).Bind(7, rowid).Run();
            return;
        }
    }
    catch (const std::exception& e)
    {
        m_rowStatement = "Attendance: Update Row: UPDATE " + table + " SET newcode='" + code +
                         "', excused='" + excused + "', absent='" + absent + "', tardy='" + tardy +
                         "', truant='" + truant + "', discipline='" + discipline + "' WHERE stdkey='" +
                         student + "' AND attdate='" + date + "' AND " + keyColumn + "='" + key +
                         "' AND header='" + header + "'";
        // The blanked row would go out as deleted.
        throw XException(XString("Attendance: Update Row: ") + e.what());
    }
    // An empty code only blanks an existing row's new code: a code exported
    // before goes out once as empty, a record never exported is not sent.
    if (code.IsEmpty())
        return;
    try
    {
        m_insert
            ->Bind({&student, &date, &reason, &excused, &absent, &tardy, &truant, &discipline, &key, &header,
                    &code})
            .Run();
    }
    catch (const std::exception& e)
    {
        m_rowStatement = "Attendance: Insert Row: INSERT INTO " + table +
                         " (stdkey, attdate, reason, excused, absent, tardy, truant, discipline, " +
                         keyColumn + ", header, newcode) VALUES ('" + student + "', '" + date + "', '" +
                         reason + "', '" + excused + "','" + absent + "', '" + tardy + "', '" + truant +
                         "', '" + discipline + "', '" + key + "', '" + header + "', '" + code + "')";
        throw XException(XString("Attendance: Insert Row: ") + e.what());
    }
}

void AttendanceCache::PrepareAttendanceBlank(const XString& from)
{
    m_blankFrom = from;
    m_seen = std::vector<bool>();
    m_seenFirst = 0;
    m_blankPending = true;
    // The range of the rows the blank may take; none (a first run) needs no blank.
    try
    {
        // Rowids start at 1: a max of 0 (NULL) is an empty range.
        sqlite::Statement range(m_db,
                                "SELECT min(rowid), max(rowid) FROM " + m_table.Std() + " WHERE attdate >= ?",
                                "AttendanceStatement");
        if (range.Bind({&m_blankFrom}).Step() && range.Integer(1) > 0)
        {
            m_seenFirst = range.Integer(0);
            m_seen.assign(static_cast<std::size_t>(range.Integer(1) - m_seenFirst + 1), false);
        }
        else
            m_blankPending = false;
    }
    catch (const std::exception& e)
    {
        // The fill meets the same fault and fails the table.
        m_log(8, XString("Attendance::BlankNewCodeInSQLiteDB: ") + e.what());
    }
}

void AttendanceCache::CancelBlank()
{
    m_blankPending = false;
    m_seen = std::vector<bool>();
}

void AttendanceCache::NoteAttendanceSeen(std::int64_t rowid)
{
    if (m_blankPending && rowid >= m_seenFirst &&
        static_cast<std::uint64_t>(rowid - m_seenFirst) < m_seen.size())
        m_seen[static_cast<std::size_t>(rowid - m_seenFirst)] = true;
}

void AttendanceCache::BlankUnseenAttendance()
{
    FinishWriting();
    if (!m_blankPending)
        return;
    m_blankPending = false;
    std::vector<bool> seen;
    seen.swap(m_seen);
    try
    {
        const std::string t = m_table.Std();
        // The attdate index keeps this to the overlap's rows, whatever the cache's size.
        sqlite::Statement overlap(m_db,
                                  "SELECT rowid FROM " + t + " WHERE attdate >= ? AND " +
                                      "(newcode IS NULL OR newcode <> '')",
                                  "AttendanceStatement");
        sqlite::Statement blank(m_db, "UPDATE " + t + " SET newcode='' WHERE rowid=?", "AttendanceStatement");
        std::vector<std::int64_t> gone;
        for (bool more = overlap.Bind({&m_blankFrom}).Step(); more; more = overlap.Step())
        {
            // Rows after the range are the fill's own.
            const std::int64_t rowid = overlap.Integer(0);
            const std::uint64_t at = static_cast<std::uint64_t>(rowid - m_seenFirst);
            if (rowid >= m_seenFirst && at < seen.size() && !seen[static_cast<std::size_t>(at)])
                gone.push_back(rowid);
        }
        for (const std::int64_t rowid : gone)
            blank.Bind({}).Bind(1, rowid).Run();
    }
    catch (const std::exception& e)
    {
        // Unblanked, records deleted in the SIS would never go out as deleted.
        m_log(8, XString("Attendance::BlankNewCodeInSQLiteDB: ") + e.what());
        throw;
    }
}

AttendanceCache::ReadBack AttendanceCache::ReadUnsent(const XString& table, const XString& name,
                                                      const XString& fallback,
                                                      const std::function<bool(const XString&)>& admit,
                                                      const std::function<void(const UnsentRow&)>& write,
                                                      const XString& failure)
{
    const char* keyColumn = KeyColumn(table);
    const bool period = table == kPeriodTable;
    const XString header =
        name == fallback ? "(header = '" + name + "' OR header = '')" : "header = '" + name + "'";
    const XString where =
        " WHERE newcode IS NOT NULL AND (newcode <> oldcode OR oldcode IS NULL) AND " + header;
    const XString select = "SELECT stdkey, attdate, reason, excused, absent, tardy, truant, discipline, " +
                           XString(keyColumn) + ", oldcode, newcode FROM " + table + where;
    m_log(9, "Attendance Query: " + select);

    // Without a student filter every row read is marked by one statement
    // over the same rows; with one, each row written is marked by itself.
    const XString markAll = "UPDATE " + table + " SET oldcode=newcode" + where;
    XString lastMark;
    ReadBack counts;
    try
    {
        std::unique_ptr<sqlite::Statement> mark;
        if (admit)
            mark = RowMark(table, name, fallback);
        // Committed only once the update file is in place.
        if (!m_marks)
            m_marks.emplace(m_db);
        sqlite::Query query(m_db, select.Text());
        const UnsentColumns columns(query, keyColumn);
        bool marking = true;
        UnsentRow row;
        while (query.Step())
        {
            ++counts.read;
            row.student = query.StringColumn(columns.student);
            if (admit && !admit(row.student))
                continue;
            ++counts.written;
            columns.Read(query, row);
            write(row);

            if (!mark || !marking)
                continue;
            lastMark = "UPDATE " + table + " SET oldcode=newcode WHERE stdkey='" + row.student +
                       "' AND attdate='" + row.date + "' AND " + keyColumn + "='" + row.key +
                       "' AND newcode='" + row.code + "' AND " + header;
            if (mark->Bind({&row.student, &row.date, &row.key, &row.code, &name}).Run() == 0)
            {
                // Once one row cannot be marked, none after it is.
                marking = false;
                if (period)
                    m_log(7, "CreateStudentPeriodAttendanceFromDB At least 1 update failed.");
            }
        }
        query.Finalize();
        if (!mark)
        {
            lastMark = markAll;
            sqlite::Statement all(m_db, markAll.Std(), "AttendanceStatement");
            if (all.Run() < counts.read && period)
                m_log(7, "CreateStudentPeriodAttendanceFromDB At least 1 update failed.");
        }
        // Taken back with the marks, it is built when the table next starts.
        if (m_unsentIndexLater.erase(table))
            CreateIndex(table, true);
    }
    catch (const std::exception& e)
    {
        m_log(8, failure + e.what());
        m_log(9, "Update Query: " + lastMark);
        throw;
    }
    return counts;
}

std::unique_ptr<sqlite::Statement> AttendanceCache::RowMark(const XString& table, const XString& name,
                                                            const XString& fallback)
{
    return std::make_unique<sqlite::Statement>(
        m_db,
        "UPDATE " + table.Std() + " SET oldcode=newcode WHERE stdkey=? AND " + "attdate=? AND " +
            KeyColumn(table) + "=? AND newcode=? AND " +
            (name == fallback ? "(header = ? OR header = '')" : "header=?"),
        "AttendanceStatement");
}

void AttendanceCache::CommitMarks()
{
    if (!m_marks)
        return;
    try
    {
        m_marks->Commit();
        m_marks.reset();
    }
    catch (const std::exception&)
    {
        RollBack(m_marks);
        throw;
    }
}

void AttendanceCache::DiscardMarks()
{
    RollBack(m_fill);
    RollBack(m_marks);
}
