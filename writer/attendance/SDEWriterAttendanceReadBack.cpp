// The read-back of the attendance cache into the update file: the rows whose
// new code differs from the one last exported, then marked exported.
#include "SDEWriter.h"

#include "XClock.h"
#include "XException.h"

namespace
{
struct ReadBackKind
{
    const char* table;
    const char* label;    // "Daily" or "Period"
    const char* method;   // for the log lines
    const char* failure;  // how a failure of the read is reported
    const char* fallback; // the key name assumed when none was met
    const char* title;
    const char* fileName;
};

const ReadBackKind kDaily = {SDEWriter::kDailyAttTable,
                             "Daily",
                             "CreateStudentDailyAttendanceFromDB",
                             "Error: ",
                             "AttTimeFrameRef",
                             "Cached Daily Attendance",
                             "StudentDailyAtt.sef"};
const ReadBackKind kPeriod = {SDEWriter::kPeriodAttTable,
                              "Period",
                              "CreateStudentPeriodAttendanceFromDB",
                              "Warning: ",
                              "AttPerRef",
                              "Cached Period Attendance",
                              "StudentPeriodAtt.sef"};

} // namespace

bool SDEWriter::IncludesStudent(const XString& student)
{
    (void)student;
    return true;
}

void SDEWriter::CreateStudentDailyAttendanceFromDB(bool filter)
{
    CreateAttendanceFromDB(true, filter);
}

void SDEWriter::CreateStudentPeriodAttendanceFromDB(bool filter)
{
    CreateAttendanceFromDB(false, filter);
}

void SDEWriter::CreateAttendanceFromDB(bool daily, bool filter)
{
    const ReadBackKind& kind = daily ? kDaily : kPeriod;
    if (!m_attendance->IsOpen())
        SetAttendanceDatabase(m_sdeFolder.Path());
    if (!m_attendance->HasTable(kind.table))
    {
        PutJobText(XString(kind.label) + " Attendance Table does not exist, skipping");
        return;
    }
    if (!m_sduFile || !m_sduFile->IsOpen())
        throw XException(XString(kind.title) + ": no update file is open.");
    Log(7, XString("Exporting ") + kind.label + " Attendance from DB");

    std::set<XString>& names = m_attendance->KeyNames(daily);
    if (names.empty())
    {
        // Daily attendance has no time-frame column, so without this the
        // daily rows (header empty) would never be written.
        names.insert(kind.fallback);
        Log(8, XString(kind.method) + ": Either no data returned or No " + (daily ? "" : "Period ") +
                   "Timeframe header set, assuming " + kind.fallback);
    }
    const std::vector<XString> nameList(names.begin(), names.end());
    for (const XString& name : nameList)
        WriteUnsentAttendance(daily, name, filter);
}

void SDEWriter::WriteUnsentAttendance(bool daily, const XString& keyName, bool filter)
{
    const ReadBackKind& kind = daily ? kDaily : kPeriod;
    const XString method(kind.method);
    StartTable(kind.title, kind.fileName);
    for (const char* field : {"AttStdRef", "AttDate"})
        AddHeaderField(field);
    AddHeaderField(keyName);
    for (const char* field : {"AttAttCodeRef", "AttAttReasonRef", "AttExcused", "AttAbs", "AttTardy",
                              "AttTruant", "AttDiscipline"})
        AddHeaderField(field);
    m_currentHeader->WriteHeader(*m_sduFile);

    const char* format = m_settings.dateFormat.Text();
    XDate date;
    const auto write = [&](const AttendanceCache::UnsentRow& row)
    {
        date.Parse("YYYY-MM-DD", row.date.Text());
        m_sduFile->WriteField(row.student);
        m_sduFile->WriteField(date.Format(format));
        m_sduFile->WriteField(row.key);
        m_sduFile->WriteField(row.code);
        for (const XString& detail : row.details)
            m_sduFile->WriteField(detail);
        m_sduFile->EndLine();
    };
    std::function<bool(const XString&)> admit;
    if (filter)
        admit = [this](const XString& student) { return IncludesStudent(student); };
    // A half-read table is no update: a failure fails the run and its marks go back.
    const AttendanceCache::ReadBack counts = m_attendance->ReadUnsent(
        kind.table, keyName, kind.fallback, admit, write, method + " " + kind.failure);
    Log(8, "Students: Total:" + XString(counts.read));
    Log(8, "Students: Total After Filter:" + XString(counts.written));
    Log(8, "Attendance Query: Wrote" + XString(counts.written) + " records.");
    m_sduFile->WriteText("*\r\n\r\n");
    m_updateDateTime = XDateTime::Now();
    m_updateDate = XDate::Today();
    FinishTable();
}
