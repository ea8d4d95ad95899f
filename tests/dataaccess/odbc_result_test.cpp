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
#include "OdbcTestEnv.h"
#include "PeakMemory.h"
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

const char* const kSecret = "Secret-7431";

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

// Each column type once, on each driver: the field type it is described as
// and the value read back, from a kept result (spooled in memory, then in a
// file, where the driver states no count) and from a streamed one (values
// read on demand, then from bound buffers).
TEST_P(OdbcResultTest, EveryColumnTypeAndItsValue)
{
    struct Case
    {
        const char* type;
        const char* literal;
        int adoType;
        const char* shown;
    };
    const std::string text = "'  A' || char(9) || 'B' || char(13) || char(10) || 'C  '";
    const char* const rene = "'Ren\xC3\xA9"
                             "e \xE2\x82\xAC'";
    const char* const reneShown = "text:Ren\xC3\xA9"
                                  "e \xE2\x82\xAC";
    // The SQLite driver describes NUMERIC and REAL columns as DOUBLE, BLOB as binary; it does not pad CHAR.
    const std::vector<Case> sqlite = {
        {"INTEGER", "42", ado::adInteger, "3:42"},
        {"BIGINT", "3000000000", ado::adBigInt, "20:3000000000"},
        {"SMALLINT", "-7", ado::adSmallInt, "2:-7"},
        {"NUMERIC(10,2)", "12.50", ado::adDouble, "5:12.5"},
        {"NUMERIC(8,1)", "-12.5", ado::adDouble, "5:-12.5"},
        {"NUMERIC(10,0)", "7", ado::adDouble, "5:7"},
        {"REAL", "1.5", ado::adDouble, "5:1.5"},
        {"DOUBLE", "12.34", ado::adDouble, "5:12.34"},
        {"VARCHAR(40)", text.c_str(), ado::adVarChar, "text:  A\tB\r\nC  "},
        {"VARCHAR(40)", rene, ado::adVarChar, reneShown},
        {"CHAR(4)", "'ab'", ado::adVarChar, "text:ab"},
        {"DATE", "'2024-03-01'", ado::adDBDate, "7:45352"},
        {"TIMESTAMP", "'2024-03-01 13:45:30.250'", ado::adDBTimeStamp, "7:45352.5732667824"},
        {"TIME", "'06:00:00'", ado::adDBTime, "7:0.25"},
        {"BOOLEAN", "1", ado::adBoolean, "bool:1"},
        {"BOOLEAN", "0", ado::adBoolean, "bool:0"},
        {"BLOB", "x'00ff10'", ado::adBinary, "bytes:00ff10"},
    };
    // PostgreSQL's REAL is single precision, its bytea long binary.
    const std::vector<Case> postgres = {
        {"INTEGER", "42", ado::adInteger, "3:42"},
        {"BIGINT", "3000000000", ado::adBigInt, "20:3000000000"},
        {"SMALLINT", "-7", ado::adSmallInt, "2:-7"},
        {"NUMERIC(10,2)", "12.50", ado::adNumeric, "decimal:1250e-2"},
        {"NUMERIC(8,1)", "-12.5", ado::adNumeric, "decimal:-125e-1"},
        {"NUMERIC(10,0)", "7", ado::adNumeric, "decimal:7e-0"},
        // 2^70 + 5: the mantissa's high part must survive the spool too.
        {"NUMERIC(30,0)", "-1180591620717411303429", ado::adNumeric, "decimal:-64:5e-0"},
        {"REAL", "1.5", ado::adSingle, "4:1.5"},
        {"DOUBLE PRECISION", "12.34", ado::adDouble, "5:12.34"},
        {"VARCHAR(40)", "E'  A\\tB\\r\\nC  '", ado::adVarWChar, "text:  A\tB\r\nC  "},
        {"VARCHAR(40)", rene, ado::adVarWChar, reneShown},
        {"CHAR(4)", "'ab'", ado::adWChar, "text:ab  "},
        {"DATE", "'2024-03-01'", ado::adDBDate, "7:45352"},
        {"TIMESTAMP", "'2024-03-01 13:45:30.250'", ado::adDBTimeStamp, "7:45352.5732667824"},
        {"TIME", "'06:00:00'", ado::adDBTime, "7:0.25"},
        {"BOOLEAN", "true", ado::adBoolean, "bool:1"},
        {"BOOLEAN", "false", ado::adBoolean, "bool:0"},
        {"BYTEA", "'\\x00ff10'", ado::adLongVarBinary, "bytes:00ff10"},
    };
    const std::vector<Case>& cases = Pg() ? postgres : sqlite;
    const std::size_t limit = OdbcResult::SetSpoolMemoryLimit(0);
    for (std::size_t i = 0; i < cases.size(); ++i)
    {
        const Case& c = cases[i];
        SCOPED_TRACE(::testing::Message() << c.type << " " << c.literal);
        std::string table = "v";
        table += std::to_string(i);
        Exec(Table(table + " (k INTEGER, x " + c.type + ")"));
        Exec("INSERT INTO " + table + " VALUES (1, " + c.literal + ")");
        Exec("INSERT INTO " + table + " VALUES (2, NULL)");
        const std::pair<bool, std::size_t> passes[] = {{true, limit}, {true, 0}, {false, limit}};
        for (const auto& [keep, memory] : passes)
        {
            OdbcResult::SetSpoolMemoryLimit(memory);
            OdbcResult rs;
            Open(rs, "SELECT x FROM " + table + " ORDER BY k", keep);
            EXPECT_EQ(rs.Column(0).adoType, c.adoType);
            EXPECT_EQ(Shown(rs.Value(0)), c.shown);
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

TEST_P(OdbcResultTest, ASecondResultLeavesTheFirstWhereItWas)
{
    Exec(Table("v (k INTEGER)"));
    Exec("INSERT INTO v VALUES (1), (2), (3)");
    OdbcResult outer;
    Open(outer, "SELECT k FROM v ORDER BY k");
    outer.MoveNext();
    {
        OdbcResult probe;
        Open(probe, "SELECT k FROM v ORDER BY k DESC");
        EXPECT_EQ(probe.Value(0).integer, 3);
        probe.MoveNext();
        EXPECT_EQ(probe.Value(0).integer, 2);
    }
    EXPECT_EQ(outer.Value(0).integer, 2);
    outer.MoveNext();
    EXPECT_EQ(outer.Value(0).integer, 3);
    outer.MoveNext();
    EXPECT_TRUE(outer.EndOfFile());
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

TEST_P(OdbcResultTest, CommandTimeoutApplies)
{
    if (!Pg())
        GTEST_SKIP() << "SQLite has no slow statement to wait for";
    conn.SetCommandTimeout(1);
    OdbcResult rs;
    const AdoComError e = Failure([&] { Open(rs, "SELECT pg_sleep(30)"); });
    ASSERT_FALSE(e.ProviderErrors().empty());
    EXPECT_EQ(e.ProviderErrors().front().sqlState, "57014");
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
    EXPECT_EQ(P::ExtraKeys("TsisSqlite", false), ";StepAPI=1");
    EXPECT_EQ(P::ExtraKeys("TsisSqlite", true), "");
    EXPECT_EQ(P::ExtraKeys("TsisPostgres", false), "");
    // psqlODBC fetches through a cursor unless the definition or the string says otherwise.
    EXPECT_EQ(P::ExtraKeys("TsisPostgresDefault", false), ";UseDeclareFetch=1;Fetch=5000");
    EXPECT_EQ(P::ExtraKeys("TsisPostgresDefault", false, true), "");
    EXPECT_EQ(P::ExtraKeys("TsisPostgresDefault", false, false, true), ";UseDeclareFetch=1");
    EXPECT_EQ(P::ExtraKeys("TsisPostgresCursor", false), "");
    EXPECT_EQ(P::ExtraKeys("NoSuchDataSource", false), "");
    EXPECT_EQ(P::ExtraKeys("", false), "");
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
    // A refused log-in reports the server's text, and nothing a caller sees holds the password.
    OdbcConnection refused;
    const AdoComError e =
        Failure([&] { refused.Open(std::string("DSN=TsisPostgres;UID=nosuchuser;PWD=") + kSecret); });
    ASSERT_FALSE(e.ProviderErrors().empty());
    EXPECT_NE(e.ProviderErrors().front().description.find("role \"nosuchuser\" does not exist"),
              std::string::npos);
    std::string seen = std::string(e.what()) + e.Description() + e.Source();
    for (const AdoProviderError& pe : e.ProviderErrors())
        seen += pe.description + pe.source;
    EXPECT_EQ(seen.find(kSecret), std::string::npos) << seen;
    EXPECT_FALSE(refused.IsOpen());
}

// Walking a large SQLite result must not hold the rows in memory, whether
// the file is named directly or reached through a data source definition
// that says nothing about stepping.
class OdbcStreaming : public ::testing::TestWithParam<const char*>
{
};

TEST_P(OdbcStreaming, SqliteRowsAreSteppedNotLoaded)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
#endif
    const std::string prefix = GetParam();
    {
        const std::string path =
            FreshSqliteFile(std::string("streaming_") + (prefix.empty() ? "file" : "dsn"));
        {
            OdbcConnection writer;
            writer.Open(prefix + "Database=" + path);
            OdbcResult setup;
            setup.Open(u"CREATE TABLE b (i INTEGER, s VARCHAR(300))", writer);
            setup.Open(u"INSERT INTO b SELECT x, printf('%0250d', x) FROM (WITH RECURSIVE c(x) AS "
                       u"(SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 100000) SELECT x FROM c)",
                       writer);
        }
        // Read-only, as the data access layer opens its connections.
        OdbcConnection conn;
        conn.SetReadOnly(true);
        conn.Open(prefix + "Database=" + path);
        if (!PeakMemory::ResetPeak() || PeakMemory::PeakKib() < 0)
            GTEST_SKIP() << "peak memory cannot be measured here";
        const long before = PeakMemory::PeakKib();
        OdbcResult rs;
        rs.Open(u"SELECT i, s FROM b ORDER BY i", conn);
        long rows = 0;
        for (; !rs.EndOfFile(); rs.MoveNext(), ++rows)
            ASSERT_EQ(rs.Value(1).text.size(), 250u);
        const long grown = PeakMemory::PeakKib() - before;
        EXPECT_EQ(rows, 100000);
        // The result is some 25 MB of text; streaming keeps the walk within a few MB.
        EXPECT_LT(grown, 10 * 1024) << "peak memory grew by " << grown << " KiB";
    }
}

INSTANTIATE_TEST_SUITE_P(Sqlite, OdbcStreaming, ::testing::Values("", "DSN=TsisSqlite;"),
                         [](const ::testing::TestParamInfo<const char*>& info)
                         { return std::string(info.param[0] ? "DataSource" : "File"); });

} // namespace
