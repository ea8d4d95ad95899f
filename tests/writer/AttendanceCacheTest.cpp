// The attendance cache: the windows and field names of the fill from the SIS,
// its tables, the fill with its blank, the read-back with its marks, and
// failures that leave it as it was; on its own and through the writer.
#include "MemoryWriter.h"

#include "GoldenSection.h"

#include <array>

#include "XTextFile.h"
#include "attendance/AttendanceCache.h"
#include "query.h"

namespace
{
XDate Day(const char* yyyymmdd)
{
    XDate d;
    d.Parse("YYYYMMDD", yyyymmdd);
    return d;
}

// A date of the golden lines: empty is null, "0" day 0.
XDate DayOf(const std::string& text)
{
    return text.empty() ? XDate() : text == "0" ? XDate(0) : Day(text.c_str());
}

// Every window from update date r as "p-q", with today fixed.
std::string Windows(const char* today, XDate r, const XDate& s, const XDate& e, bool extend = false)
{
    XClock::SetFixed(XDateTime(Day(today), XTime(9, 0, 0)));
    std::string out;
    XDate p, q;
    for (int guard = 0; guard < 100; ++guard)
    {
        const bool last = SDEWriter::NextAttendanceWindow(r, p, q, s, e, extend);
        out += (out.empty() ? "" : " ") + p.Format("YYYYMMDD").Std() + "-" + q.Format("YYYYMMDD").Std();
        if (last)
            break;
    }
    return out;
}

// The writer's cache, opened on a file of the SDE folder.
class AttendanceCacheTest : public WriterTest
{
protected:
    AttendanceCache& cache = writer.Attendance();

    void SetUp() override
    {
        WriterTest::SetUp();
        cache.Open(XFileSpec(XString(PathOf("Attendance.db"))), [] {});
    }

    // One fill of PERIOD_ATT with records "student date(yyyymmdd) period code", blanking from blankFrom.
    void Fill(const std::vector<std::array<const char*, 4>>& records, const char* blankFrom = "2026-09-01")
    {
        cache.StartTable(AttendanceCache::kPeriodTable);
        cache.PrepareAttendanceBlank(blankFrom);
        cache.BeginFill();
        try
        {
            for (const auto& [student, date, key, code] : records)
            {
                AttendanceCacheRow row;
                row.student = student;
                row.date.Parse("YYYYMMDD", date);
                row.key = key;
                row.header = "AttPerRef";
                row.code = code;
                row.absent = "1";
                cache.Upsert(row);
            }
            cache.BlankUnseenAttendance();
            cache.CommitFill();
        }
        catch (...)
        {
            cache.AbandonFill();
            throw;
        }
    }

    // The rows the read-back gives (students refused skipped), marked sent.
    std::string Unsent(const char* refused = "")
    {
        std::string out;
        std::function<bool(const XString&)> admit;
        if (*refused)
            admit = [refused](const XString& student) { return student != refused; };
        cache.ReadUnsent(
            AttendanceCache::kPeriodTable, "AttPerRef", "AttPerRef", admit,
            [&out](const AttendanceCache::UnsentRow& row)
            {
                out += row.student.Std() + "|" + row.date.Std() + "|" + row.key.Std() + "|" + row.code.Std() +
                       "|" + row.details[2].Std() + "\n";
            },
            "Read-back: ");
        cache.CommitMarks();
        return out;
    }

    // The first column of every row, one a line.
    std::string Select(const std::string& sql)
    {
        sqlite::Query query(cache.Database(), sql.c_str());
        std::string out;
        while (query.Step())
            out += query.StringColumn(0).Std() + "\n";
        return out;
    }
    // Log lines "level message" that start with start and hold part.
    int Logged(const std::string& start, const std::string& part) const
    {
        return static_cast<int>(
            std::count_if(signalLog.logs.begin(), signalLog.logs.end(),
                          [&](const LogEntry& entry)
                          {
                              const std::string line = std::to_string(entry.level) + " " + entry.message;
                              return line.rfind(start, 0) == 0 && line.find(part) != std::string::npos;
                          }));
    }
};

// The cache as the writer fills it from the SIS, on the day the engine runs.
class AttendanceCacheFill : public AttendanceCacheTest
{
protected:
    // The writer opens its cache itself, in its Attendance folder.
    void SetUp() override
    {
        WriterTest::SetUp();
        XClock::SetFixed(At(2026, 10, 3, 9, 0, 0));
        writer.Settings().dateFormat = "YYYYMMDD"; // as the engine sets it
    }

    // Runs one fill over rows with the given header names.
    void WriterFill(const std::vector<const char*>& names, const std::vector<MemoryWriter::Row>& rows,
                    const char* table = "PERIOD_ATT")
    {
        writer.StartAttTable(table, std::string(table) == "PERIOD_ATT", false);
        for (size_t i = 0; i < names.size(); ++i)
            writer.AddValueColumn(names[i], static_cast<int>(i));
        writer.rows = rows;
        writer.WriteAttendanceTable(Day("20260824"), Day("20270611"), {}, false);
        writer.FinishTable();
    }

    // The sections of the update file between its headers and its timing lines.
    std::string Update(const std::function<void()>& readBack)
    {
        XTextFile file('\t', "", "");
        writer.StartUpdate(file);
        readBack();
        writer.FinishUpdate();
        const std::string bytes = FileBytes(writer.UpdateFileTarget().FileName());
        const std::string start = "// Import Files and Headers\r\n//\r\n\r\n";
        const size_t from = bytes.find(start);
        const size_t to = bytes.find("//  Timing");
        if (from == std::string::npos || to == std::string::npos)
            return "<no update file>";
        return bytes.substr(from + start.size(), to - from - start.size());
    }
};

TEST(AttendanceWindows, FollowTheUpdateDateToToday)
{
    for (const auto& l : GoldenLines("attendance.txt", "Windows", 5, "writer"))
        EXPECT_EQ(l[4], Windows(l[0].c_str(), DayOf(l[1]), DayOf(l[2]), Day("20270611"), l[3] == "extend"))
            << l[0] << " " << l[1] << " " << l[2];
    XClock::Reset();
}

TEST(AttendanceFieldNames, CombinedFieldsSetTheExcusedFlag)
{
    for (const auto& l : GoldenLines("attendance.txt", "CombinedFields", 5, "writer"))
    {
        AttendanceCacheRow row;
        row.excused = "-";
        EXPECT_EQ(AttendanceCacheRow::Field::Untested, row.Apply(l[0].c_str(), l[1].c_str(), "YYYYMMDD"))
            << l[0];
        EXPECT_EQ(XString(l[2]), row.absent) << l[0] << " " << l[1];
        EXPECT_EQ(XString(l[3]), row.tardy) << l[0] << " " << l[1];
        EXPECT_EQ(XString(l[4]), row.excused) << l[0] << " " << l[1];
    }

    AttendanceCacheRow row;
    EXPECT_EQ(AttendanceCacheRow::Field::Known, row.Apply("AttPerRef", "3", "YYYYMMDD"));
    EXPECT_EQ(AttendanceCacheRow::Field::Known, row.Apply("attdate", "20261001", "YYYYMMDD"));
    EXPECT_EQ(AttendanceCacheRow::Field::Untested, row.Apply("AttDiscipline", "D", "YYYYMMDD"));
    EXPECT_EQ(AttendanceCacheRow::Field::Unsupported, row.Apply("AttNote", "x", "YYYYMMDD"));
    EXPECT_EQ(XString("AttPerRef"), row.header); // as spelled, not upper-cased
    EXPECT_EQ(XString("3"), row.key);
    EXPECT_EQ(Day("20261001"), row.date);
    EXPECT_EQ(XString("D"), row.discipline);
}

TEST_F(AttendanceCacheTest, UpdateIsDueTwelveHoursAfterTheLastOneOrWhenUnknown)
{
    EXPECT_TRUE(cache.UpdateDue("DAILY_ATT"));
    EXPECT_EQ(1, Logged("8 Check SQLite Update Date: ", "no such table"));
    cache.Database().Execute("CREATE TABLE UPDATECONFIG (ELEMENT VARCHAR(100), UPDATED VARCHAR(30));"
                             "INSERT INTO UPDATECONFIG VALUES ('DAILY_ATT', '2026-12-08 22:11:11.000');"
                             "INSERT INTO UPDATECONFIG VALUES ('PERIOD_ATT', '2026-12-08 22:11:13.000')");
    const struct
    {
        const char* element;
        bool due;
    } cases[] = {{"DAILY_ATT", true}, {"PERIOD_ATT", false}, {"NO_ROW", true}}; // 12:00:01 and 11:59:59 ago
    for (const auto& c : cases)
        EXPECT_EQ(c.due, cache.UpdateDue(c.element)) << c.element;
    EXPECT_EQ(1, Logged("9 UpdateConfig Query: SELECT UPDATED FROM UPDATECONFIG WHERE ELEMENT='NO_ROW'", ""));
}

TEST_F(AttendanceCacheTest, DropsOnlyItsOwnTables)
{
    cache.Database().Execute("CREATE TABLE DAILY_ATT (stdkey); CREATE TABLE OTHER (stdkey)");
    for (const char* table : {"OTHER", "DAILY_ATT", "PERIOD_ATT"}) // PERIOD_ATT missing: logged, not thrown
        cache.DropTable(table);
    EXPECT_EQ("OTHER\n", Select("SELECT name FROM sqlite_master WHERE type='table'"));
    EXPECT_EQ(1, Logged("3 Failed to Drop table: PERIOD_ATT: ", "no such table"));
}

TEST_F(AttendanceCacheTest, TheTableHasItsSchemaAndItsIndexesComeBack)
{
    // A record met twice in the fill of an empty table keeps the last code.
    Fill({{"O'Neil", "20261001", "2", "A"}, {"O'Neil", "20261001", "2", "T"}});
    EXPECT_EQ(
        "stdkey VARCHAR(100) 1\nattdate DATETIME 2\nperkey VARCHAR(100) 3\nreason VARCHAR(100) 0\n"
        "excused VARCHAR(100) 0\nabsent VARCHAR(100) 0\ntardy VARCHAR(100) 0\ntruant VARCHAR(100) 0\n"
        "discipline VARCHAR(100) 0\nheader VARCHAR(10) 4\noldcode VARCHAR(100) 0\nnewcode VARCHAR(100) 0\n",
        Select("SELECT name || ' ' || type || ' ' || pk FROM pragma_table_info('PERIOD_ATT')"));
    EXPECT_EQ("ONeil 2026-10-01 2 AttPerRef T\n",
              Select("SELECT stdkey || ' ' || attdate || ' ' || perkey || ' ' || header || ' ' || newcode "
                     "FROM PERIOD_ATT"));
    // The index of unsent rows comes once the first read-back has marked them.
    const char* indexes =
        "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name";
    EXPECT_EQ("PERIOD_ATT_attdate\n", Select(indexes));
    EXPECT_EQ("ONeil|2026-10-01|2|T|1\n", Unsent());
    EXPECT_EQ("PERIOD_ATT_attdate\nPERIOD_ATT_unsent\n", Select(indexes));
    cache.Database().Execute("DROP INDEX PERIOD_ATT_attdate; DROP INDEX PERIOD_ATT_unsent");
    cache.StartTable(AttendanceCache::kPeriodTable);
    EXPECT_EQ("PERIOD_ATT_attdate\nPERIOD_ATT_unsent\n", Select(indexes));
}

// Run after run, only what changed goes out, once; a record gone from the
// SIS within the blank's range goes out once as empty.
TEST_F(AttendanceCacheTest, EachChangeGoesOutOnce)
{
    const char* changes = "SELECT total_changes()";
    const struct
    {
        const char* name;
        std::vector<std::array<const char*, 4>> records;
        const char* refused;
        const char* unsent;
        bool unchanged = false;
        const char* blankFrom = "2026-09-01";
    } runs[] = {
        {"first fill",
         {{"1001", "20261001", "2", "A"}, {"1002", "20261002", "1", "T"}},
         "1002",
         "1001|2026-10-01|2|A|1\n"},
        {"a refused student is neither sent nor marked",
         {{"1001", "20261001", "2", "A"}, {"1002", "20261002", "1", "T"}},
         "",
         "1002|2026-10-02|1|T|1\n",
         true},
        {"an unchanged fill writes nothing",
         {{"1001", "20261001", "2", "A"}, {"1002", "20261002", "1", "T"}},
         "",
         "",
         true},
        {"changed, gone, new with an empty code, new",
         {{"1001", "20261001", "2", "E"}, {"1003", "20261002", "3", ""}, {"1004", "20261002", "3", "T"}},
         "",
         "1001|2026-10-01|2|E|1\n1002|2026-10-02|1||1\n1004|2026-10-02|3|T|1\n"},
        {"cleared and gone",
         {{"1001", "20261001", "2", ""}},
         "",
         "1001|2026-10-01|2||1\n1004|2026-10-02|3||1\n"},
        {"blank rows stay blank", {}, "", ""},
        {"rows before the blank's range stay",
         {{"1005", "20261201", "1", "P"}},
         "",
         "1005|2026-12-01|1|P|1\n",
         false,
         "2026-11-01"},
    };
    for (const auto& run : runs)
    {
        const std::string before = Select(changes);
        Fill(run.records, run.blankFrom);
        if (run.unchanged)
        {
            EXPECT_EQ(before, Select(changes)) << run.name;
        }
        EXPECT_EQ(run.unsent, Unsent(run.refused)) << run.name;
    }
    // A blank prepared for a table that is never filled changes nothing.
    cache.PrepareAttendanceBlank("2026-01-01");
    EXPECT_EQ("1001|\n1002|\n1004|\n1005|P\n",
              Select("SELECT stdkey || '|' || newcode FROM PERIOD_ATT ORDER BY 1"));
    cache.CancelBlank();
}

// A failure anywhere in a fill or a read-back leaves the cache as it was:
// no blank, no new code, no mark.
TEST_F(AttendanceCacheTest, AFailureLeavesTheCacheAsItWas)
{
    Fill({{"1001", "20261001", "2", "A"}, {"1002", "20261002", "1", "T"}});
    const char* codes =
        "SELECT stdkey || '|' || newcode || '|' || ifnull(oldcode, '-') FROM PERIOD_ATT ORDER BY 1";
    const std::string before = Select(codes);
    const struct
    {
        const char* name;
        const char* when;
        std::vector<std::array<const char*, 4>> fill; // none: a read-back
        const char* logged;
    } cases[] = {
        {"a refused row ends the fill",
         "NEW.stdkey = '1002' AND NEW.newcode <> ''",
         {{"1001", "20261001", "2", "E"}, {"1002", "20261002", "1", "A"}},
         "8 Attendance: Update Row: "},
        {"a refused blank ends the fill",
         "NEW.newcode = ''",
         {{"1001", "20261001", "2", "E"}},
         "8 Attendance::BlankNewCodeInSQLiteDB: "},
        {"a refused mark ends the read-back", "NEW.stdkey = '1002'", {}, "8 Read-back: "},
    };
    for (const auto& c : cases)
    {
        cache.Database().Execute(("CREATE TRIGGER refuse BEFORE UPDATE ON PERIOD_ATT WHEN " +
                                  std::string(c.when) + " BEGIN SELECT RAISE(FAIL, 'refused'); END")
                                     .c_str());
        if (!c.fill.empty())
            EXPECT_THROW(Fill(c.fill), std::exception) << c.name;
        else
        {
            EXPECT_THROW(Unsent("1003"), std::exception) << c.name;
            cache.DiscardMarks();
        }
        EXPECT_EQ(1, Logged(c.logged, "refused")) << c.name;
        cache.Database().Execute("DROP TRIGGER refuse");
        EXPECT_EQ(before, Select(codes)) << c.name;
    }
}

// A row refused while later ones are still coming ends the fill all the same.
TEST_F(AttendanceCacheTest, ARowRefusedAmongThousandsEndsTheFill)
{
    Fill({{"1001", "20261001", "2", "A"}});
    cache.Database().Execute("CREATE TRIGGER refuse BEFORE INSERT ON PERIOD_ATT WHEN NEW.stdkey = '1005' "
                             "BEGIN SELECT RAISE(FAIL, 'refused'); END");
    std::vector<std::string> students;
    for (int i = 1002; i < 12000; ++i)
        students.push_back(std::to_string(i));
    std::vector<std::array<const char*, 4>> records;
    for (const std::string& student : students)
        records.push_back({student.c_str(), "20261002", "1", "A"});
    EXPECT_THROW(Fill(records), std::exception);
    EXPECT_EQ(1, Logged("8 Attendance: Insert Row: ", "refused"));
    EXPECT_EQ("1001\n", Select("SELECT stdkey FROM PERIOD_ATT"));
}

const std::vector<const char*> kPeriodNames = {"AttStdRef",     "AttDate", "AttPerRef",
                                               "AttAttCodeRef", "AttAbs",  "AttTardy"};

TEST_F(AttendanceCacheFill, RangesWriteOneRowPerNumberOrStop)
{
    const std::vector<const char*> names = {"AttStdRef", "AttDate", "AttStartPerRef", "AttEndPerRef",
                                            "AttAttCodeRef"};
    WriterFill(names, {{"1001", "20261001", "2", "4", "A"}});
    EXPECT_EQ("2|AttPerRef|A\n3|AttPerRef|A\n4|AttPerRef|A\n",
              Select("SELECT perkey || '|' || header || '|' || newcode FROM PERIOD_ATT ORDER BY perkey"));
    EXPECT_EQ(std::set<XString>{"AttPerRef"}, writer.PeriodNames());

    EXPECT_THROW(WriterFill(names, {{"1001", "20261001", "2", "x", "A"}}), XException);
    EXPECT_TRUE(signalLog.Has(3, "SQLite Attendance: Unsupported header: AttPerRef, cannot continue because "
                                 "Periods or Timeframes are not numeric."));
    const auto& failed = writer.IncompleteTables();
    ASSERT_EQ(1u, failed.size());
    EXPECT_EQ(XString("Student Period Attendance"), failed[0]);
}

// A date that names no day is not rolled over into another day's record:
// the record is left out with a warning. An unknown header is reported once,
// a second one not at all.
TEST_F(AttendanceCacheFill, ImpossibleDatesAndUnknownHeadersAreLeftOut)
{
    std::vector<const char*> names = kPeriodNames;
    names.insert(names.end(), {"AttNote", "AttColour"});
    WriterFill(names, {{"1001", "20261131", "2", "A", "1", "0", "x", "y"},
                       {"1002", "20261199", "2", "A", "1", "0", "x", "y"},
                       {"1003", "20261100", "2", "A", "1", "0", "x", "y"},
                       {"1004", "", "2", "A", "1", "0", "x", "y"},
                       {"1005", "20261201", "2", "T", "0", "1", "x", "y"}});
    EXPECT_EQ(1, signalLog.Count("SQLite Attendance: Unsupported header: AttNote, skipping."));
    EXPECT_EQ(0, signalLog.Count("SQLite Attendance: Unsupported header: AttColour, skipping."));
    EXPECT_EQ("1005|2026-12-01\n", Select("SELECT stdkey || '|' || attdate FROM PERIOD_ATT"));
    for (const char* skipped : {"1001: its date \"20261131\"", "1002: its date \"20261199\"",
                                "1003: its date \"20261100\"", "1004: its date \"\""})
        EXPECT_TRUE(signalLog.Has(4, std::string("SQLite Attendance: skipped a record of student ") +
                                         skipped + " is no day of the calendar."))
            << skipped;
}

// Fill, export, export again: only what changed goes out, in the update file's format.
TEST_F(AttendanceCacheFill, ReadBackWritesChangesOnceAndMarksThem)
{
    const std::string dailyHeader =
        "// Cached Daily Attendance\r\nAttStdRef\tAttDate\tAttTimeFrameRef\t"
        "AttAttCodeRef\tAttAttReasonRef\tAttExcused\tAttAbs\tAttTardy\tAttTruant\t"
        "AttDiscipline\r\n";
    const std::string periodHeader =
        "// Cached Period Attendance\r\nAttStdRef\tAttDate\tAttPerRef\t"
        "AttAttCodeRef\tAttAttReasonRef\tAttExcused\tAttAbs\tAttTardy\tAttTruant\t"
        "AttDiscipline\r\n";
    const std::vector<const char*> daily = {"AttStdRef", "AttDate", "AttAttCodeRef", "AttAbs", "AttTardy"};
    auto both = [this]
    {
        writer.CreateStudentDailyAttendanceFromDB(false);
        writer.CreateStudentPeriodAttendanceFromDB(false);
    };

    WriterFill(daily, {{"1001", "20261001", "ILL", "0.5", "0"}}, "DAILY_ATT");
    WriterFill(kPeriodNames,
               {{"1001", "20261001", "2", "A", "1", "0"}, {"1002", "20261002", "1", "T", "0", "1"}});
    EXPECT_EQ(dailyHeader + "1001\t20261001\t\tILL\t\t\t0.5\t0\t\t\r\n*\r\n\r\n" + periodHeader +
                  "1001\t20261001\t2\tA\t\t\t1\t0\t\t\r\n1002\t20261002\t1\tT\t\t\t0\t1\t\t\r\n*\r\n\r\n",
              Update(both));
    EXPECT_TRUE(signalLog.Has(8,
                              "CreateStudentDailyAttendanceFromDB: Either no data returned or No Timeframe "
                              "header set, assuming AttTimeFrameRef"));
    EXPECT_EQ(Day("20261003"), writer.UpdateDate());

    EXPECT_EQ(dailyHeader + "*\r\n\r\n" + periodHeader + "*\r\n\r\n", Update(both));
    // The clock stands still: each file takes the next free second, in its name and its stamp.
    EXPECT_EQ(XString("Update 20261003090001.SDU"), XString(writer.UpdateFileTarget().FileName()));
    EXPECT_NE(std::string::npos,
              FileBytes("Update 20261003090001.SDU").find("#pragma update \"20261003090001\""));
}

// A blank the cache refuses fails the table and takes the whole fill back.
TEST_F(AttendanceCacheFill, AFailedFillLeavesTheCacheAsItWas)
{
    WriterFill(kPeriodNames,
               {{"1001", "20261001", "2", "A", "1", "0"}, {"1002", "20261002", "1", "T", "0", "1"}});
    cache.Database().Execute("CREATE TRIGGER refuse BEFORE UPDATE ON PERIOD_ATT WHEN "
                             "NEW.newcode = '' BEGIN SELECT RAISE(FAIL, 'refused'); END");
    EXPECT_THROW(WriterFill(kPeriodNames, {{"1001", "20261001", "2", "E", "1", "0"}}), XException);
    EXPECT_EQ("1001|A\n1002|T\n", Select("SELECT stdkey || '|' || newcode FROM PERIOD_ATT ORDER BY 1"));
}

} // namespace
