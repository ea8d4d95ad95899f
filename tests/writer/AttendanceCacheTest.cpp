// The attendance cache on its own: its tables, the fill with its blank, the
// read-back with its marks, and failures that leave it as it was.
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <functional>

#include <gtest/gtest.h>

#include "XClock.h"
#include "attendance/AttendanceCache.h"
#include "query.h"

namespace
{
class AttendanceCacheTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    std::vector<std::string> logs;
    AttendanceCache cache{[this](int level, const XString& message)
                          { logs.push_back(std::to_string(level) + " " + message.Std()); }};

    void SetUp() override
    {
        XClock::SetFixed(XDateTime(XDate(2026, 12, 9), XTime(10, 11, 12)));
        cache.Open(XFileSpec(XString(dir.path() + "/Attendance.db")), [] {});
    }
    void TearDown() override { XClock::Reset(); }

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
                cache.Upsert(AttendanceCache::kPeriodTable, row);
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

    std::string Select(const char* sql)
    {
        sqlite::Query query(cache.Database(), sql);
        std::string out;
        while (query.Step())
            out += query.StringColumn(0).Std() + "\n";
        return out;
    }
    int Logged(const std::string& start, const std::string& part) const
    {
        return static_cast<int>(std::count_if(logs.begin(), logs.end(),
                                              [&](const std::string& line) {
                                                  return line.rfind(start, 0) == 0 &&
                                                         line.find(part) != std::string::npos;
                                              }));
    }
};

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
} // namespace
