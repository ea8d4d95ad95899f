#include <gtest/gtest.h>

#include "DemoDistrict.h"
#include "DemoSchema.h"
#include "SqlScriptWriter.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <stdexcept>

using namespace demo;

namespace
{

std::string script(Flavour flavour, int size, const char* today, Dialect dialect = Dialect::Sqlite)
{
    DemoOptions o;
    o.dialect = dialect;
    o.flavour = flavour;
    o.studentsPerSchool = size;
    o.today = CivilDate::parse(today);
    std::ostringstream out;
    SqlScriptWriter w(out, o.dialect, o.flavour);
    writeDemoDatabase(o, w);
    return out.str();
}

// The script loaded into an in-memory database, queried as the engine's catalogue probes do.
class DemoDb
{
public:
    explicit DemoDb(const std::string& sql)
    {
        if (sqlite3_open(":memory:", &db_) != SQLITE_OK)
            throw std::runtime_error("open");
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
        {
            const std::string message = error ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error(message);
        }
    }
    ~DemoDb() { sqlite3_close(db_); }

    std::vector<std::vector<std::string>> rows(const std::string& sql) const
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_) + std::string(": ") + sql);
        std::vector<std::vector<std::string>> out;
        while (sqlite3_step(st) == SQLITE_ROW)
        {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
            {
                const unsigned char* t = sqlite3_column_text(st, i);
                row.push_back(t ? reinterpret_cast<const char*>(t) : "<null>");
            }
            out.push_back(row);
        }
        sqlite3_finalize(st);
        return out;
    }
    std::string value(const std::string& sql) const
    {
        const auto r = rows(sql);
        return r.empty() || r[0].empty() ? "<none>" : r[0][0];
    }

private:
    sqlite3* db_ = nullptr;
};

TEST(DemoDistrict, TheSameArgumentsGiveTheSameScript)
{
    EXPECT_EQ(script(Flavour::Tsis, 12, "20261015"), script(Flavour::Tsis, 12, "20261015"));
    EXPECT_NE(script(Flavour::Tsis, 12, "20261015"), script(Flavour::Tsis, 12, "20261016"));
}

TEST(DemoDistrict, AnswersTheOracleCatalogueProbes)
{
    const DemoDb tsis(script(Flavour::Tsis, 5, "20261015"));
    // The table and field checks of the Oracle dialect, verbatim.
    EXPECT_EQ(tsis.rows("SELECT DISTINCT table_name FROM all_tab_columns WHERE UPPER(table_name) = "
                        "UPPER('DBTSIS_SY005_V')")
                  .size(),
              1u);
    EXPECT_EQ(
        tsis.rows("SELECT column_name FROM all_tab_columns WHERE UPPER(table_name) = UPPER('DBTSIS_SY010_V') "
                  "AND UPPER(column_name) = UPPER('TIES_SCH')")
            .size(),
        1u);
    EXPECT_EQ(
        tsis.rows("SELECT column_name FROM all_tab_columns WHERE UPPER(table_name) = UPPER('DBTSIS_ST010_V') "
                  "AND UPPER(column_name) = UPPER('NO_SUCH')")
            .size(),
        0u);
    // Every table answers under its own name and its validation view, with the same columns.
    for (const TableDef& t : demoTables())
    {
        const std::string n = "SELECT COUNT(*) FROM all_tab_columns WHERE TABLE_NAME = '";
        const auto present =
            std::count_if(t.columns.begin(), t.columns.end(),
                          [](const ColumnDef& c) { return columnPresent(c, Flavour::Tsis); });
        EXPECT_EQ(tsis.value(n + t.name + "'"), std::to_string(present)) << t.name;
        EXPECT_EQ(tsis.value(n + "DBTSIS_" + t.name + "_V'"), std::to_string(present)) << t.name;
        EXPECT_EQ(tsis.value("SELECT COUNT(*) FROM " + t.name),
                  tsis.value("SELECT COUNT(*) FROM DBTSIS_" + t.name + "_V"));
    }
    EXPECT_EQ(tsis.value("SELECT COUNT(*) FROM all_tab_columns WHERE TABLE_NAME <> UPPER(TABLE_NAME) OR "
                         "COLUMN_NAME <> UPPER(COLUMN_NAME)"),
              "0");
    EXPECT_EQ(tsis.value("SELECT COUNT(*) FROM all_tab_columns WHERE TABLE_NAME = 'ALL_TAB_COLUMNS'"), "0");

    const DemoDb schmax(script(Flavour::SchoolMax, 5, "20261015"));
    EXPECT_EQ(schmax
                  .rows("SELECT column_name FROM all_tab_columns WHERE UPPER(table_name) = "
                        "UPPER('DBTSIS_SY010_V') AND UPPER(column_name) = UPPER('TIES_SCH')")
                  .size(),
              0u);
    EXPECT_EQ(schmax.value("SELECT COUNT(*) FROM all_tab_columns WHERE TABLE_NAME = 'DBTSIS_SY010_V'"), "3");
}

TEST(DemoDistrict, ColumnsOfTheSameNameHaveTheSameType)
{
    // PostgreSQL refuses to compare a number with a text, so joined columns must agree.
    std::map<std::string, ColumnType> seen;
    for (const TableDef& t : demoTables())
        for (const ColumnDef& c : t.columns)
        {
            auto [it, added] = seen.emplace(c.name, c.type);
            EXPECT_EQ(it->second, c.type) << t.name << "." << c.name;
        }
    auto typeOf = [](const char* table, const char* column)
    {
        for (const ColumnDef& c : demoTable(table).columns)
            if (c.name == column)
                return c.type;
        throw std::logic_error(std::string("no column ") + column);
    };
    // Joins between columns of different names.
    EXPECT_EQ(typeOf("SY055", "NT_ID"), typeOf("ST010", "ID_NBR"));
    EXPECT_EQ(typeOf("SC082", "SC_CODE"), typeOf("SC060", "TERM_CD"));
    EXPECT_EQ(typeOf("CA020", "PRD_NBR"), typeOf("SC040", "TERM_NBR"));
    EXPECT_EQ(typeOf("SC055", "SECT_ASG"), typeOf("SC060", "XSECTION"));
    // Values the Oracle dialect writes without quotes, and the ones it quotes.
    EXPECT_EQ(typeOf("ST010", "SCH_YR"), ColumnType::Integer);
    EXPECT_EQ(typeOf("ST010", "DST_NBR"), ColumnType::Integer);
    EXPECT_EQ(typeOf("SC055", "DATE_DROP"), ColumnType::Integer);
    EXPECT_EQ(typeOf("GR013", "CMT_NBR"), ColumnType::Integer);
    EXPECT_EQ(typeOf("ST010", "SCH_NBR"), ColumnType::Text);
    EXPECT_EQ(typeOf("SC060", "VERSION"), ColumnType::Text);
}

TEST(DemoDistrict, NumbersSchoolYearsByFlavour)
{
    // Today 15 October 2026: the current year is 2026-2027, the previous one 2025-2026.
    const DemoDb tsis(script(Flavour::Tsis, 3, "20261015"));
    EXPECT_EQ(tsis.rows("SELECT DISTINCT SCH_YR FROM CA005 ORDER BY SCH_YR"),
              (std::vector<std::vector<std::string>>{{"2025"}, {"2026"}}));
    const DemoDb schmax(script(Flavour::SchoolMax, 3, "20261015"));
    EXPECT_EQ(schmax.rows("SELECT DISTINCT SCH_YR FROM CA005 ORDER BY SCH_YR"),
              (std::vector<std::vector<std::string>>{{"2026"}, {"2027"}}));
    EXPECT_EQ(schmax.rows("SELECT CAL_DT, DAY_CD FROM CA005 WHERE SCH_NBR = '101' AND SCH_YR = 2027 AND "
                          "DAY_CD IN ('FD', 'LD') ORDER BY CAL_DT"),
              (std::vector<std::vector<std::string>>{{"20260831", "FD"}, {"20270618", "LD"}}));
    // In June the current year is the one ending then; in July the next one.
    const DemoDb june(script(Flavour::Tsis, 3, "20270630"));
    EXPECT_EQ(june.value("SELECT MAX(SCH_YR) FROM CA005"), "2026");
    const DemoDb july(script(Flavour::Tsis, 3, "20270701"));
    EXPECT_EQ(july.value("SELECT MAX(SCH_YR) FROM CA005"), "2027");
}

TEST(DemoDistrict, PlantsTheEdgeCases)
{
    const DemoDb db(script(Flavour::Tsis, 4, "20261015"));
    const std::string cur = "SCH_YR = 2026 AND SCH_NBR = '101' AND ID_NBR = ";
    // The planted cases of the first district; the second holds them too.
    EXPECT_EQ(db.rows("SELECT LST_NME, FRST_NME FROM CE020 WHERE DST_NBR = 16 AND ID_NBR = 900001"),
              (std::vector<std::vector<std::string>>{{"", ""}}));
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM ST010 WHERE " + cur + "900001"), "1");
    EXPECT_EQ(db.value("SELECT END_ENR_DT FROM ST010 WHERE " + cur + "900002"), "20270000");
    EXPECT_EQ(db.rows("SELECT TCHR_NBR, COUNSELOR, HMRM FROM ST010 WHERE " + cur + "900003"),
              (std::vector<std::vector<std::string>>{{"0", "0", ""}}));
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM ST010 WHERE END_ENR_DT = 0 AND " + cur + "900004"), "1");
    EXPECT_EQ(db.rows("SELECT NT_PAGE, NT_LNE, NT_KWD FROM SY055 WHERE DST_NBR = 16 AND NT_TYPE = 'PER' AND "
                      "NT_ID = 900004 "
                      "ORDER BY NT_PAGE, NT_LNE"),
              (std::vector<std::vector<std::string>>{
                  {"1", "1", "Medical"}, {"1", "2", ""}, {"2", "1", "Custody"}}));
    EXPECT_EQ(db.rows("SELECT EMP_NBR, FRST_NME FROM SY030 WHERE DST_NBR = 16 AND LST_NME = ''"),
              (std::vector<std::vector<std::string>>{{"9001", "Cher"}}));
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM SY005"), "2");
    EXPECT_EQ(db.value("SELECT SCH_NME FROM SY010 WHERE SCH_NBR = '303'"), "O'Connor High School");
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM CE810 WHERE LIVE_WITH IS NULL"), "0"); // none below ordinal 4
    const DemoDb bigger(script(Flavour::Tsis, 30, "20261015"));
    EXPECT_EQ(
        bigger.value("SELECT COUNT(*) FROM CE810 WHERE DST_NBR = 16 AND PRIM_FAM = '' AND LIVE_WITH IS NULL"),
        "6"); // ordinals 4 and 22
    EXPECT_EQ(
        bigger.value("SELECT COUNT(*) FROM CE810 WHERE DST_NBR = 16 AND PRIM_FAM = '' AND LIVE_WITH = ''"),
        "3");
}

TEST(DemoDistrict, TheSecondDistrictReusesPersonNumbersButNotSchoolsOrIncidents)
{
    const DemoDb db(script(Flavour::Tsis, 10, "20261015"));
    auto numbers = [&](const std::string& table, const std::string& column, int district)
    {
        return db.rows("SELECT DISTINCT " + column + " FROM " + table +
                       " WHERE DST_NBR = " + std::to_string(district) + " ORDER BY 1");
    };
    const std::pair<const char*, const char*> shared[] = {
        {"CE020", "ID_NBR"},  {"ST010", "ID_NBR"},  {"CE810", "ID_NBR"},  {"ST015", "ID_NBR"},
        {"SY055", "NT_ID"},   {"HE020", "ID_NBR"},  {"HE015", "ID_NBR"},  {"GR060", "ID_NBR"},
        {"CE010", "FAM_NBR"}, {"CE015", "FAM_NBR"}, {"SY030", "EMP_NBR"}, {"SY035", "EMP_NBR"}};
    for (const auto& [table, column] : shared)
    {
        EXPECT_FALSE(numbers(table, column, 16).empty()) << table;
        EXPECT_EQ(numbers(table, column, 16), numbers(table, column, 27)) << table;
    }
    for (const auto& [table, column] : {std::pair{"SY010", "SCH_NBR"},
                                        {"EV010", "EV_SEQ_NBR"},
                                        {"EV020", "EV_SEQ_NBR"},
                                        {"EV030", "EV_SEQ_NBR"}})
        EXPECT_EQ(db.value(std::string("SELECT COUNT(*) FROM ") + table + " a JOIN " + table + " b ON a." +
                           column + " = b." + column + " AND a.DST_NBR = 16 AND b.DST_NBR = 27"),
                  "0")
            << table;

    // The shared numbers carry other data, so rows joined across districts differ.
    const std::pair<const char*, const char*> differing[] = {
        {"CE020", "a.ID_NBR = b.ID_NBR AND a.STATE_ID = b.STATE_ID"},
        {"CE010", "a.FAM_NBR = b.FAM_NBR AND a.ADDR_LNE_1 = b.ADDR_LNE_1"},
        {"SY030", "a.EMP_NBR = b.EMP_NBR AND a.ADDR_LNE_1 = b.ADDR_LNE_1"},
        {"ST015", "a.ID_NBR = b.ID_NBR AND a.CNT_SEQ = b.CNT_SEQ AND a.CNT_NME = b.CNT_NME"},
        {"ST014", "a.DST_XCLTY = b.DST_XCLTY AND a.DST_XCLDS = b.DST_XCLDS"},
        {"ST013", "a.ID_NBR = b.ID_NBR AND a.DST_XCLTY = b.DST_XCLTY AND a.ID_NBR < 900000"}};
    for (const auto& [table, on] : differing)
        EXPECT_EQ(db.value(std::string("SELECT COUNT(*) FROM ") + table + " a JOIN " + table + " b ON " + on +
                           " AND a.DST_NBR = 16 AND b.DST_NBR = 27"),
                  "0")
            << table;
    EXPECT_EQ(db.rows("SELECT DST_NBR, DST_NME FROM SY005 ORDER BY DST_NBR"),
              (std::vector<std::vector<std::string>>{{"16", "Demo County Public Schools"},
                                                     {"27", "Bayside Unified Schools"}}));
}

TEST(DemoDistrict, HomeroomsHaveSeveralTeachersAndRoomsThatAreNoStaffNumbers)
{
    const DemoDb db(script(Flavour::Tsis, 10, "20261015"));
    // Elementary, middle and high school: one homeroom teacher per grade.
    EXPECT_EQ(
        db.rows(
            "SELECT SCH_NBR, COUNT(DISTINCT TCHR_NBR), COUNT(DISTINCT HMRM) FROM ST010 WHERE DST_NBR = 16 "
            "AND SCH_YR = 2026 AND TCHR_NBR <> 0 GROUP BY SCH_NBR ORDER BY SCH_NBR"),
        (std::vector<std::vector<std::string>>{{"101", "6", "9"}, {"202", "3", "6"}, {"303", "4", "4"}}));
    // Every homeroom teacher works at the student's school.
    EXPECT_EQ(
        db.value("SELECT COUNT(*) FROM ST010 s WHERE s.TCHR_NBR <> 0 AND NOT EXISTS (SELECT 1 FROM SY035 p "
                 "WHERE p.DST_NBR = s.DST_NBR AND p.EMP_NBR = s.TCHR_NBR AND p.SCH_NBR = s.SCH_NBR)"),
        "0");
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM SY030 p WHERE CAST(p.EMP_NBR AS TEXT) IN "
                       "(SELECT ROOM FROM SC065 UNION SELECT HMRM FROM ST010)"),
              "0");
    EXPECT_EQ(db.value("SELECT HMRM FROM ST010 WHERE DST_NBR = 16 AND SCH_YR = 2026 AND ID_NBR = 100002"),
              "B102");
}

TEST(DemoDistrict, ASmallerDistrictKeepsThePlantedRows)
{
    const std::string planted = "SELECT * FROM ST010 WHERE DST_NBR = 16 AND ID_NBR >= 900000 ORDER BY ID_NBR";
    const DemoDb small(script(Flavour::Tsis, 1, "20261015"));
    const DemoDb large(script(Flavour::Tsis, 40, "20261015"));
    EXPECT_EQ(small.rows(planted).size(), 10u);
    EXPECT_EQ(small.rows("SELECT * FROM CE020 WHERE ID_NBR = 100001"),
              large.rows("SELECT * FROM CE020 WHERE ID_NBR = 100001"));
    EXPECT_EQ(small.rows("SELECT * FROM SY055 WHERE NT_ID >= 900000 ORDER BY NT_ID, NT_PAGE, NT_LNE"),
              large.rows("SELECT * FROM SY055 WHERE NT_ID >= 900000 ORDER BY NT_ID, NT_PAGE, NT_LNE"));
    EXPECT_EQ(large.value("SELECT COUNT(*) FROM ST010 WHERE DST_NBR = 16 AND SCH_YR = 2026"),
              std::to_string(3 * 40 + 10));
}

TEST(DemoDistrict, NoAttendanceAfterToday)
{
    const DemoDb db(script(Flavour::Tsis, 20, "20261015"));
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM AT020 WHERE CAL_DT > 20261015 OR MNT_DT > 20261015"), "0");
    EXPECT_NE(db.value("SELECT COUNT(*) FROM AT020 WHERE SCH_YR = 2026"), "0");
    EXPECT_NE(db.value("SELECT COUNT(*) FROM AT030 WHERE SCH_YR = 2026"), "0");
    // Before the first day of school there is none for the new year.
    const DemoDb early(script(Flavour::Tsis, 20, "20260815"));
    EXPECT_EQ(early.value("SELECT COUNT(*) FROM AT020 WHERE SCH_YR = 2026"), "0");
    EXPECT_NE(early.value("SELECT COUNT(*) FROM AT020 WHERE SCH_YR = 2025"), "0");
}

TEST(DemoDistrict, PostgresScriptCopiesTheSameRows)
{
    const std::string sqlite = script(Flavour::Tsis, 2, "20261015");
    const std::string pg = script(Flavour::Tsis, 2, "20261015", Dialect::Postgresql);
    // The same rows: one "(...)" line per SQLite row, one line per row inside the COPY blocks.
    auto sqliteRows = [](const std::string& s)
    {
        std::size_t n = 0;
        for (std::size_t p = s.find("\n("); p != std::string::npos; p = s.find("\n(", p + 1))
            ++n;
        return n;
    };
    auto copyRows = [](const std::string& s)
    {
        std::size_t n = 0;
        for (std::size_t p = s.find(") FROM stdin;\n"); p != std::string::npos;
             p = s.find(") FROM stdin;\n", p))
        {
            p = s.find('\n', p) + 1;
            const std::size_t end = s.find("\n\\.\n", p);
            n += static_cast<std::size_t>(
                     std::count(s.begin() + static_cast<long>(p), s.begin() + static_cast<long>(end), '\n')) +
                 1;
            p = end;
        }
        return n;
    };
    EXPECT_EQ(sqlite.find("COPY "), std::string::npos);
    EXPECT_EQ(pg.find("INSERT INTO"), std::string::npos);
    EXPECT_GT(sqliteRows(sqlite), 1000u);
    EXPECT_EQ(sqliteRows(sqlite), copyRows(pg));
    // A quote stays single, NULL is \N, an empty text stays empty.
    EXPECT_NE(sqlite.find("\n(16, '303', 'O''Connor High School', '0303')"), std::string::npos);
    EXPECT_NE(pg.find("\n16\t303\tO'Connor High School\t0303\n"), std::string::npos);
    EXPECT_NE(sqlite.find("\n(16, '101', 900008, 'Vitamin D', '', '', '', '', NULL, NULL, '', ''),"),
              std::string::npos);
    EXPECT_NE(pg.find("\n16\t101\t900008\tVitamin D\t\t\t\t\t\\N\t\\N\t\t\n"), std::string::npos);
}

} // namespace
