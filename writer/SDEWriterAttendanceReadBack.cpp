// The read-back of the attendance cache into the update file: the rows whose
// new code differs from the one last exported, then marked exported.
#include "SDEWriter.h"

#include "SDEWriterAttendanceStatement.h"
#include "XClock.h"
#include "XException.h"
#include "database.h"
#include "query.h"

namespace
{
struct ReadBackKind
{
    const char* table;
    const char* keyColumn;
    const char* label;    // "Daily" or "Period"
    const char* method;   // for the log lines
    const char* failure;  // how a failure of the read is reported
    const char* fallback; // the key name assumed when none was met
    const char* title;
    const char* fileName;
};

const ReadBackKind kDaily = {SDEWriter::kDailyAttTable,
                             "timeframe",
                             "Daily",
                             "CreateStudentDailyAttendanceFromDB",
                             "Error: ",
                             "AttTimeFrameRef",
                             "Cached Daily Attendance",
                             "StudentDailyAtt.sef"};
const ReadBackKind kPeriod = {SDEWriter::kPeriodAttTable,
                              "perkey",
                              "Period",
                              "CreateStudentPeriodAttendanceFromDB",
                              "Warning: ",
                              "AttPerRef",
                              "Cached Period Attendance",
                              "StudentPeriodAtt.sef"};

// header = 'N', or for the fallback name (header = 'N' OR header = '').
XString HeaderCondition(const ReadBackKind& kind, const XString& name)
{
    if (name == kind.fallback)
        return "(header = '" + name + "' OR header = '')";
    return "header = '" + name + "'";
}
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
    const XString method(kind.method);
    sqlite::Database& cache = AttCache();
    if (!cache.IsOpen())
        SetAttendanceDatabase(m_sdeFolder.Path());
    {
        sqlite::Query exists(cache);
        exists.PrepareFormat("SELECT * FROM sqlite_master WHERE type='table' AND name='%s'", kind.table);
        if (!exists.Step())
        {
            PutJobText(XString(kind.label) + " Attendance Table does not exist, skipping");
            return;
        }
    }
    if (!m_sduFile || !m_sduFile->IsOpen())
        throw XException(XString(kind.title) + ": no update file is open.");
    Log(7, XString("Exporting ") + kind.label + " Attendance from DB");

    std::set<XString>& names = daily ? m_timeFrameNames : m_periodNames;
    if (names.empty())
    {
        // Daily attendance has no time-frame column, so without this the
        // daily rows (header empty) would never be written.
        names.insert(kind.fallback);
        Log(8, method + ": Either no data returned or No " + (daily ? "" : "Period ") +
                   "Timeframe header set, assuming " + kind.fallback);
    }

    const char* format = m_settings.dateFormat.Text();
    const std::vector<XString> nameList(names.begin(), names.end());
    for (const XString& name : nameList)
    {
        StartTable(kind.title, kind.fileName);
        for (const char* field : {"AttStdRef", "AttDate"})
            AddHeaderField(field);
        AddHeaderField(name);
        for (const char* field : {"AttAttCodeRef", "AttAttReasonRef", "AttExcused", "AttAbs", "AttTardy",
                                  "AttTruant", "AttDiscipline"})
            AddHeaderField(field);
        m_currentHeader->WriteHeader(*m_sduFile);

        const XString header = HeaderCondition(kind, name);
        const XString where =
            " WHERE newcode IS NOT NULL AND (newcode <> oldcode OR oldcode IS NULL) AND " + header;
        const XString select =
            XString("SELECT stdkey, attdate, reason, excused, absent, tardy, truant, discipline, ") +
            kind.keyColumn + ", oldcode, newcode FROM " + kind.table + where;
        Log(9, "Attendance Query: " + select);

        // Without a student filter every row read is marked by one statement
        // over the same rows; with one, each row written is marked by itself.
        const XString markAll = XString("UPDATE ") + kind.table + " SET oldcode=newcode" + where;
        XString lastMark;
        int rows = 0;
        int passed = 0;
        try
        {
            std::unique_ptr<AttendanceStatement> mark;
            if (filter)
                mark = std::make_unique<AttendanceStatement>(
                    cache, XString("UPDATE ").Std() + kind.table +
                               " SET oldcode=newcode WHERE stdkey=? AND " + "attdate=? AND " +
                               kind.keyColumn + "=? AND newcode=? AND " +
                               (name == kind.fallback ? "(header = ? OR header = '')" : "header=?"));
            // Committed only once the update file is in place (FinishUpdate).
            BeginAttendanceMarks();
            sqlite::Query query(cache, select.Text());
            const int studentColumn = query.FindColumn("stdkey");
            const int dateColumn = query.FindColumn("attdate");
            const int keyColumn = query.FindColumn(kind.keyColumn);
            const int codeColumn = query.FindColumn("newcode");
            std::vector<int> detailColumns;
            for (const char* column : {"reason", "excused", "absent", "tardy", "truant", "discipline"})
                detailColumns.push_back(query.FindColumn(column));
            bool marking = true;
            XDate date;
            while (query.Step())
            {
                ++rows;
                const XString student = query.StringColumn(studentColumn);
                if (filter && !IncludesStudent(student))
                    continue;
                ++passed;
                const XString attdate = query.StringColumn(dateColumn);
                const XString key = query.StringColumn(keyColumn);
                const XString code = query.StringColumn(codeColumn);
                date.Parse("YYYY-MM-DD", attdate.Text());
                m_sduFile->WriteField(student);
                m_sduFile->WriteField(date.Format(format));
                m_sduFile->WriteField(key);
                m_sduFile->WriteField(code);
                for (const int column : detailColumns)
                    m_sduFile->WriteField(query.StringColumn(column));
                m_sduFile->EndLine();

                if (!mark || !marking)
                    continue;
                lastMark = XString("UPDATE ") + kind.table + " SET oldcode=newcode WHERE stdkey='" + student +
                           "' AND attdate='" + attdate + "' AND " + kind.keyColumn + "='" + key +
                           "' AND newcode='" + code + "' AND " + header;
                if (mark->Run({&student, &attdate, &key, &code, &name}) == 0)
                {
                    // Once one row cannot be marked, none after it is.
                    marking = false;
                    if (!daily)
                        Log(7, "CreateStudentPeriodAttendanceFromDB At least 1 update failed.");
                }
            }
            query.Finalize();
            if (!mark)
            {
                lastMark = markAll;
                AttendanceStatement all(cache, markAll.Std());
                if (all.Run({}) < rows && !daily)
                    Log(7, "CreateStudentPeriodAttendanceFromDB At least 1 update failed.");
            }
            Log(8, "Students: Total:" + XString(rows));
            Log(8, "Students: Total After Filter:" + XString(passed));
            Log(8, "Attendance Query: Wrote" + XString(passed) + " records.");
        }
        catch (const std::exception& e)
        {
            Log(8, method + " " + kind.failure + e.what());
            Log(9, "Update Query: " + lastMark);
            // A half-read table is no update: the run fails and its marks go back.
            throw;
        }
        m_sduFile->WriteText("*\r\n\r\n");
        m_updateDateTime = XDateTime::Now();
        m_updateDate = XDate::Today();
        FinishTable();
    }
}
