// Filling the attendance cache from the SIS: the table start with its
// blanking of new codes, the reading windows and the records of each window.
#include "SDEWriter.h"

#include <future>
#include <string>
#include <system_error>

#include "SDEWriterAttendanceStatement.h"
#include "SchoolConfig.h"
#include "XClock.h"
#include "XException.h"
#include "database.h"

namespace
{
constexpr int kNamedSkippedDates = 5;

bool IsUnset(const XDate& date)
{
    return date.IsNull() || date.DayNumber() == 0;
}
} // namespace

void SDEWriter::StartAttTable(const XString& tableName, bool blank, bool endDay)
{
    m_attTable = tableName;
    m_attEndDay = endDay;
    Log(7, "Start Attendance Table at: " + XDateTime::Now().Format("dd/mm/yyyy|hh:nn:ss") + " ");

    SetAttendanceDatabase(m_sdeFolder.Path());
    try
    {
        const char* key = AttKeyColumn(tableName);
        AttCache().ExecuteFormat(
            "CREATE TABLE %s (%s VARCHAR(100), %s DATETIME, %s VARCHAR(100), %s VARCHAR(100), "
            "%s VARCHAR(100), %s VARCHAR(100), %s VARCHAR(100), %s VARCHAR(100), %s "
            "VARCHAR(100), %s VARCHAR(10), %s VARCHAR(100), %s VARCHAR(100), PRIMARY KEY (%s, "
            "%s, %s, %s))",
            tableName.Text(), "stdkey", "attdate", key, "reason", "excused", "absent", "tardy", "truant",
            "discipline", "header", "oldcode", "newcode", "stdkey", "attdate", key, "header");
    }
    catch (const std::exception& e)
    {
        Log(8, "Attendance: Create Table Failed: " + tableName + ": " + e.what());
    }

    const bool daily = tableName == kDailyAttTable;
    const XString title = daily ? "Student Daily Attendance" : "Student Period Attendance";
    const XString fileName = daily ? "StudentDailyAtt.sef" : "StudentPeriodAtt.sef";

    const char* format = m_settings.dateFormat.Text();
    m_updateDate = SchoolConfig::ReadUpdateDate(m_sdeFolder);
    Log(8, "StartAttTable: After: Update Date is: " + m_updateDate.Format(format));
    if (blank)
    {
        m_overlapDays = SchoolConfig::ReadOverlapDays(m_sdeFolder);
        if (m_overlapDays.IsEmpty())
            m_overlapDays = "14";
        if (!IsUnset(m_updateDate))
            m_updateDate -= m_overlapDays.ToInt();
        // The blank rewrites most pages of the cache: it runs while the SIS
        // works on the first window. It stays in a transaction of its own,
        // which the fill takes over once that window is read (AwaitBlank);
        // any other next use of the cache takes it back (AttCache).
        sqlite::Database* cache = &AttCache();
        auto run = [cache, table = tableName.Std(),
                    from = m_updateDate.Format("yyyy-mm-dd").Std()]() -> std::string
        {
            try
            {
                cache->Execute("begin transaction");
            }
            catch (const std::exception& e)
            {
                return e.what();
            }
            try
            {
                cache->ExecuteFormat("UPDATE %s SET %s='' WHERE %s >= '%s'", table.c_str(), "newcode",
                                     "attdate", from.c_str());
                return std::string();
            }
            catch (const std::exception& e)
            {
                const std::string error = e.what();
                if (cache->InTransaction())
                {
                    try
                    {
                        cache->Execute("rollback transaction");
                    }
                    catch (const std::exception&)
                    {
                        // The blank's own error is the one reported.
                    }
                }
                return error;
            }
        };
        try
        {
            m_attBlank = std::async(std::launch::async, run);
        }
        catch (const std::system_error&)
        {
            // No thread to be had: the blank runs when it is waited for.
            m_attBlank = std::async(std::launch::deferred, run);
        }
    }
    Log(8, "StartAttTable: Before StartTable: Update Date is: " + m_updateDate.Format(format));
    StartTable(title, fileName);
}

bool SDEWriter::NextAttendanceWindow(XDate& r, XDate& p, XDate& q, const XDate& s, const XDate& e,
                                     bool extend)
{
    XDate t = XDate::Today();
    if (!s.IsNull() && t < s)
        t = s;
    if (!e.IsNull() && t > e)
        t = e;
    if (r.IsNull() || r < s)
        r = s;
    // Without a school start (day 0, or none at all) the reading starts today.
    if (IsUnset(s) && IsUnset(r))
    {
        r = t;
        p.SetNull();
    }
    else
        p = r > t ? t : r;
    if (t > r + 6)
    {
        q = r + 6;
        r = q;
        return false;
    }
    if (extend)
        t += 1;
    q = t;
    r = q;
    return true;
}

void SDEWriter::WriteAttendanceTable(const XDate& schoolStart, const XDate& schoolEnd,
                                     const RowFilter& filter, bool extend)
{
    const char* format = m_settings.dateFormat.Text();
    const XString baseTitle = m_title;
    XDate r = m_updateDate;
    XDate p;
    XDate q;
    auto logDates = [&](const char* startLabel, const char* endLabel)
    {
        Log(8, "Update Date is: " + r.Format(format));
        Log(8, "startUpdateDate is: " + p.Format(format));
        Log(8, "endUpdateDate is: " + q.Format(format));
        Log(8, XString(startLabel) + schoolStart.Format(format));
        Log(8, XString(endLabel) + schoolEnd.Format(format));
    };

    logDates("School Start Date is: ", "School End Date is: ");
    m_attSkippedDates = 0;

    bool begun = false;
    try
    {
        bool last = false;
        while (!last)
        {
            last = NextAttendanceWindow(r, p, q, schoolStart, schoolEnd, extend);
            logDates("m_schoolStartDate is: ", "m_schoolEndDate is: ");
            m_title = baseTitle;
            if (!m_updateDate.IsNull())
                m_title += " (" + p.Format(format) + " to " + q.Format(format) + ")";
            PutJobText("Reading " + m_title + "...");

            XDate to = q;
            if (m_attEndDay)
                to += 1;
            FilterAttendance(p, to);
            Log(9, "Write Attendance Table: Done Filtering Attendance");
            if (!OpenTable(1))
                throw XException(m_title + " could not be read.");
            Log(9, "Write Attendance Table: Table Opened");
            // Begun once the first window is read, so the blank has the
            // SIS's time for that window to finish in; its transaction, when
            // it succeeded, is the fill's.
            std::string blankFailure;
            if (!begun && !(begun = AwaitBlank(&blankFailure)))
            {
                // Unblanked, records deleted in the SIS would never go out as deleted.
                if (!blankFailure.empty())
                    throw XException(baseTitle +
                                     ": the attendance cache cannot be written: " + blankFailure.c_str());
                try
                {
                    AttCache().Execute("begin transaction");
                }
                catch (const std::exception& e)
                {
                    throw XException(baseTitle + ": the attendance cache cannot be written: " + e.what());
                }
                begun = true;
            }
            ReadAttendanceWindow(filter);
        }
        m_title = baseTitle;
        AttCache().Execute("commit transaction");
        if (m_attSkippedDates > kNamedSkippedDates)
            Log(4, "SQLite Attendance: skipped " + XString(m_attSkippedDates) + " records of " + baseTitle +
                       " whose date is no day of the calendar.");
    }
    catch (const std::exception& e)
    {
        Log(7, "Write Attendance Table: Failed with Error.  Cleaning up.");
        m_currentColumn = nullptr;
        m_title = baseTitle;
        // The cache stays as it was, blank included: kept half done, its
        // blanked records would go out as deleted with a later run.
        if (begun || AwaitBlank())
            RollBackAttendanceCache();
        // Nothing of this run may reach the handheld.
        MarkTableIncomplete();
        throw XException(baseTitle + " failed: " + e.what());
    }
}

void SDEWriter::ReadAttendanceWindow(const RowFilter& filter)
{
    const std::vector<XString> none;
    const std::vector<XString>& names = m_currentHeader ? m_currentHeader->Names() : none;
    const char* format = m_settings.dateFormat.Text();
    for (bool more = GetFirstRecord(); more; more = GetNextRecord())
    {
        if (filter && !filter())
            continue;
        AttendanceCacheRow row;
        size_t n = 0;
        for (const SDEColumn& column : m_columns)
        {
            if (!column.value || n >= names.size())
                continue;
            m_currentColumn = &column;
            const XString& name = names[n++];
            const AttendanceCacheRow::Field meaning = row.Apply(name, column.value(), format);
            if (meaning == AttendanceCacheRow::Field::Known || !m_attReportOnce)
                continue;
            m_attReportOnce = false;
            if (meaning == AttendanceCacheRow::Field::Untested)
                Log(4, "SQLite Attendance: Untested header: " + name + ", please ensure this is tested");
            else
                Log(4, "SQLite Attendance: Unsupported header: " + name + ", skipping.");
        }
        m_currentColumn = nullptr;
        if (!row.dateValid)
        {
            // The first few by name; a SIS full of them would flood the front-end.
            if (++m_attSkippedDates <= kNamedSkippedDates)
                Log(4, "SQLite Attendance: skipped a record of student " + row.student + ": its date \"" +
                           row.rawDate + "\" is no day of the calendar.");
            continue;
        }
        WriteAttendanceRow(row);
    }
}

void SDEWriter::WriteAttendanceRow(const AttendanceCacheRow& row)
{
    if (row.keyKind == AttendanceCacheRow::KeyKind::Period)
        m_periodNames.insert(row.header);
    else if (row.keyKind == AttendanceCacheRow::KeyKind::TimeFrame)
        m_timeFrameNames.insert(row.header);
    if (!row.hasRange)
    {
        UpsertAttendanceRow(m_attTable, row);
        return;
    }
    long long first = 0;
    long long last = 0;
    if (!row.RangeBounds(first, last))
    {
        Log(3, "SQLite Attendance: Unsupported header: " + row.header +
                   ", cannot continue because Periods or Timeframes are not numeric.");
        throw XException("SQLite Attendance: Unsupported header: " + row.header + ", cannot continue.");
    }
    AttendanceCacheRow one(row);
    for (long long key = first; key <= last; ++key)
    {
        one.key = XString(key);
        UpsertAttendanceRow(m_attTable, one);
    }
}
