// Filling the attendance cache from the SIS: reading windows, the field-name
// table, ranges, and the read-back into the update file.
#include "MemoryWriter.h"

#include "XException.h"
#include "XTextFile.h"
#include "database.h"
#include "query.h"

namespace
{
XDate Day(const char* yyyymmdd)
{
    XDate d;
    d.Parse("YYYYMMDD", yyyymmdd);
    return d;
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

TEST(AttendanceWindows, FollowTheUpdateDateToToday)
{
    const XDate s = Day("20260824"), e = Day("20270611");
    struct Case
    {
        const char* name;
        const char* today;
        XDate r;
        XDate s;
        bool extend;
        const char* windows;
    } cases[] = {
        {"twenty days", "20261021", Day("20261001"), s, false,
         "20261001-20261007 20261007-20261013 20261013-20261019 20261019-20261021"},
        {"extend adds a day to the last window", "20261003", Day("20261001"), s, true, "20261001-20261004"},
        {"null update date starts at the school start", "20260827", XDate(), s, false, "20260824-20260827"},
        {"day-0 update date starts at the school start", "20260827", XDate(0), s, false, "20260824-20260827"},
        {"day-0 school start and update date read up to today", "20260827", XDate(0), XDate(0), false,
         "-20260827"},
        {"no school start reads up to today", "20260827", XDate(), XDate(), false, "-20260827"},
        {"today after the school end stops at the end", "20270701", Day("20270608"), s, false,
         "20270608-20270611"},
        {"today before the school start reads the first day", "20260801", XDate(), s, false,
         "20260824-20260824"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.windows, Windows(c.today, c.r, c.s, e, c.extend)) << c.name;
    XClock::Reset();
}

TEST(AttendanceFieldNames, CombinedFieldsSetTheExcusedFlag)
{
    struct Case
    {
        const char* name;
        const char* value;
        const char* absent;
        const char* tardy;
        const char* excused;
    } cases[] = {
        {"AttExcAbs", "0", "0", "", "N"},       {"AttExcAbs", "1", "1", "", "Y"},
        {"AttExcAbs", "", "", "", "-"},         {"AttUnexcAbs", "0", "0", "", "Y"},
        {"AttUnexcAbs", "0.5", "0.5", "", "N"}, {"AttUnexcAbs", "", "", "", "-"},
        {"ATTEXCTARDY", "0", "", "0", "N"},     {"AttExcTardy", "2", "", "2", "Y"},
        {"AttExcTardy", "", "", "", "-"},       {"AttUnexcTardy", "0", "", "0", "Y"},
        {"AttUnexcTardy", "1", "", "1", "N"},   {"AttUnexcTardy", "", "", "", "-"},
    };
    for (const Case& c : cases)
    {
        AttendanceCacheRow row;
        row.excused = "-";
        EXPECT_EQ(AttendanceCacheRow::Field::Untested, row.Apply(c.name, c.value, "YYYYMMDD")) << c.name;
        EXPECT_EQ(XString(c.absent), row.absent) << c.name << " " << c.value;
        EXPECT_EQ(XString(c.tardy), row.tardy) << c.name << " " << c.value;
        EXPECT_EQ(XString(c.excused), row.excused) << c.name << " " << c.value;
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

class AttendanceCacheFill : public WriterTest
{
protected:
    void SetUp() override
    {
        WriterTest::SetUp();
        XClock::SetFixed(At(2026, 10, 3, 9, 0, 0));
        writer.Settings().dateFormat = "YYYYMMDD"; // as the engine sets it
    }

    // Runs one period fill over rows with the given header names.
    void Fill(const std::vector<const char*>& names, const std::vector<MemoryWriter::Row>& rows,
              const char* table = "PERIOD_ATT")
    {
        writer.StartAttTable(table, std::string(table) == "PERIOD_ATT", false);
        for (size_t i = 0; i < names.size(); ++i)
            writer.AddValueColumn(names[i], static_cast<int>(i));
        writer.rows = rows;
        writer.WriteAttendanceTable(Day("20260824"), Day("20270611"), {}, false);
        writer.FinishTable();
    }

    std::string Select(const std::string& sql)
    {
        sqlite::Query q(writer.Attendance().Database(), sql.c_str());
        std::string out;
        while (q.Step())
        {
            std::string line;
            for (const char* c : {"a", "b", "c", "d"})
                if (q.find_column(c) >= 0)
                    line += (line.empty() ? "" : "|") + q.StringColumn(c).Std();
            out += line + "\n";
        }
        return out;
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

const std::vector<const char*> kPeriodNames = {"AttStdRef",     "AttDate", "AttPerRef",
                                               "AttAttCodeRef", "AttAbs",  "AttTardy"};

TEST_F(AttendanceCacheFill, RangesWriteOneRowPerNumberOrStop)
{
    const std::vector<const char*> names = {"AttStdRef", "AttDate", "AttStartPerRef", "AttEndPerRef",
                                            "AttAttCodeRef"};
    Fill(names, {{"1001", "20261001", "2", "4", "A"}});
    EXPECT_EQ("2|AttPerRef|A\n3|AttPerRef|A\n4|AttPerRef|A\n",
              Select("SELECT perkey AS a, header AS b, newcode AS c FROM PERIOD_ATT ORDER BY perkey"));
    EXPECT_EQ(std::set<XString>{"AttPerRef"}, writer.PeriodNames());

    EXPECT_THROW(Fill(names, {{"1001", "20261001", "2", "x", "A"}}), XException);
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
    Fill(names, {{"1001", "20261131", "2", "A", "1", "0", "x", "y"},
                 {"1002", "20261199", "2", "A", "1", "0", "x", "y"},
                 {"1003", "20261100", "2", "A", "1", "0", "x", "y"},
                 {"1004", "", "2", "A", "1", "0", "x", "y"},
                 {"1005", "20261201", "2", "T", "0", "1", "x", "y"}});
    EXPECT_EQ(1, signalLog.Count("SQLite Attendance: Unsupported header: AttNote, skipping."));
    EXPECT_EQ(0, signalLog.Count("SQLite Attendance: Unsupported header: AttColour, skipping."));
    EXPECT_EQ("1005|2026-12-01\n", Select("SELECT stdkey AS a, attdate AS b FROM PERIOD_ATT"));
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

    Fill(daily, {{"1001", "20261001", "ILL", "0.5", "0"}}, "DAILY_ATT");
    Fill(kPeriodNames, {{"1001", "20261001", "2", "A", "1", "0"}, {"1002", "20261002", "1", "T", "0", "1"}});
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
    Fill(kPeriodNames, {{"1001", "20261001", "2", "A", "1", "0"}, {"1002", "20261002", "1", "T", "0", "1"}});
    writer.Attendance().Database().Execute("CREATE TRIGGER refuse BEFORE UPDATE ON PERIOD_ATT WHEN "
                                           "NEW.newcode = '' BEGIN SELECT RAISE(FAIL, 'refused'); END");
    EXPECT_THROW(Fill(kPeriodNames, {{"1001", "20261001", "2", "E", "1", "0"}}), XException);
    EXPECT_EQ("1001|A\n1002|T\n", Select("SELECT stdkey AS a, newcode AS b FROM PERIOD_ATT ORDER BY 1"));
}

} // namespace
