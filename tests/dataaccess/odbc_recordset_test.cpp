#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OdbcTestEnv.h"
#include <QString>

#include "XString.h"
#include "odbc/AdoConnection.h"
#include "odbc/AdoRecordset.h"
#include "odbc/OdbcRowSpool.h"

namespace
{

struct Backend
{
    const char* name;
    bool postgres;
    const char* dsn;     // for PostgreSQL
    bool statesRowCount; // the driver knows the size of a result
};

void PrintTo(const Backend& b, std::ostream* os)
{
    *os << b.name;
}

const Backend kSqlite{"Sqlite", false, "", false};
const Backend kPostgres{"Postgres", true, "TsisPostgres", true};
const Backend kPostgresCursor{"PostgresCursor", true, "TsisPostgresCursor", false};

std::string ProviderErrors(const AdoComError& c)
{
    std::string out;
    for (const AdoProviderError& e : c.ProviderErrors())
        out += e.description + "\n";
    return out;
}

// An integer as the driver delivers it: the SQLite driver describes
// computed columns as text.
std::string Plain(const AdoValue& v)
{
    if (v.type == ado::VT_BSTR)
        return std::string(v.text.begin(), v.text.end());
    return std::to_string(v.integer);
}

std::string HexOf(const std::vector<unsigned char>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (unsigned char b : bytes)
    {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

class OdbcRecordsetTest : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        odbctest::SetUpOdbcTestEnv();
        const Backend& b = GetParam();
        if (b.postgres)
        {
            try
            {
                conn.Open(std::string("DSN=") + b.dsn);
            }
            catch (const AdoComError& e)
            {
                const std::string why = e.Description();
                if (odbctest::RunningInCi())
                    FAIL() << "the PostgreSQL test server is required under CI: " << why;
                GTEST_SKIP() << "no PostgreSQL test server (start it with scripts/start-postgres.sh): "
                             << why;
            }
            return;
        }
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        path = (std::filesystem::path(odbctest::OdbcTestFolder()) / ("rs_" + name + ".sqlite")).string();
        std::filesystem::remove(path);
        std::ofstream(path).flush(); // an empty file is an empty database
        conn.Open("Database=" + path);
    }

    bool Pg() const { return GetParam().postgres; }

    // Runs a statement without a result; PostgreSQL tables are per session.
    void Exec(const std::string& sql)
    {
        AdoRecordset rs;
        try
        {
            rs.Open(sql, conn);
        }
        catch (const AdoComError& e)
        {
            FAIL() << sql << ": " << e.Description();
        }
        EXPECT_EQ(rs.State(), ado::adStateClosed);
    }

    std::string Table(const std::string& columns)
    {
        return (Pg() ? "CREATE TEMP TABLE " : "CREATE TABLE ") + columns;
    }

    AdoConnection conn;
    std::string path;
};

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
        return std::string("decimal:") + (v.decimal.negative ? "-" : "") + std::to_string(v.decimal.low) + "e-" +
               std::to_string(v.decimal.scale);
    case ado::VT_ARRAY_UI1:
        return "bytes:" + HexOf(v.bytes);
    default:
        return std::to_string(v.type) + ":" + std::to_string(v.integer);
    }
}

// Each column type once, on each driver: the field type it is described as
// and the value read back, from a kept result (bound buffers or the spool)
// and from a streamed one (values read on demand).
TEST_P(OdbcRecordsetTest, EveryColumnTypeAndItsValue)
{
    struct Case
    {
        const char* type[2];    // SQLite, PostgreSQL
        const char* literal[2]; // SQLite, PostgreSQL
        int adoType[2];
        const char* shown[2];
    };
    const Case cases[] = {
        {{"INTEGER", "INTEGER"}, {"42", "42"}, {ado::adInteger, ado::adInteger}, {"3:42", "3:42"}},
        {{"BIGINT", "BIGINT"}, {"3000000000", "3000000000"}, {ado::adBigInt, ado::adBigInt},
         {"20:3000000000", "20:3000000000"}},
        {{"SMALLINT", "SMALLINT"}, {"-7", "-7"}, {ado::adSmallInt, ado::adSmallInt}, {"2:-7", "2:-7"}},
        // The SQLite driver describes NUMERIC columns as DOUBLE.
        {{"NUMERIC(10,2)", "NUMERIC(10,2)"}, {"12.50", "12.50"}, {ado::adDouble, ado::adNumeric},
         {"5:12.5", "decimal:1250e-2"}},
        {{"NUMERIC(8,1)", "NUMERIC(8,1)"}, {"-12.5", "-12.5"}, {ado::adDouble, ado::adNumeric},
         {"5:-12.5", "decimal:-125e-1"}},
        {{"NUMERIC(10,0)", "NUMERIC(10,0)"}, {"7", "7"}, {ado::adDouble, ado::adNumeric}, {"5:7", "decimal:7e-0"}},
        // PostgreSQL's REAL is single precision; the SQLite driver reports DOUBLE.
        {{"REAL", "REAL"}, {"1.5", "1.5"}, {ado::adDouble, ado::adSingle}, {"5:1.5", "4:1.5"}},
        {{"DOUBLE", "DOUBLE PRECISION"}, {"12.34", "12.34"}, {ado::adDouble, ado::adDouble},
         {"5:12.34", "5:12.34"}},
        {{"VARCHAR(40)", "VARCHAR(40)"},
         {"'  A' || char(9) || 'B' || char(13) || char(10) || 'C  '", "E'  A\\tB\\r\\nC  '"},
         {ado::adVarChar, ado::adVarWChar},
         {"text:  A\tB\r\nC  ", "text:  A\tB\r\nC  "}},
        {{"VARCHAR(40)", "VARCHAR(40)"}, {"'Ren\xC3\xA9" "e \xE2\x82\xAC'", "'Ren\xC3\xA9" "e \xE2\x82\xAC'"},
         {ado::adVarChar, ado::adVarWChar}, {"text:Ren\xC3\xA9" "e \xE2\x82\xAC", "text:Ren\xC3\xA9" "e \xE2\x82\xAC"}},
        // SQLite does not pad CHAR columns.
        {{"CHAR(4)", "CHAR(4)"}, {"'ab'", "'ab'"}, {ado::adVarChar, ado::adWChar}, {"text:ab", "text:ab  "}},
        {{"DATE", "DATE"}, {"'2024-03-01'", "'2024-03-01'"}, {ado::adDBDate, ado::adDBDate}, {"7:45352", "7:45352"}},
        {{"TIMESTAMP", "TIMESTAMP"}, {"'2024-03-01 13:45:30.250'", "'2024-03-01 13:45:30.250'"},
         {ado::adDBTimeStamp, ado::adDBTimeStamp}, {"7:45352.5732667824", "7:45352.5732667824"}},
        {{"TIME", "TIME"}, {"'06:00:00'", "'06:00:00'"}, {ado::adDBTime, ado::adDBTime}, {"7:0.25", "7:0.25"}},
        {{"BOOLEAN", "BOOLEAN"}, {"1", "true"}, {ado::adBoolean, ado::adBoolean}, {"bool:1", "bool:1"}},
        {{"BOOLEAN", "BOOLEAN"}, {"0", "false"}, {ado::adBoolean, ado::adBoolean}, {"bool:0", "bool:0"}},
        // PostgreSQL's bytea is long binary; the SQLite driver calls BLOB binary.
        {{"BLOB", "BYTEA"}, {"x'00ff10'", "'\\x00ff10'"}, {ado::adBinary, ado::adLongVarBinary},
         {"bytes:00ff10", "bytes:00ff10"}},
    };
    const int db = Pg() ? 1 : 0;
    for (std::size_t i = 0; i < std::size(cases); ++i)
    {
        const Case& c = cases[i];
        SCOPED_TRACE(::testing::Message() << c.type[db] << " " << c.literal[db]);
        std::string table = "v";
        table += std::to_string(i);
        Exec(Table(table + " (k INTEGER, x " + c.type[db] + ")"));
        Exec("INSERT INTO " + table + " VALUES (1, " + c.literal[db] + ")");
        Exec("INSERT INTO " + table + " VALUES (2, NULL)");
        for (const bool keep : {true, false})
        {
            AdoRecordset rs;
            rs.Open("SELECT x FROM " + table + " ORDER BY k", conn, keep);
            EXPECT_EQ(rs.Field(0).Type(), c.adoType[db]);
            EXPECT_EQ((rs.Field(0).Attributes() & ado::adFldLong) != 0, c.adoType[db] == ado::adLongVarBinary);
            EXPECT_EQ(Shown(rs.Field(0).Value()), c.shown[db]);
            EXPECT_EQ(rs.Field(0).Status(), ado::adFieldOK);
            rs.MoveNext();
            EXPECT_EQ(Shown(rs.Field(0).Value()), "null");
            EXPECT_EQ(rs.Field(0).Status(), ado::adFieldIsNull);
        }
    }
}

TEST_P(OdbcRecordsetTest, LongValuesAreReadWhole)
{
    std::vector<unsigned char> bytes(200000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i % 251);
    std::string text;    // UTF-8
    std::u16string wide; // the same text
    for (int i = 0; i < 30000; ++i)
    {
        if (i % 97 == 0)
        {
            text += "\xC3\xA9";
            wide += u'\u00e9';
        }
        else
        {
            text += static_cast<char>('a' + i % 26);
            wide += static_cast<char16_t>(u'a' + i % 26);
        }
    }
    Exec(Table(std::string("v (t TEXT, x ") + (Pg() ? "BYTEA" : "BLOB") + ")"));
    Exec("INSERT INTO v VALUES ('" + text + "', " +
         (Pg() ? "'\\x" + HexOf(bytes) + "'" : "x'" + HexOf(bytes) + "'") + ")");
    AdoRecordset rs;
    rs.Open("SELECT t, x FROM v", conn);
    EXPECT_EQ(rs.Field(0).Attributes() & ado::adFldLong, ado::adFldLong);
    const AdoValue t = rs.Field(0).Value();
    EXPECT_EQ(t.text.size(), wide.size());
    EXPECT_TRUE(t.text == wide);
    const AdoValue x = rs.Field(1).Value();
    EXPECT_EQ(x.bytes.size(), bytes.size());
    EXPECT_TRUE(x.bytes == bytes);
}

// From the second record on, values arrive in bound buffers; a text longer
// than its buffer (SQLite keeps any length, a character beyond the BMP takes
// two UTF-16 units, TEXT has no size) is read again whole.
TEST_P(OdbcRecordsetTest, TextsLongerThanTheirBuffersAreReadWhole)
{
    // Four times U+1F600, made by the database (the driver manager cannot pass it to SQLite).
    const std::string smiles = Pg() ? "repeat(chr(128512), 4)" : "char(128512, 128512, 128512, 128512)";
    const std::u16string smileW = u"\U0001F600";
    struct Row
    {
        std::string s, e; // SQL expressions
        std::u16string sW, eW;
        bool sNull;
    };
    const std::vector<Row> rows = {
        {"'a'", "'ab'", u"a", u"ab", false},
        {"'" + std::string(300, 'x') + "'", smiles, std::u16string(300, u'x'),
         smileW + smileW + smileW + smileW, false},
        {"NULL", "'abcd'", u"", u"abcd", true},
        {"'" + std::string(1000, 'y') + "'", "'z'", std::u16string(1000, u'y'), u"z", false},
        {"'b'", "''", u"b", u"", false},
    };
    Exec(Table(std::string("v (k INTEGER, s ") + (Pg() ? "TEXT" : "VARCHAR(10)") + ", e VARCHAR(4))"));
    for (std::size_t i = 0; i < rows.size(); ++i)
        Exec("INSERT INTO v VALUES (" + std::to_string(i) + ", " + rows[i].s + ", " + rows[i].e + ")");
    AdoRecordset rs;
    rs.Open("SELECT k, s, e FROM v ORDER BY k", conn);
    for (std::size_t i = 0; i < rows.size(); ++i)
    {
        ASSERT_FALSE(rs.EndOfFile()) << i;
        EXPECT_EQ(rs.Field(0).Value().integer, static_cast<std::int64_t>(i));
        const AdoValue s = rs.Field(1).Value();
        EXPECT_EQ(s.IsNull(), rows[i].sNull) << i;
        EXPECT_TRUE(s.text == rows[i].sW) << i;
        EXPECT_TRUE(rs.Field(2).Value().text == rows[i].eW) << i;
        rs.MoveNext();
    }
    EXPECT_TRUE(rs.EndOfFile());
}

// A client cursor holds its result once open, in memory or, past the
// spool's memory limit, in a temporary file: its size is known and MoveFirst
// walks the same rows again, whatever the table holds meanwhile. A
// server-side cursor is counted by walking, and MoveFirst runs it again.
TEST_P(OdbcRecordsetTest, RecordCountThenMoveFirstWalksFromTheFirstRecord)
{
    Exec(Table("v (k INTEGER, s VARCHAR(2000))"));
    const auto fill = [&] {
        Exec("DELETE FROM v");
        Exec("INSERT INTO v VALUES (1, 'one')");
        Exec("INSERT INTO v VALUES (2, NULL)");
        Exec("INSERT INTO v VALUES (3, '" + std::string(1500, 'x') + "')"); // beyond its bound buffer
    };
    const auto walk = [](AdoRecordset& rs) {
        std::vector<std::string> seen;
        for (rs.MoveFirst(); !rs.EndOfFile(); rs.MoveNext())
        {
            const AdoValue s = rs.Field(1).Value();
            seen.push_back(std::to_string(rs.Field(0).Value().integer) + ":" +
                           (s.IsNull() ? "null" : std::to_string(s.text.size())));
        }
        return seen;
    };
    const std::vector<std::string> all{"1:3", "2:null", "3:1500"};
    const std::size_t limit = OdbcRowSpool::SetMemoryLimit(0);
    for (const std::size_t memory : {limit, std::size_t(0)})
    {
        SCOPED_TRACE(memory);
        OdbcRowSpool::SetMemoryLimit(memory);
        fill();
        AdoRecordset rs;
        rs.Open("SELECT k, s FROM v ORDER BY k", conn, true);
        EXPECT_EQ(rs.RecordCount(), 3);
        // A driver that states the size holds the result itself; MoveFirst runs it again there.
        if (!GetParam().statesRowCount)
            Exec("DELETE FROM v WHERE k = 2");
        EXPECT_EQ(walk(rs), all);
        EXPECT_EQ(walk(rs), all);
        EXPECT_EQ(rs.RecordCount(), 3);
        rs.MoveFirst();
        EXPECT_EQ(rs.Field(0).Value().integer, 1);
    }
    OdbcRowSpool::SetMemoryLimit(limit);

    fill();
    AdoRecordset forward;
    forward.Open("SELECT k, s FROM v ORDER BY k", conn);
    if (GetParam().statesRowCount)
    {
        EXPECT_EQ(forward.RecordCount(), 3);
        return;
    }
    EXPECT_EQ(forward.RecordCount(), -1);
    EXPECT_EQ(walk(forward), all);
    EXPECT_EQ(forward.RecordCount(), 3); // known now
    Exec("DELETE FROM v WHERE k = 2");
    EXPECT_EQ(walk(forward), (std::vector<std::string>{"1:3", "3:1500"}));
}

TEST_P(OdbcRecordsetTest, ASecondRecordsetLeavesTheFirstWhereItWas)
{
    Exec(Table("v (k INTEGER)"));
    Exec("INSERT INTO v VALUES (1)");
    Exec("INSERT INTO v VALUES (2)");
    Exec("INSERT INTO v VALUES (3)");
    AdoRecordset outer;
    outer.Open("SELECT k FROM v ORDER BY k", conn);
    outer.MoveNext();
    {
        AdoRecordset probe;
        probe.Open("SELECT k FROM v ORDER BY k DESC", conn);
        EXPECT_EQ(probe.Field(0).Value().integer, 3);
        probe.MoveNext();
        EXPECT_EQ(probe.Field(0).Value().integer, 2);
    }
    EXPECT_EQ(outer.Field(0).Value().integer, 2);
    outer.MoveNext();
    EXPECT_EQ(outer.Field(0).Value().integer, 3);
    outer.MoveNext();
    EXPECT_TRUE(outer.EndOfFile());
}

TEST_P(OdbcRecordsetTest, EmptyResultIsAtBofAndEof)
{
    Exec(Table("v (k INTEGER)"));
    AdoRecordset rs;
    rs.Open("SELECT k FROM v", conn);
    EXPECT_EQ(rs.State(), ado::adStateOpen);
    EXPECT_TRUE(rs.BOF());
    EXPECT_TRUE(rs.EndOfFile());
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_EQ(rs.FieldCount(), 1);
    try
    {
        rs.MoveNext();
        FAIL();
    }
    catch (const AdoComError& e)
    {
        EXPECT_EQ(e.Error(), ado::adErrNoCurrentRecord_HR);
    }
    try
    {
        rs.Field(0).Value();
        FAIL();
    }
    catch (const AdoComError& e)
    {
        EXPECT_EQ(e.Error(), ado::adErrNoCurrentRecord_HR);
    }
    rs.MoveFirst();
    EXPECT_TRUE(rs.EndOfFile());
}

TEST_P(OdbcRecordsetTest, FieldNamesAndBounds)
{
    Exec(Table("v (StdKey INTEGER, LastName VARCHAR(20))"));
    AdoRecordset rs;
    rs.Open("SELECT StdKey, LastName FROM v", conn);
    ASSERT_EQ(rs.FieldCount(), 2);
    // PostgreSQL folds unquoted names to lower case.
    EXPECT_EQ(rs.Field(0).Name(), Pg() ? "stdkey" : "StdKey");
    EXPECT_EQ(rs.Field(1).Name(), Pg() ? "lastname" : "LastName");
    EXPECT_EQ(rs.Field(1).DefinedSize(), 20);
    rs.Close();
    rs.Open("SELECT StdKey AS \"Pr\xC3\xA9nom\" FROM v", conn);
    EXPECT_EQ(rs.Field(0).Name(), "Pr\xC3\xA9nom");
    EXPECT_TRUE(rs.Field(0).NameW() == u"Pr\u00e9nom");
    for (long bad : {-1L, 2L})
    {
        try
        {
            rs.Field(bad);
            FAIL() << bad;
        }
        catch (const AdoComError& e)
        {
            EXPECT_EQ(e.Error(), ado::adErrItemNotFound_HR);
        }
    }
}

TEST_P(OdbcRecordsetTest, LifecycleRules)
{
    AdoRecordset rs;
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    EXPECT_THROW(rs.Close(), AdoComError);
    try
    {
        rs.Open("", conn);
        FAIL();
    }
    catch (const AdoComError& e)
    {
        EXPECT_EQ(e.ProviderErrors().at(0).description, "Command text was not set for the command object.");
    }
    rs.Open("SELECT 1", conn);
    try
    {
        rs.Open("SELECT 2", conn);
        FAIL();
    }
    catch (const AdoComError& e)
    {
        EXPECT_EQ(e.Error(), ado::adErrObjectOpen_HR);
    }
    rs.Close();
    rs.Open("SELECT 2", conn);
    EXPECT_EQ(Plain(rs.Field(0).Value()), "2");
    rs.Close();
    conn.Close();
    try
    {
        rs.Open("SELECT 3", conn);
        FAIL();
    }
    catch (const AdoComError& e)
    {
        EXPECT_EQ(e.Error(), ado::adErrObjectClosed_HR);
    }
}

TEST_P(OdbcRecordsetTest, CommandTimeoutApplies)
{
    if (!Pg())
        GTEST_SKIP() << "SQLite has no slow statement to wait for";
    conn.SetCommandTimeout(1);
    AdoRecordset rs;
    try
    {
        rs.Open("SELECT pg_sleep(30)", conn);
        FAIL();
    }
    catch (const AdoComError& e)
    {
        ASSERT_FALSE(e.ProviderErrors().empty());
        EXPECT_EQ(e.ProviderErrors().front().sqlState, "57014") << ProviderErrors(e);
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, OdbcRecordsetTest, ::testing::Values(kSqlite, kPostgres, kPostgresCursor),
                         [](const ::testing::TestParamInfo<Backend>& info) { return info.param.name; });

} // namespace
