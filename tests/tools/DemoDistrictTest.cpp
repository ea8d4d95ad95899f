// Generator properties the exported demo files do not pin: sizes, the
// second district, other days and the PostgreSQL script. The rows of the
// default district, made anew by every test run, are compared byte for byte
// by the engine's demo export tests.
#include <gtest/gtest.h>

#include "DemoDistrict.h"
#include "DemoSchema.h"
#include "DemoSqlite.h"
#include "SqlScriptWriter.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <stdexcept>

using namespace demo;

namespace
{

using Rows = DemoSqlite::Rows;

std::string script(int size, const char* today, Flavour flavour = Flavour::Tsis,
                   Dialect dialect = Dialect::Sqlite)
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

TEST(DemoDistrict, EveryTableAnswersTheCatalogueUnderBothNames)
{
    const DemoSqlite tsis(script(5, "20261015"));
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
                         "COLUMN_NAME <> UPPER(COLUMN_NAME) OR TABLE_NAME = 'ALL_TAB_COLUMNS'"),
              "0");
}

TEST(DemoDistrict, ColumnsOfTheSameNameHaveTheSameType)
{
    // PostgreSQL refuses to compare a number with a text, so joined columns must agree.
    std::map<std::string, ColumnType> seen;
    for (const TableDef& t : demoTables())
        for (const ColumnDef& c : t.columns)
            EXPECT_EQ(seen.emplace(c.name, c.type).first->second, c.type) << t.name << "." << c.name;
    auto typeOf = [](const std::string& table, const std::string& column)
    {
        for (const ColumnDef& c : demoTable(table).columns)
            if (c.name == column)
                return c.type;
        throw std::logic_error("no column " + column);
    };
    // Joins between columns of different names, then values the Oracle dialect writes without quotes.
    const char* const sameType[][4] = {
        {"SY055", "NT_ID", "ST010", "ID_NBR"},     {"SC082", "SC_CODE", "SC060", "TERM_CD"},
        {"CA020", "PRD_NBR", "SC040", "TERM_NBR"}, {"SC055", "SECT_ASG", "SC060", "XSECTION"},
        {"ST010", "SCH_YR", "ST010", "DST_NBR"},   {"SC055", "DATE_DROP", "GR013", "CMT_NBR"}};
    for (const auto& c : sameType)
        EXPECT_EQ(typeOf(c[0], c[1]), typeOf(c[2], c[3])) << c[1] << " " << c[3];
    EXPECT_EQ(typeOf("ST010", "SCH_YR"), ColumnType::Integer);
    EXPECT_EQ(typeOf("SC055", "DATE_DROP"), ColumnType::Integer);
    EXPECT_EQ(typeOf("ST010", "SCH_NBR"), ColumnType::Text);
    EXPECT_EQ(typeOf("SC060", "VERSION"), ColumnType::Text);
}

TEST(DemoDistrict, TheSchoolYearTurnsInJulyInBothFlavours)
{
    const std::string years = "SELECT DISTINCT SCH_YR FROM CA005 ORDER BY SCH_YR";
    EXPECT_EQ(DemoSqlite(script(3, "20270630")).rows(years), (Rows{{"2025"}, {"2026"}}));
    EXPECT_EQ(DemoSqlite(script(3, "20270701")).rows(years), (Rows{{"2026"}, {"2027"}}));
    const DemoSqlite schmax(script(3, "20270630", Flavour::SchoolMax));
    EXPECT_EQ(schmax.rows(years), (Rows{{"2026"}, {"2027"}}));
    // SchoolMAX numbers a year by the year it ends in.
    EXPECT_EQ(schmax.rows("SELECT CAL_DT, DAY_CD FROM CA005 WHERE SCH_NBR = '101' AND SCH_YR = 2027 AND "
                          "DAY_CD IN ('FD', 'LD') ORDER BY CAL_DT"),
              (Rows{{"20260831", "FD"}, {"20270618", "LD"}}));
}

TEST(DemoDistrict, LiveWithGapsGrowWithTheDistrict)
{
    EXPECT_EQ(DemoSqlite(script(4, "20261015")).value("SELECT COUNT(*) FROM CE810 WHERE LIVE_WITH IS NULL"),
              "0"); // none below ordinal 4
    const DemoSqlite bigger(script(30, "20261015"));
    const std::string blank =
        "SELECT COUNT(*) FROM CE810 WHERE DST_NBR = 16 AND PRIM_FAM = '' AND LIVE_WITH ";
    EXPECT_EQ(bigger.value(blank + "IS NULL"), "6"); // ordinals 4 and 22
    EXPECT_EQ(bigger.value(blank + "= ''"), "3");
}

TEST(DemoDistrict, TheSecondDistrictReusesPersonNumbersButNotSchoolsOrIncidents)
{
    const DemoSqlite db(script(10, "20261015"));
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
    // Rows joined across districts on these conditions must not exist: the
    // schools and incidents differ, the shared numbers carry other data.
    const std::pair<const char*, const char*> apart[] = {
        {"SY010", "a.SCH_NBR = b.SCH_NBR"},
        {"EV010", "a.EV_SEQ_NBR = b.EV_SEQ_NBR"},
        {"EV020", "a.EV_SEQ_NBR = b.EV_SEQ_NBR"},
        {"EV030", "a.EV_SEQ_NBR = b.EV_SEQ_NBR"},
        {"CE020", "a.ID_NBR = b.ID_NBR AND a.STATE_ID = b.STATE_ID"},
        {"CE010", "a.FAM_NBR = b.FAM_NBR AND a.ADDR_LNE_1 = b.ADDR_LNE_1"},
        {"SY030", "a.EMP_NBR = b.EMP_NBR AND a.ADDR_LNE_1 = b.ADDR_LNE_1"},
        {"ST015", "a.ID_NBR = b.ID_NBR AND a.CNT_SEQ = b.CNT_SEQ AND a.CNT_NME = b.CNT_NME"},
        {"ST014", "a.DST_XCLTY = b.DST_XCLTY AND a.DST_XCLDS = b.DST_XCLDS"},
        {"ST013", "a.ID_NBR = b.ID_NBR AND a.DST_XCLTY = b.DST_XCLTY AND a.ID_NBR < 900000"}};
    for (const auto& [table, on] : apart)
        EXPECT_EQ(db.value(std::string("SELECT COUNT(*) FROM ") + table + " a JOIN " + table + " b ON " + on +
                           " AND a.DST_NBR = 16 AND b.DST_NBR = 27"),
                  "0")
            << table;
    EXPECT_EQ(db.rows("SELECT DST_NBR, DST_NME FROM SY005 ORDER BY DST_NBR"),
              (Rows{{"16", "Demo County Public Schools"}, {"27", "Bayside Unified Schools"}}));
}

TEST(DemoDistrict, ASmallerDistrictKeepsThePlantedRows)
{
    const DemoSqlite small(script(1, "20261015"));
    const DemoSqlite large(script(40, "20261015"));
    EXPECT_EQ(small.rows("SELECT * FROM ST010 WHERE DST_NBR = 16 AND ID_NBR >= 900000").size(), 10u);
    for (const char* sql : {"SELECT * FROM CE020 WHERE ID_NBR = 100001",
                            "SELECT * FROM SY055 WHERE NT_ID >= 900000 ORDER BY NT_ID, NT_PAGE, NT_LNE"})
        EXPECT_EQ(small.rows(sql), large.rows(sql)) << sql;
    EXPECT_EQ(large.value("SELECT COUNT(*) FROM ST010 WHERE DST_NBR = 16 AND SCH_YR = 2026"),
              std::to_string(3 * 40 + 10));
}

TEST(DemoDistrict, NoAttendanceAfterToday)
{
    const DemoSqlite db(script(20, "20261015"));
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM AT020 WHERE CAL_DT > 20261015 OR MNT_DT > 20261015"), "0");
    EXPECT_NE(db.value("SELECT COUNT(*) FROM AT020 WHERE SCH_YR = 2026"), "0");
    EXPECT_NE(db.value("SELECT COUNT(*) FROM AT030 WHERE SCH_YR = 2026"), "0");
    // Before the first day of school there is none for the new year.
    const DemoSqlite early(script(20, "20260815"));
    EXPECT_EQ(early.value("SELECT COUNT(*) FROM AT020 WHERE SCH_YR = 2026"), "0");
    EXPECT_NE(early.value("SELECT COUNT(*) FROM AT020 WHERE SCH_YR = 2025"), "0");
}

TEST(DemoDistrict, PostgresScriptCopiesTheSameRows)
{
    const std::string sqlite = script(2, "20261015");
    const std::string pg = script(2, "20261015", Flavour::Tsis, Dialect::Postgresql);
    EXPECT_EQ(sqlite.find("COPY "), std::string::npos);
    EXPECT_EQ(pg.find("INSERT INTO"), std::string::npos);
    // One "(...)" line per SQLite row; one line per row inside the COPY blocks.
    std::size_t sqliteRows = 0, copyRows = 0;
    for (std::size_t p = sqlite.find("\n("); p != std::string::npos; p = sqlite.find("\n(", p + 1))
        ++sqliteRows;
    for (std::size_t p = pg.find(") FROM stdin;\n"); p != std::string::npos;
         p = pg.find(") FROM stdin;\n", p))
    {
        p = pg.find('\n', p) + 1;
        const std::size_t end = pg.find("\n\\.\n", p);
        copyRows += static_cast<std::size_t>(std::count(pg.begin() + static_cast<long>(p),
                                                        pg.begin() + static_cast<long>(end), '\n')) +
                    1;
        p = end;
    }
    EXPECT_GT(sqliteRows, 1000u);
    EXPECT_EQ(sqliteRows, copyRows);
}

} // namespace
