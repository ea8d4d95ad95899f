// Filling the attendance cache from the SIS: the table start with its
// blanking of new codes, the reading windows and the records of each window.
#include "SDEWriter.h"

#include <string>

#include "SchoolConfig.h"
#include "XClock.h"
#include "XException.h"

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
    m_attEndDay = endDay;
    Log(7, "Start Attendance Table at: " + XDateTime::Now().Format("dd/mm/yyyy|hh:nn:ss") + " ");

    SetAttendanceDatabase(m_sdeFolder.Path());
    m_attendance->StartTable(tableName);

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
        // Done once the table is filled (BlankUnseenAttendance): a table
        // never read keeps its codes.
        m_attendance->PrepareAttendanceBlank(m_updateDate.Format("yyyy-mm-dd"));
    }
    else
        m_attendance->CancelBlank();
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
            emit attendanceWindowRead(baseTitle.ToQString(), p.FormatIso().ToQString(),
                                      q.FormatIso().ToQString());
            logDates("m_schoolStartDate is: ", "m_schoolEndDate is: ");
            OpenAttendanceWindow(baseTitle, p, q);
            if (!begun)
            {
                WriteToAttendanceCache(baseTitle, [this] { m_attendance->BeginFill(); });
                begun = true;
            }
            ReadAttendanceWindow(filter);
        }
        m_title = baseTitle;
        WriteToAttendanceCache(baseTitle, [this] { m_attendance->BlankUnseenAttendance(); });
        m_attendance->CommitFill();
        if (m_attSkippedDates > kNamedSkippedDates)
            Log(4, "SQLite Attendance: skipped " + XString(m_attSkippedDates) + " records of " + baseTitle +
                       " whose date is no day of the calendar.");
    }
    catch (const std::exception& e)
    {
        Log(7, "Write Attendance Table: Failed with Error.  Cleaning up.");
        m_currentColumn = nullptr;
        m_title = baseTitle;
        // The cache stays as it was.
        m_attendance->AbandonFill();
        // Nothing of this run may reach the handheld.
        MarkTableIncomplete();
        throw XException(baseTitle + " failed: " + e.what());
    }
}

void SDEWriter::OpenAttendanceWindow(const XString& baseTitle, const XDate& p, const XDate& q)
{
    const char* format = m_settings.dateFormat.Text();
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
}

void SDEWriter::WriteToAttendanceCache(const XString& baseTitle, const std::function<void()>& write)
{
    try
    {
        write();
    }
    catch (const std::exception& e)
    {
        throw XException(baseTitle + ": the attendance cache cannot be written: " + e.what());
    }
}

void SDEWriter::ReadAttendanceWindow(const RowFilter& filter)
{
    // The n-th column with a value belongs to the n-th header name; the
    // names' roles are found once per window, not per record.
    struct Part
    {
        const SDEColumn* column;
        const XString* name;
        AttendanceCacheRow::Role role;
    };
    std::vector<Part> parts;
    if (m_currentHeader)
    {
        const std::vector<XString>& names = m_currentHeader->Names();
        for (const SDEColumn& column : m_columns)
            if (column.value && parts.size() < names.size())
            {
                const XString& name = names[parts.size()];
                parts.push_back({&column, &name, AttendanceCacheRow::RoleOf(name)});
            }
    }
    const char* format = m_settings.dateFormat.Text();
    for (bool more = GetFirstRecord(); more; more = GetNextRecord())
    {
        if (filter && !filter())
            continue;
        AttendanceCacheRow row;
        for (const Part& part : parts)
        {
            m_currentColumn = part.column;
            row.Apply(part.role, *part.name, part.column->value(), format);
            const AttendanceCacheRow::Field meaning = AttendanceCacheRow::MeaningOf(part.role);
            if (meaning == AttendanceCacheRow::Field::Known || !m_attReportOnce)
                continue;
            m_attReportOnce = false;
            if (meaning == AttendanceCacheRow::Field::Untested)
                Log(4,
                    "SQLite Attendance: Untested header: " + *part.name + ", please ensure this is tested");
            else
                Log(4, "SQLite Attendance: Unsupported header: " + *part.name + ", skipping.");
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
    if (row.keyKind != AttendanceCacheRow::KeyKind::None)
        m_attendance->KeyNames(row.keyKind == AttendanceCacheRow::KeyKind::TimeFrame).insert(row.header);
    if (!row.hasRange)
    {
        UpsertAttendanceRow(row);
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
        UpsertAttendanceRow(one);
    }
}
