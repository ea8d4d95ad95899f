// The ODBC core: connections and the result of a statement, on each driver.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <QString>

#include "DataAccessBackends.h"
#include "GoldenLines.h"
#include "OdbcTestEnv.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcDiagnostics.h"
#include "odbc/OdbcDriverProfile.h"
#include "odbc/OdbcResult.h"

namespace
{

struct Backend
{
    const char* name;
    const char* connection; // "" for a fresh SQLite file
    bool statesRowCount;    // the driver knows the size of a result
};

void PrintTo(const Backend& b, std::ostream* os)
{
    *os << b.name;
}

std::string HexOf(const std::vector<unsigned char>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (unsigned char b : bytes)
        s += std::string{digits[b >> 4], digits[b & 15]};
    return s;
}

// A value written out with all that tells it apart: its VARIANT type, then its payload.
std::string Shown(const AdoValue& v)
{
    char real[40];
    std::snprintf(real, sizeof real, "%.15g", v.real);
    switch (v.type)
    {
    case ado::VT_NULL:
        return "null";
    case ado::VT_R4:
    case ado::VT_R8:
    case ado::VT_DATE:
        return std::to_string(v.type) + ":" + real;
    case ado::VT_BSTR:
        return "text:" + QString::fromStdU16String(v.text).toStdString();
    case ado::VT_BOOL:
        return v.boolean ? "bool:1" : "bool:0";
    case ado::VT_DECIMAL:
        return std::string("decimal:") + (v.decimal.negative ? "-" : "") +
               (v.decimal.high ? std::to_string(v.decimal.high) + ":" : "") + std::to_string(v.decimal.low) +
               "e-" + std::to_string(v.decimal.scale);
    case ado::VT_ARRAY_UI1:
        return "bytes:" + HexOf(v.bytes);
    default:
        return std::to_string(v.type) + ":" + std::to_string(v.integer);
    }
}

// The AdoComError a call throws; error 0 when it throws none.
template <typename F> AdoComError Failure(F&& f)
{
    try
    {
        f();
    }
    catch (const AdoComError& e)
    {
        return e;
    }
    return AdoComError(0, "", "no failure");
}

std::string FreshSqliteFile(const std::string& name, bool create = true)
{
    std::string file = name;
    std::replace(file.begin(), file.end(), '/', '_');
    const std::string path =
        (std::filesystem::path(odbctest::OdbcTestFolder()) / (file + ".sqlite")).string();
    std::filesystem::remove(path);
    if (create)
        std::ofstream(path).flush(); // an empty file is an empty database
    return path;
}

class OdbcResultTest : public ::testing::TestWithParam<Backend>
{
public:
    void SetUp() override
    {
        if (Pg())
        {
            TSIS_OPEN_POSTGRES_OR_SKIP(conn, GetParam().connection);
            return;
        }
        conn.Open("Database=" +
                  FreshSqliteFile(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    }

    bool Pg() const { return GetParam().connection[0] != '\0'; }

    // Runs a statement without a result; PostgreSQL tables are per session.
    void Exec(const std::string& sql)
    {
        OdbcResult rs;
        EXPECT_EQ(Failure([&] { rs.Open(Utf8ToUtf16(sql), conn); }).Description(), "no failure") << sql;
        EXPECT_FALSE(rs.IsOpen());
    }

    void Open(OdbcResult& rs, const std::string& sql, bool keep = false)
    {
        rs.Open(Utf8ToUtf16(sql), conn, keep);
    }

    std::string Table(const std::string& columns)
    {
        return (Pg() ? "CREATE TEMP TABLE " : "CREATE TABLE ") + columns;
    }

    OdbcConnection conn;
};

// Each column type once, on each driver (golden/column_types.txt): the
// field type it is described as and the value read back, from a kept result
// (spooled in memory, then in a file, where the driver states no count) and
// from a streamed one (values read on demand, then from bound buffers).
TEST_P(OdbcResultTest, EveryColumnTypeAndItsValue)
{
    // Type, ADO type, value shown, SQL literal.
    const auto cases = GoldenLines("column_types.txt", Pg() ? "postgres" : "sqlite", 4);
    const std::size_t limit = OdbcResult::SetSpoolMemoryLimit(0);
    for (std::size_t i = 0; i < cases.size(); ++i)
    {
        const std::string &type = cases[i][0], &adoType = cases[i][1], &shown = cases[i][2],
                          &literal = cases[i][3];
        SCOPED_TRACE(::testing::Message() << type << " " << literal);
        std::string table = "v";
        table += std::to_string(i);
        Exec(Table(table + " (k INTEGER, x " + type + ")"));
        Exec("INSERT INTO " + table + " VALUES (1, " + literal + ")");
        Exec("INSERT INTO " + table + " VALUES (2, NULL)");
        const std::pair<bool, std::size_t> passes[] = {{true, limit}, {true, 0}, {false, limit}};
        for (const auto& [keep, memory] : passes)
        {
            OdbcResult::SetSpoolMemoryLimit(memory);
            OdbcResult rs;
            Open(rs, "SELECT x FROM " + table + " ORDER BY k", keep);
            EXPECT_EQ(std::to_string(rs.Column(0).adoType), adoType);
            EXPECT_EQ(Shown(rs.Value(0)), shown);
            EXPECT_EQ(rs.Status(0), ado::adFieldOK);
            rs.MoveNext();
            EXPECT_EQ(Shown(rs.Value(0)), "null");
            EXPECT_EQ(rs.Status(0), ado::adFieldIsNull);
        }
        OdbcResult::SetSpoolMemoryLimit(limit);
    }
}

// Long data comes in pieces; from the second record on values arrive in
// bound buffers, and one longer than its buffer (SQLite keeps any length, a
// character beyond the BMP takes two UTF-16 units, TEXT has no size) is read
// again whole.
TEST_P(OdbcResultTest, LongValuesAreReadWhole)
{
    std::vector<unsigned char> bytes(200000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i % 251);
    std::string text; // UTF-8
    std::u16string wide;
    for (int i = 0; i < 30000; ++i)
    {
        text += i % 97 == 0 ? std::string("\xC3\xA9") : std::string(1, static_cast<char>('a' + i % 26));
        wide += i % 97 == 0 ? u'\u00e9' : static_cast<char16_t>(u'a' + i % 26);
    }
    // Four times U+1F600, made by the database (the driver manager cannot pass it to SQLite).
    const std::string smiles = Pg() ? "repeat(chr(128512), 4)" : "char(128512, 128512, 128512, 128512)";
    const std::u16string smile = u"\U0001F600";
    const std::string blob = Pg() ? "'\\x" + HexOf(bytes) + "'" : "x'" + HexOf(bytes) + "'";
    struct Row
    {
        std::string s, e, x; // SQL expressions
        std::u16string sW, eW;
        bool sNull;
    };
    const std::vector<Row> rows = {
        {"'a'", "'ab'", blob, u"a", u"ab", false},
        {"'" + std::string(300, 'x') + "'", smiles, "NULL", std::u16string(300, u'x'),
         smile + smile + smile + smile, false},
        {"NULL", "'abcd'", "NULL", u"", u"abcd", true},
        {"'" + text + "'", "'z'", "NULL", wide, u"z", false},
        {"'b'", "''", "NULL", u"b", u"", false},
        // SQLite keeps a value longer than its declared size: it fills the bound buffer to the last byte.
        {"'c'", Pg() ? "'wxyz'" : "'uvwxyz'", "NULL", u"c", Pg() ? u"wxyz" : u"uvwxyz", false},
    };
    Exec(Table(std::string("v (k INTEGER, s ") + (Pg() ? "TEXT" : "VARCHAR(10)") + ", e VARCHAR(4), x " +
               (Pg() ? "BYTEA" : "BLOB") + ")"));
    for (std::size_t i = 0; i < rows.size(); ++i)
        Exec("INSERT INTO v VALUES (" + std::to_string(i) + ", " + rows[i].s + ", " + rows[i].e + ", " +
             rows[i].x + ")");
    OdbcResult rs;
    Open(rs, "SELECT k, s, e, x FROM v ORDER BY k");
    for (std::size_t i = 0; i < rows.size(); ++i)
    {
        SCOPED_TRACE(i);
        ASSERT_FALSE(rs.EndOfFile());
        EXPECT_EQ(rs.Value(0).integer, static_cast<std::int64_t>(i));
        EXPECT_EQ(rs.Value(1).IsNull(), rows[i].sNull);
        EXPECT_EQ(rs.Value(1).text.size(), rows[i].sW.size());
        EXPECT_TRUE(rs.Value(1).text == rows[i].sW);
        EXPECT_TRUE(rs.Value(2).text == rows[i].eW);
        EXPECT_TRUE(i > 0 || rs.Value(3).bytes == bytes);
        rs.MoveNext();
    }
    EXPECT_TRUE(rs.EndOfFile());
}

// A kept result holds its rows once open, in memory or, past the spool's
// memory limit, in a temporary file: its size is known and MoveFirst walks
// the same rows again, whatever the table holds meanwhile. A streamed result
// is counted by walking, and MoveFirst runs it again.
TEST_P(OdbcResultTest, RecordCountThenMoveFirstWalksFromTheFirstRecord)
{
    Exec(Table("v (k INTEGER, s VARCHAR(2000))"));
    const auto fill = [&]
    {
        Exec("DELETE FROM v");
        Exec("INSERT INTO v VALUES (1, 'one')");
        Exec("INSERT INTO v VALUES (2, NULL)");
        Exec("INSERT INTO v VALUES (3, '" + std::string(1500, 'x') + "')"); // beyond its bound buffer
    };
    const auto walk = [](OdbcResult& rs)
    {
        std::vector<std::string> seen;
        for (rs.MoveFirst(); !rs.EndOfFile(); rs.MoveNext())
            seen.push_back(std::to_string(rs.Value(0).integer) + ":" +
                           (rs.Value(1).IsNull() ? "null" : std::to_string(rs.Value(1).text.size())));
        return seen;
    };
    const std::vector<std::string> all{"1:3", "2:null", "3:1500"};
    const std::size_t limit = OdbcResult::SetSpoolMemoryLimit(0);
    for (const std::size_t memory : {limit, std::size_t(0)})
    {
        SCOPED_TRACE(memory);
        OdbcResult::SetSpoolMemoryLimit(memory);
        fill();
        OdbcResult rs;
        Open(rs, "SELECT k, s FROM v ORDER BY k", true);
        EXPECT_EQ(rs.RecordCount(), 3);
        // A driver that states the size holds the result itself; MoveFirst runs it again there.
        if (!GetParam().statesRowCount)
            Exec("DELETE FROM v WHERE k = 2");
        EXPECT_EQ(walk(rs), all);
        EXPECT_EQ(walk(rs), all);
        EXPECT_EQ(rs.RecordCount(), 3);
        rs.MoveFirst();
        EXPECT_EQ(rs.Value(0).integer, 1);
    }
    OdbcResult::SetSpoolMemoryLimit(limit);

    fill();
    OdbcResult forward;
    Open(forward, "SELECT k, s FROM v ORDER BY k");
    EXPECT_EQ(forward.RecordCount(), GetParam().statesRowCount ? 3 : -1);
    if (GetParam().statesRowCount)
        return;
    EXPECT_EQ(walk(forward), all);
    EXPECT_EQ(forward.RecordCount(), 3); // known now
    Exec("DELETE FROM v WHERE k = 2");
    EXPECT_EQ(walk(forward), (std::vector<std::string>{"1:3", "3:1500"}));
}

// The failures a caller meets, with the numbers of ADO's errors.
TEST_P(OdbcResultTest, EmptyResultsBoundsAndLifecycle)
{
    Exec(Table("v (StdKey INTEGER, LastName VARCHAR(20))"));
    OdbcResult rs;
    Open(rs, "SELECT StdKey, LastName FROM v");
    EXPECT_TRUE(rs.IsOpen());
    EXPECT_TRUE(rs.BOF());
    EXPECT_TRUE(rs.EndOfFile());
    EXPECT_EQ(rs.RecordCount(), 0);
    ASSERT_EQ(rs.FieldCount(), 2);
    // PostgreSQL folds unquoted names to lower case.
    EXPECT_TRUE(rs.Column(0).name == (Pg() ? u"stdkey" : u"StdKey"));
    EXPECT_TRUE(rs.Column(1).name == (Pg() ? u"lastname" : u"LastName"));
    EXPECT_EQ(Failure([&] { rs.MoveNext(); }).Error(), ado::adErrNoCurrentRecord_HR);
    EXPECT_EQ(Failure([&] { rs.Value(0); }).Error(), ado::adErrNoCurrentRecord_HR);
    for (long bad : {-1L, 2L})
        EXPECT_EQ(Failure([&] { rs.Column(bad); }).Error(), ado::adErrItemNotFound_HR) << bad;
    rs.MoveFirst();
    EXPECT_TRUE(rs.EndOfFile());

    Open(rs, "SELECT StdKey AS \"Pr\xC3\xA9nom\" FROM v");
    EXPECT_TRUE(rs.Column(0).name == u"Pr\u00e9nom");
    rs.Close();
    EXPECT_EQ(Failure([&] { rs.FieldCount(); }).Error(), ado::adErrObjectClosed_HR);
    EXPECT_EQ(Failure([&] { Open(rs, " \r\n"); }).ProviderErrors().at(0).description,
              "Command text was not set for the command object.");
    conn.Close();
    EXPECT_EQ(Failure([&] { Open(rs, "SELECT 3"); }).Error(), ado::adErrObjectClosed_HR);
}

INSTANTIATE_TEST_SUITE_P(Drivers, OdbcResultTest,
                         ::testing::Values(Backend{"Sqlite", "", false},
                                           Backend{"Postgres", "DSN=TsisPostgres", true},
                                           Backend{"PostgresCursor", "DSN=TsisPostgresCursor", false}),
                         [](const ::testing::TestParamInfo<Backend>& info) { return info.param.name; });

std::u16string SingleText(OdbcConnection& c, const std::string& sql)
{
    OdbcResult rs;
    rs.Open(Utf8ToUtf16(sql), c);
    return rs.Value(0).text;
}

TEST(OdbcConnectionTest, SqliteDatabaseFiles)
{
    OdbcConnection c;
    // A missing file fails and is not created.
    const std::string missing = FreshSqliteFile("conn_missing", false);
    EXPECT_FALSE(Failure([&] { c.Open("Database=" + missing); }).ProviderErrors().empty());
    EXPECT_FALSE(c.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(missing));
    c.SetReadOnly(true);
    c.Open("Database=" + FreshSqliteFile("conn_open"));
    EXPECT_TRUE(SingleText(c, "SELECT 'ok'") == u"ok");
    c.Close();
    EXPECT_FALSE(c.IsOpen());
    c.Open("Database=" + FreshSqliteFile("conn_reopen")); // reopens after a close
    EXPECT_TRUE(c.IsOpen());
}

// Data sources are defined in the odbc.ini written for the tests.
TEST(OdbcConnectionTest, DataSourceFromTheTestConfiguration)
{
    std::filesystem::remove(odbctest::SqliteDsnDatabase());
    OdbcConnection c;
    c.Open("Persist Security Info=False;Data Source=TsisSqlite");
    // The definition says nothing about stepping, so the connection steps
    // through rows; the driver then describes a computed column as text.
    EXPECT_TRUE(SingleText(c, "SELECT 40 + 2") == u"42");
}

TEST(OdbcConnectionTest, DataSourceDefinitionsAreReadFromTheConfiguration)
{
    using P = OdbcDriverProfile;
    EXPECT_NE(P::DriverLibrary("TsisSqlite").find("libsqlite3odbc.so"), std::string::npos);
    EXPECT_EQ(P::DriverLibrary("TsisPostgres").find("sqlite"), std::string::npos);
    EXPECT_EQ(P::DriverLibrary("NoSuchDataSource"), "");
    EXPECT_EQ(P::Attribute("TsisPostgres", "UseDeclareFetch").value_or("(unset)"), "0");
    EXPECT_FALSE(P::Attribute("TsisSqlite", "StepAPI").has_value());
    for (const auto& l : GoldenLines("connection_strings.txt", "ExtraKeys", 3))
        EXPECT_EQ(P::ExtraKeys(l[0], l[1].at(0) == '1', l[1].at(1) == '1', l[1].at(2) == '1'), l[2])
            << l[0] << " " << l[1];
    EXPECT_EQ(P::Refusal("TsisSqlite", true),
              "A value holding \";\" cannot be given to the SQLite ODBC driver.");
    EXPECT_EQ(P::Refusal("TsisPostgres", true), "");
}

TEST(OdbcConnectionTest, PostgresThroughTheConnectionStringsOfTheDatabaseTypes)
{
    const odbctest::PostgresParams pg = odbctest::PostgresFromEnvironment();
    OdbcConnection c;
    // The Postgres type's own shape.
    TSIS_OPEN_POSTGRES_OR_SKIP(c, "DSN=TsisPostgres;UID=" + pg.user + ";PWD=" + pg.password);
    EXPECT_TRUE(SingleText(c, "SELECT current_user::text") == std::u16string(pg.user.begin(), pg.user.end()));
    // The MSSQL type's shape, through the ODBC provider.
    c.Open("Provider=MSDASQL;Persist Security Info=False;Data Source=TsisPostgres;Database=" + pg.database +
           ";User ID=" + pg.user + ";");
    EXPECT_TRUE(SingleText(c, "SELECT current_database()::text") ==
                std::u16string(pg.database.begin(), pg.database.end()));
}

} // namespace
