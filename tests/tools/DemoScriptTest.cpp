#include <gtest/gtest.h>

#include "DemoOptions.h"
#include "SqlDialect.h"
#include "SqlScriptWriter.h"

#include <sstream>
#include <stdexcept>

using namespace demo;

namespace
{

TEST(DemoSqlLiteral, QuotesInsertValuesAndEscapesCopyFields)
{
    const struct
    {
        SqlValue value;
        const char *literal, *copy;
    } cases[] = {
        {SqlValue("O'Connor"), "'O''Connor'", "O'Connor"},
        {SqlValue("''"), "''''''", "''"},
        {SqlValue(""), "''", ""},
        {SqlValue(nullptr), "NULL", "\\N"},
        {SqlValue(20260902L), "20260902", "20260902"},
        {SqlValue(0), "0", "0"},
        {SqlValue("0"), "'0'", "0"},
        {SqlValue("a\tb\nc\rd\\e"), "'a\tb\nc\rd\\e'", "a\\tb\\nc\\rd\\\\e"},
        {SqlValue("\\N"), "'\\N'", "\\\\N"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(sqlLiteral(c.value), c.literal) << c.literal;
        EXPECT_EQ(copyField(c.value), c.copy) << c.literal;
    }
}

std::string writeSy010(Flavour flavour, std::size_t batch, int rows)
{
    std::ostringstream out;
    SqlScriptWriter w(out, Dialect::Sqlite, flavour, batch);
    w.begin();
    for (int i = 0; i < rows; ++i)
        w.row("SY010",
              {16, "10" + std::to_string(i), "School " + std::to_string(i), "010" + std::to_string(i)});
    w.finish();
    return out.str();
}

TEST(DemoSqlScriptWriter, TheSchoolMaxFlavourHasNoTiesSchool)
{
    EXPECT_NE(writeSy010(Flavour::Tsis, 500, 1)
                  .find("INSERT INTO SY010 (DST_NBR, SCH_NBR, SCH_NME, TIES_SCH) VALUES\n"
                        "(16, '100', 'School 0', '0100');\n"),
              std::string::npos);
    const std::string schmax = writeSy010(Flavour::SchoolMax, 500, 1);
    EXPECT_NE(schmax.find("INSERT INTO SY010 (DST_NBR, SCH_NBR, SCH_NME) VALUES\n(16, '100', 'School 0');\n"),
              std::string::npos);
    EXPECT_EQ(schmax.find("TIES_SCH"), std::string::npos);
}

TEST(DemoSqlScriptWriter, SplitsRowsIntoBatches)
{
    const std::string out = writeSy010(Flavour::Tsis, 2, 5);
    EXPECT_NE(out.find("(16, '100', 'School 0', '0100'),\n(16, '101', 'School 1', '0101');\n"),
              std::string::npos);
    EXPECT_NE(out.find("VALUES\n(16, '104', 'School 4', '0104');\n"), std::string::npos);
    std::size_t inserts = 0;
    for (std::size_t p = out.find("INSERT INTO SY010"); p != std::string::npos;
         p = out.find("INSERT INTO SY010", p + 1))
        ++inserts;
    EXPECT_EQ(inserts, 3u);
}

TEST(DemoSqlScriptWriter, RejectsRowsThatDoNotFitTheTable)
{
    std::ostringstream out;
    SqlScriptWriter w(out, Dialect::Sqlite, Flavour::Tsis);
    EXPECT_THROW(w.row("SY005", {16, "x"}), std::logic_error); // before begin
    w.begin();
    EXPECT_THROW(w.row("SY005", {16}), std::logic_error);
    EXPECT_THROW(w.row("SY005", {"16", "x"}), std::logic_error);
    EXPECT_THROW(w.row("SY005", {16, 17}), std::logic_error);
    EXPECT_THROW(w.row("SY005", {16, std::string(41, 'x')}), std::logic_error);
    EXPECT_THROW(w.row("XX999", {16}), std::logic_error);
    w.row("SY005", {nullptr, nullptr});
    w.row("SY005", {16, std::string(40, 'x')});
    EXPECT_EQ(w.rowCount("SY005"), 2);
}

TEST(DemoSqlScriptWriter, EndsWithTheCatalogueObjectsInsideTheTransaction)
{
    for (Dialect dialect : {Dialect::Sqlite, Dialect::Postgresql})
    {
        std::ostringstream out;
        SqlScriptWriter w(out, dialect, Flavour::Tsis);
        w.begin();
        w.finish();
        const std::string s = out.str();
        const auto commit = s.find("COMMIT;\n");
        ASSERT_NE(commit, std::string::npos);
        EXPECT_LT(s.find("BEGIN;\n"), s.find("CREATE TABLE SY005"));
        EXPECT_LT(s.find("CREATE VIEW DBTSIS_SY005_V AS SELECT * FROM SY005;\n"), commit);
        EXPECT_LT(s.find("CREATE VIEW all_tab_columns AS\n"), commit);
        EXPECT_EQ(s.find("CREATE FUNCTION to_date(text, text) RETURNS INTEGER") != std::string::npos,
                  dialect == Dialect::Postgresql);
    }
}

TEST(DemoOptionsParsing, ReadsEveryOptionInBothSpellings)
{
    const DemoOptions o = parseDemoOptions({"--dialect", "postgresql", "--flavour=schmax", "--size", "250",
                                            "--today=2026-10-15", "--output", "x.sql"});
    EXPECT_EQ(o.dialect, Dialect::Postgresql);
    EXPECT_EQ(o.flavour, Flavour::SchoolMax);
    EXPECT_EQ(o.studentsPerSchool, 250);
    EXPECT_EQ(o.today.yyyymmdd(), 20261015);
    EXPECT_EQ(o.outputFile, "x.sql");
    EXPECT_FALSE(o.help);
    EXPECT_TRUE(parseDemoOptions({"--help"}).help);
    const DemoOptions d = parseDemoOptions({});
    EXPECT_EQ(d.dialect, Dialect::Sqlite);
    EXPECT_EQ(d.flavour, Flavour::Tsis);
    EXPECT_EQ(d.studentsPerSchool, 10);
}

TEST(DemoOptionsParsing, RejectsBadValuesWithTheirName)
{
    auto message = [](std::vector<std::string> args) -> std::string
    {
        try
        {
            parseDemoOptions(args);
        }
        catch (const std::invalid_argument& e)
        {
            return e.what();
        }
        return "accepted";
    };
    for (const char* size : {"0", "12x", "-3", "90000", "99999999999999"})
        EXPECT_NE(message({"--size", size}).find("--size"), std::string::npos) << size;
    EXPECT_NE(message({"--flavour", "oracle"}).find("flavour"), std::string::npos);
    EXPECT_NE(message({"--dialect", "mssql"}).find("dialect"), std::string::npos);
    EXPECT_NE(message({"--today", "20261315"}).find("20261315"), std::string::npos);
    EXPECT_NE(message({"--size"}).find("needs a value"), std::string::npos);
    EXPECT_NE(message({"--colour", "red"}).find("--colour"), std::string::npos);
}

} // namespace
