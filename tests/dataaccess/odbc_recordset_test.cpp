#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OdbcTestEnv.h"
#include "XString.h"
#include "odbc/AdoConnection.h"
#include "odbc/AdoRecordset.h"
#include "odbc/AutomationDate.h"
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

TEST_P(OdbcRecordsetTest, Integers)
{
    Exec(Table("v (i INTEGER, b BIGINT, s SMALLINT)"));
    Exec("INSERT INTO v VALUES (42, 3000000000, -7)");
    AdoRecordset rs;
    rs.Open("SELECT i, b, s FROM v", conn, true);
    ASSERT_FALSE(rs.EndOfFile());
    EXPECT_EQ(rs.Field(0).Type(), ado::adInteger);
    EXPECT_EQ(rs.Field(1).Type(), ado::adBigInt);
    EXPECT_EQ(rs.Field(2).Type(), ado::adSmallInt);
    AdoValue v = rs.Field(0).Value();
    EXPECT_EQ(v.type, ado::VT_I4);
    EXPECT_EQ(v.integer, 42);
    v = rs.Field(1).Value();
    EXPECT_EQ(v.type, ado::VT_I8);
    EXPECT_EQ(v.integer, 3000000000LL);
    v = rs.Field(2).Value();
    EXPECT_EQ(v.type, ado::VT_I2);
    EXPECT_EQ(v.integer, -7);
    EXPECT_EQ(rs.Field(0).Status(), ado::adFieldOK);
    EXPECT_EQ(rs.Field(0).ActualSize(), 4);
}

TEST_P(OdbcRecordsetTest, ExactNumerics)
{
    Exec(Table("v (a NUMERIC(10,2), b NUMERIC(8,1), c NUMERIC(10,0))"));
    Exec("INSERT INTO v VALUES (12.50, -12.5, 7)");
    AdoRecordset rs;
    rs.Open("SELECT a, b, c FROM v", conn);
    ASSERT_FALSE(rs.EndOfFile());
    if (!Pg())
    {
        // The SQLite driver describes NUMERIC columns as DOUBLE.
        EXPECT_EQ(rs.Field(0).Type(), ado::adDouble);
        EXPECT_EQ(rs.Field(0).Value().real, 12.5);
        EXPECT_EQ(rs.Field(1).Value().real, -12.5);
        EXPECT_EQ(rs.Field(2).Value().real, 7.0);
        return;
    }
    EXPECT_EQ(rs.Field(0).Type(), ado::adNumeric);
    AdoValue v = rs.Field(0).Value();
    ASSERT_EQ(v.type, ado::VT_DECIMAL);
    EXPECT_EQ(v.decimal.low, 1250u);
    EXPECT_EQ(v.decimal.scale, 2);
    EXPECT_FALSE(v.decimal.negative);
    v = rs.Field(1).Value();
    ASSERT_EQ(v.type, ado::VT_DECIMAL);
    EXPECT_EQ(v.decimal.low, 125u);
    EXPECT_EQ(v.decimal.scale, 1);
    EXPECT_TRUE(v.decimal.negative);
    v = rs.Field(2).Value();
    EXPECT_EQ(v.decimal.low, 7u);
    EXPECT_EQ(v.decimal.scale, 0);
}

TEST_P(OdbcRecordsetTest, Reals)
{
    Exec(Table(std::string("v (r REAL, d ") + (Pg() ? "DOUBLE PRECISION" : "DOUBLE") + ")"));
    Exec("INSERT INTO v VALUES (1.5, 12.34)");
    AdoRecordset rs;
    rs.Open("SELECT r, d FROM v", conn);
    ASSERT_FALSE(rs.EndOfFile());
    AdoValue r = rs.Field(0).Value();
    // PostgreSQL's REAL is single precision; the SQLite driver reports DOUBLE.
    EXPECT_EQ(r.type, Pg() ? ado::VT_R4 : ado::VT_R8);
    EXPECT_EQ(rs.Field(0).Type(), Pg() ? ado::adSingle : ado::adDouble);
    EXPECT_EQ(r.real, 1.5);
    AdoValue d = rs.Field(1).Value();
    EXPECT_EQ(d.type, ado::VT_R8);
    EXPECT_EQ(rs.Field(1).Type(), ado::adDouble);
    EXPECT_DOUBLE_EQ(d.real, 12.34);
}

TEST_P(OdbcRecordsetTest, TextKeepsBlanksTabsLineBreaksAndNonAsciiCharacters)
{
    Exec(Table("v (k INTEGER, t VARCHAR(40))"));
    if (Pg())
        Exec("INSERT INTO v VALUES (1, E'  A\\tB\\r\\nC  ')");
    else
        Exec("INSERT INTO v VALUES (1, '  A' || char(9) || 'B' || char(13) || char(10) || 'C  ')");
    Exec("INSERT INTO v VALUES (2, 'Ren\xC3\xA9"
         "e \xE2\x82\xAC')"); // "Renée €" in UTF-8
    AdoRecordset rs;
    rs.Open("SELECT t FROM v ORDER BY k", conn);
    ASSERT_FALSE(rs.EndOfFile());
    EXPECT_EQ(rs.Field(0).Type(), Pg() ? ado::adVarWChar : ado::adVarChar);
    AdoValue v = rs.Field(0).Value();
    ASSERT_EQ(v.type, ado::VT_BSTR);
    EXPECT_TRUE(v.text == u"  A\tB\r\nC  ");
    EXPECT_EQ(rs.Field(0).ActualSize(), 10); // UTF-16 units
    rs.MoveNext();
    v = rs.Field(0).Value();
    EXPECT_TRUE(v.text == u"Ren\u00e9e \u20ac");
    // Converted to the engine's code page, Windows-1252.
    const XString ansi = XString::FromWide(v.text.c_str(), static_cast<int>(v.text.size()), 0);
    EXPECT_EQ(ansi.Std(), "Ren\xE9"
                          "e \x80");
}

TEST_P(OdbcRecordsetTest, FixedWidthCharacterColumns)
{
    if (!Pg())
        GTEST_SKIP() << "SQLite does not pad CHAR columns";
    Exec(Table("v (c CHAR(4))"));
    Exec("INSERT INTO v VALUES ('ab')");
    AdoRecordset rs;
    rs.Open("SELECT c FROM v", conn);
    EXPECT_EQ(rs.Field(0).Type(), ado::adWChar);
    EXPECT_TRUE(rs.Field(0).Value().text == u"ab  ");
}

TEST_P(OdbcRecordsetTest, DatesTimesAndTimestampsAreAutomationDates)
{
    Exec(Table("v (d DATE, ts TIMESTAMP, tm TIME)"));
    Exec("INSERT INTO v VALUES ('2024-03-01', '2024-03-01 13:45:30.250', '06:00:00')");
    AdoRecordset rs;
    rs.Open("SELECT d, ts, tm FROM v", conn);
    ASSERT_FALSE(rs.EndOfFile());
    EXPECT_EQ(rs.Field(0).Type(), ado::adDBDate);
    EXPECT_EQ(rs.Field(1).Type(), ado::adDBTimeStamp);
    EXPECT_EQ(rs.Field(2).Type(), ado::adDBTime);
    AdoValue d = rs.Field(0).Value();
    ASSERT_EQ(d.type, ado::VT_DATE);
    EXPECT_EQ(d.real, 45352.0);
    AdoValue ts = rs.Field(1).Value();
    ASSERT_EQ(ts.type, ado::VT_DATE);
    EXPECT_NEAR(ts.real, AutomationDate(2024, 3, 1, 13, 45, 30, 250), 1e-9);
    EXPECT_GT(ts.real, AutomationDate(2024, 3, 1, 13, 45, 30, 249));
    AdoValue tm = rs.Field(2).Value();
    ASSERT_EQ(tm.type, ado::VT_DATE);
    EXPECT_DOUBLE_EQ(tm.real, 0.25);
}

TEST_P(OdbcRecordsetTest, Booleans)
{
    Exec(Table("v (k INTEGER, b BOOLEAN)"));
    Exec(Pg() ? "INSERT INTO v VALUES (1, true), (2, false)" : "INSERT INTO v VALUES (1, 1), (2, 0)");
    AdoRecordset rs;
    rs.Open("SELECT b FROM v ORDER BY k", conn);
    EXPECT_EQ(rs.Field(0).Type(), ado::adBoolean);
    AdoValue v = rs.Field(0).Value();
    ASSERT_EQ(v.type, ado::VT_BOOL);
    EXPECT_TRUE(v.boolean);
    rs.MoveNext();
    EXPECT_FALSE(rs.Field(0).Value().boolean);
}

TEST_P(OdbcRecordsetTest, NullsOfEveryType)
{
    Exec(Table(std::string("v (i INTEGER, n NUMERIC(8,2), r REAL, t VARCHAR(10), d DATE, b BOOLEAN, x ") +
               (Pg() ? "BYTEA" : "BLOB") + ")"));
    Exec("INSERT INTO v VALUES (NULL, NULL, NULL, NULL, NULL, NULL, NULL)");
    AdoRecordset rs;
    rs.Open("SELECT * FROM v", conn);
    ASSERT_EQ(rs.FieldCount(), 7);
    for (long i = 0; i < rs.FieldCount(); ++i)
    {
        EXPECT_EQ(rs.Field(i).Value().type, ado::VT_NULL) << i;
        EXPECT_EQ(rs.Field(i).Status(), ado::adFieldIsNull) << i;
        EXPECT_EQ(rs.Field(i).ActualSize(), 0) << i;
    }
    EXPECT_EQ(rs.Field(6).GetChunk(10).type, ado::VT_NULL);
}

TEST_P(OdbcRecordsetTest, BinaryValuesAndChunks)
{
    Exec(Table(std::string("v (x ") + (Pg() ? "BYTEA" : "BLOB") + ")"));
    Exec(Pg() ? "INSERT INTO v VALUES ('\\x00ff10')" : "INSERT INTO v VALUES (x'00ff10')");
    AdoRecordset rs;
    rs.Open("SELECT x FROM v", conn);
    AdoField f = rs.Field(0);
    // PostgreSQL's bytea is long binary; the SQLite driver calls BLOB binary.
    EXPECT_EQ(f.Type(), Pg() ? ado::adLongVarBinary : ado::adBinary);
    EXPECT_EQ((f.Attributes() & ado::adFldLong) != 0, Pg());
    AdoValue v = f.Value();
    ASSERT_EQ(v.type, ado::VT_ARRAY_UI1);
    EXPECT_EQ(v.bytes, (std::vector<unsigned char>{0x00, 0xff, 0x10}));
    EXPECT_EQ(f.ActualSize(), 3);
    EXPECT_EQ(f.GetChunk(2).bytes, (std::vector<unsigned char>{0x00, 0xff}));
    EXPECT_EQ(f.GetChunk(2).bytes, (std::vector<unsigned char>{0x10}));
    EXPECT_EQ(f.GetChunk(2).type, ado::VT_NULL);
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
    EXPECT_EQ(rs.Field(0).ActualSize(), 30000);
    const AdoValue x = rs.Field(1).Value();
    EXPECT_EQ(x.bytes.size(), bytes.size());
    EXPECT_TRUE(x.bytes == bytes);
    // Chunks put together give the whole value.
    std::u16string pieces;
    for (AdoValue c = rs.Field(0).GetChunk(7000); c.type != ado::VT_NULL; c = rs.Field(0).GetChunk(7000))
        pieces += c.text;
    EXPECT_TRUE(pieces == wide);
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

TEST_P(OdbcRecordsetTest, StatementErrorCarriesTheDriverText)
{
    AdoRecordset rs;
    try
    {
        rs.Open("SELECT nope FROM nowhere", conn);
        FAIL();
    }
    catch (const AdoComError& e)
    {
        EXPECT_EQ(e.Error(), ado::E_FAIL_HR);
        EXPECT_EQ(e.ErrorMessage(), "Unspecified error");
        ASSERT_FALSE(e.ProviderErrors().empty());
        const AdoProviderError& pe = e.ProviderErrors().front();
        EXPECT_EQ(e.Description(), pe.description);
        EXPECT_EQ(pe.description.rfind("[" + pe.sqlState + "] ", 0), 0u) << pe.description;
        if (Pg())
        {
            EXPECT_EQ(pe.sqlState, "42P01");
            EXPECT_NE(pe.description.find("relation \"nowhere\" does not exist"), std::string::npos)
                << pe.description;
        }
        else
        {
            EXPECT_NE(pe.description.find("no such table: nowhere"), std::string::npos) << pe.description;
        }
    }
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    // The connection stays usable.
    rs.Open("SELECT 1", conn);
    EXPECT_EQ(Plain(rs.Field(0).Value()), "1");
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

// A failure the recordset raises itself carries no driver diagnostics.
TEST_P(OdbcRecordsetTest, ItsOwnErrorsCarryNoDiagnostics)
{
    AdoRecordset rs;
    EXPECT_THROW(rs.Open("SELECT nope FROM nowhere", conn), AdoComError);
    const auto own = [](const std::function<void()>& call, std::uint32_t hresult) {
        try
        {
            call();
            FAIL();
        }
        catch (const AdoComError& e)
        {
            EXPECT_EQ(e.Error(), hresult);
            EXPECT_TRUE(e.ProviderErrors().empty()) << ProviderErrors(e);
        }
    };
    own([&] { rs.FieldCount(); }, ado::adErrObjectClosed_HR);
    rs.Open("SELECT 1", conn);
    rs.MoveNext();
    ASSERT_TRUE(rs.EndOfFile());
    own([&] { rs.MoveNext(); }, ado::adErrNoCurrentRecord_HR);
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
