#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "XFileSpec.h"
#include "XString.h"
#include "attendance/AttendanceFillThread.h"
#include "attendance/SDEWriterAttendanceRow.h"
#include "database.h"
#include "statement.h"

// Attendance.db: per attendance record the code last sent and the code the
// SIS has now. A fill stores what the SIS has (and blanks what it no longer
// has); the read-back gives the rows whose code was not sent yet and marks
// them, the marks committed only once the file carrying them is in place.
class AttendanceCache
{
public:
    using LogFunction = std::function<void(int level, const XString& message)>;

    static constexpr const char* kDailyTable = "DAILY_ATT";
    static constexpr const char* kPeriodTable = "PERIOD_ATT";
    // The key column: the time frame of daily rows, the period key of period rows.
    static const char* KeyColumn(const XString& table)
    {
        return table == kDailyTable ? "timeframe" : "perkey";
    }

    explicit AttendanceCache(LogFunction log);
    ~AttendanceCache();

    // ---- The file ----
    // Opens the file, created when missing, unless a file is open. A damaged
    // cache is deleted and made anew; forgotten runs in between (the update
    // dates go with the cache). Throws on failure.
    void Open(const XFileSpec& file, const std::function<void()>& forgotten);
    // Opens an existing file only (the cache of another folder).
    void OpenExisting(const XFileSpec& file);
    bool IsOpen() const { return m_db.IsOpen(); }
    void Close();
    sqlite::Database& Database() { return m_db; }

    // True when the element's last update is older than 12 hours, or unknown.
    bool UpdateDue(const XString& element);
    // Drops a cache table whose update is due.
    void DropTable(const XString& name);
    bool HasTable(const char* table);

    // ---- The fill ----
    // Creates the table (one that exists stays) and its indexes, those of an
    // empty table once its fill commits; the fill writes into it.
    void StartTable(const XString& table);
    // The blank of the rows from date on that the fill does not find again, done by BlankUnseenAttendance.
    void PrepareAttendanceBlank(const XString& from);
    void CancelBlank();
    void BeginFill();
    // Stores one record into the table started, as the row's new code (apostrophes
    // removed from the values).
    void Upsert(const AttendanceCacheRow& row);
    void BlankUnseenAttendance();
    void CommitFill();
    // Takes back the fill and its blank; the cache stays as it was.
    void AbandonFill();
    // Key field names met while filling, as spelled in the header.
    std::set<XString>& KeyNames(bool daily) { return daily ? m_timeFrameNames : m_periodNames; }

    // ---- The read-back ----
    struct UnsentRow
    {
        XString student;
        XString date; // YYYY-MM-DD
        XString key;
        XString code;
        XString details[6]; // reason, excused, absent, tardy, truant, discipline
    };
    struct ReadBack
    {
        int read = 0;
        int written = 0;
    };
    // Gives write the rows of table under the key header name whose new code
    // was not sent, except those of students admit refuses, and marks them
    // sent (one statement when admit is empty). A failure is logged with failure
    // in front and passed on; the marks wait for CommitMarks.
    ReadBack ReadUnsent(const XString& table, const XString& name, const XString& fallback,
                        const std::function<bool(const XString&)>& admit,
                        const std::function<void(const UnsentRow&)>& write, const XString& failure);
    // On failure the marks go back and the failure is passed on.
    void CommitMarks();
    // The marks, and a fill a failure left open, go back.
    void DiscardMarks();

private:
    // Stores one record now; on failure m_rowStatement tells what it tried.
    void WriteRow(const XString& table, const AttendanceCacheRow& row);
    // Waits for the fill's rows to be written; raises a failure.
    void FinishWriting();
    void ReportRowFailure(const std::exception& e);
    void NoteAttendanceSeen(std::int64_t rowid);
    // The index by date, or that of the rows not sent yet.
    void CreateIndex(const XString& table, bool unsent);
    void PrepareStatements(const XString& table);
    void FinalizeStatements();
    // The statement that marks one row of the read-back sent.
    std::unique_ptr<sqlite::Statement> RowMark(const XString& table, const XString& name,
                                               const XString& fallback);
    // Rolls back with a log line on failure.
    void RollBack(std::optional<sqlite::Transaction>& transaction);

    LogFunction m_log;
    sqlite::Database m_db;
    std::optional<sqlite::Transaction> m_fill;
    std::optional<sqlite::Transaction> m_marks;
    XString m_table;
    // The table was empty when it started: its indexes wait for the commit.
    bool m_empty = false;
    // Tables filled from empty whose unsent index waits for the marks.
    std::set<XString> m_unsentIndexLater;
    std::set<XString> m_periodNames;
    std::set<XString> m_timeFrameNames;

    // The upsert statements of the table being filled, prepared once.
    std::unique_ptr<sqlite::Statement> m_find;
    std::unique_ptr<sqlite::Statement> m_update;
    std::unique_ptr<sqlite::Statement> m_insert;
    XString m_statementsTable;

    // The blank asked for: on the rows from m_blankFrom on that the SIS no
    // longer has. m_seen holds a flag per rowid from m_seenFirst on for the
    // rows that were in that range when the table started (the fill found
    // them again); rows the fill inserts come after them.
    bool m_blankPending = false;
    XString m_blankFrom;
    std::int64_t m_seenFirst = 0;
    std::vector<bool> m_seen;

    // The statement of the row that failed, for the log.
    XString m_rowStatement;
    // Writes the fill's rows while the SIS is read; last, so it stops first.
    std::unique_ptr<AttendanceFillThread> m_writer;
};
