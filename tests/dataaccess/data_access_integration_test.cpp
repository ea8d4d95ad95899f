// The data access layer against real drivers through unixODBC: the SQLite
// ODBC driver on a file made here, and psqlODBC on the PostgreSQL test
// server (required when CI=true).
#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "DataAccessBackends.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"
#include "OdbcTestEnv.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcResult.h"

namespace
{
// Where a result read at opening is kept: as usual, or nowhere (no memory
// and a temporary folder that does not exist).
class SpoolFolder
{
public:
    explicit SpoolFolder(bool kept)
    {
        if (kept)
            return;
        limit_ = OdbcResult::SetSpoolMemoryLimit(0);
        qputenv("TMPDIR", "/nonexistent/tsisbridge-test");
    }
    ~SpoolFolder()
    {
        if (limit_)
            OdbcResult::SetSpoolMemoryLimit(*limit_);
        had_ ? qputenv("TMPDIR", saved_) : qunsetenv("TMPDIR");
    }

private:
    const QByteArray saved_ = qgetenv("TMPDIR");
    const bool had_ = qEnvironmentVariableIsSet("TMPDIR");
    std::optional<std::size_t> limit_;
};

class DataAccessIntegration : public BackendTest
{
protected:
    // An expression that fails with the driver's own error when `when` holds.
    std::string FailingWhen(const std::string& when)
    {
        return backend->Type() == DatabaseType::Postgres
                   ? "10 / (CASE WHEN " + when + " THEN 0 ELSE 1 END)"
                   : "json(CASE WHEN " + when + " THEN 'not json' ELSE '1' END)";
    }
    std::string DriverFailureText() const
    {
        return backend->Type() == DatabaseType::Postgres ? "division by zero" : "malformed JSON";
    }

    // The server process behind the connection under test (PostgreSQL).
    std::string BackendPid() { return FirstValue(*da, "SELECT pg_backend_pid() AS v"); }
    void TerminateBackend(const std::string& pid)
    {
        backend->Exec("SELECT pg_terminate_backend(" + pid + ", 5000)");
    }

    // A query over the table's id, ordered, opened as the writer would.
    ODBCField* OpenIds(const std::string& table)
    {
        da->ClearQuery();
        ODBCTable* t = da->AddTable(table.c_str(), "t");
        ODBCField* id = da->AddField(t, "id", true);
        da->AddOrder(id);
        EXPECT_TRUE(da->RunCurrentQueryOk());
        return id;
    }
    // The ids of the rest of the walk.
    std::vector<int> RestOfIds(ODBCField* id)
    {
        std::vector<int> ids;
        while (da->GetNextRecord())
            ids.push_back(da->GetInt(id));
        return ids;
    }
};

std::string Str(const XString& x)
{
    return x.Text();
}
} // namespace

TEST_P(DataAccessIntegration, ReadersConvertEveryColumnKind)
{
    std::string t = NewTable("values", "id INTEGER, amount NUMERIC(10,2), debit NUMERIC(10,1), ratio REAL, "
                                       "label VARCHAR(40), memo VARCHAR(40), born DATE, seen TIMESTAMP, "
                                       "active BOOLEAN, absent VARCHAR(10), picture " +
                                           backend->BinaryType());
    backend->Exec("INSERT INTO " + t + " VALUES (42, 12.50, -12.5, 12.34, '  A' || " + backend->Char(9) +
                  " || 'B  ', 'x' || " + backend->Char(13) + " || " + backend->Char(10) +
                  " || 'y', '2009-01-15', '2009-01-15 13:45:30', " + backend->BoolLiteral(true) + ", NULL, " +
                  backend->BinaryLiteral() + ")");
    Connect();
    ODBCTable* v = da->AddTable(t.c_str(), "v");
    std::vector<ODBCField*> f;
    for (const char* name :
         {"id", "amount", "debit", "ratio", "label", "memo", "born", "seen", "active", "absent", "picture"})
        f.push_back(da->AddField(v, name, true));
    ODBCField *id = f[0], *amount = f[1], *debit = f[2], *ratio = f[3], *label = f[4], *memo = f[5],
              *born = f[6], *seen = f[7], *active = f[8], *nothing = f[9], *picture = f[10];
    ASSERT_TRUE(da->RunCurrentQueryOk());
    ASSERT_TRUE(da->GetFirstRecord());

    const std::pair<ODBCField*, const char*> texts[] = {{id, "42"},
                                                        {amount, "12.5"},
                                                        {debit, "-12.5"},
                                                        {ratio, "12.34"},
                                                        {label, "  A\tB  "},
                                                        {nothing, ""},
                                                        {born, "2009/01/15 0:00:00"}};
    for (const auto& [field, text] : texts)
        EXPECT_EQ(Str(da->GetValueText(field)), text);
    const std::pair<ODBCField*, int> ints[] = {
        {id, 42}, {amount, 12}, {debit, -12}, {ratio, 12}, {nothing, 0}};
    for (const auto& [field, value] : ints)
        EXPECT_EQ(da->GetInt(field), value) << value;
    EXPECT_DOUBLE_EQ(da->GetDouble(id), 42.0);
    EXPECT_DOUBLE_EQ(da->GetDouble(amount), 12.5);
    EXPECT_EQ(da->GetIntTruncated(debit), -12);
    EXPECT_NEAR(da->GetFloat(ratio), 12.34f, 1e-5);

    EXPECT_EQ(Str(da->GetTrimmedText(label)), "AB");
    EXPECT_EQ(Str(da->GetSingleLineText(label)), "AB");
    EXPECT_EQ(Str(da->GetSingleLineText(memo)), "x  y");
    EXPECT_EQ(Str(da->GetTrimmedText(memo)), "x\r\ny");

    EXPECT_EQ(da->GetDate(born), XDate(2009, 1, 15));
    EXPECT_EQ(da->GetDateTime(seen), XDateTime(XDate(2009, 1, 15), XTime(13, 45, 30)));
    EXPECT_EQ(da->GetTime(seen), XTime(13, 45, 30));
    EXPECT_EQ(da->GetDate(seen), XDate(2009, 1, 15));
    EXPECT_TRUE(da->GetDate(label).IsNull());
    EXPECT_TRUE(da->GetDate(nothing).IsNull());

    EXPECT_TRUE(da->GetBool(id));
    EXPECT_TRUE(da->GetBool(active));
    EXPECT_FALSE(da->GetBool(nothing));
    EXPECT_EQ(Str(da->GetFlagText(active)), "1");
    EXPECT_EQ(Str(da->GetFlagText(nothing)), "0");
    EXPECT_TRUE(da->IsNull(nothing));
    EXPECT_FALSE(da->IsNull(id));

    std::vector<unsigned char> expected = {0x00, 0x01, 0xFF, 0x41};
    EXPECT_EQ(da->GetBytes(picture), expected);
    // Reading again on the same record gives the same bytes.
    EXPECT_EQ(da->GetBytes(picture), expected);
    EXPECT_TRUE(da->GetBytes(nothing).empty());

    EXPECT_EQ(da->GetFieldCount(), 11);
    EXPECT_EQ(Str(da->GetFieldName(0)), "id");
    EXPECT_FALSE(da->GetNextRecord());
    da->CloseQuery();
}

TEST_P(DataAccessIntegration, BooleansReadAsFlags)
{
    std::string t = NewTable("flags", "f BOOLEAN");
    backend->Exec("INSERT INTO " + t + " VALUES (" + backend->BoolLiteral(true) + "), (" +
                  backend->BoolLiteral(false) + ")");
    Connect();
    ODBCField* f = da->AddField(da->AddTable(t.c_str(), "t"), "f", true);
    da->AddOrder(f, true);
    ASSERT_TRUE(da->RunCurrentQueryOk());
    // psqlODBC delivers a bit, which reads as a boolean; SQLite keeps integers.
    const bool bit = backend->Type() == DatabaseType::Postgres;
    for (const bool value : {true, false})
    {
        ASSERT_TRUE(value ? da->GetFirstRecord() : da->GetNextRecord());
        EXPECT_EQ(Str(da->GetFlagText(f)), value ? "1" : "0");
        EXPECT_EQ(da->GetBool(f), value);
        if (bit)
        {
            EXPECT_EQ(Str(da->GetValueText(f)) + Str(da->GetFieldTypeName(0)),
                      value ? "TrueBoolean" : "FalseBoolean");
        }
    }
}

// A result is read whole when it opens, so its size is known; where it
// cannot be kept (here the temporary folder is missing) it is counted by
// walking. Either way the walk then starts again at the first record.
TEST_P(DataAccessIntegration, RecordCountTheDriverCannotStateIsCountedThenWalkedFromTheFirst)
{
    std::string t = Rows(3);
    da->Connect(backend->UncountedConnectionString(*da));
    ODBCField id(nullptr, "id", 0);
    for (const bool kept : {true, false})
    {
        SCOPED_TRACE(kept);
        SpoolFolder spool(kept);
        ASSERT_EQ(da->RunQuery(("SELECT id FROM " + t + " ORDER BY id").c_str()), 0);
        log->lines.clear();
        EXPECT_EQ(da->GetRecordCount(), 3);
        std::vector<std::string> counting;
        for (const DataAccessLogLine& l : log->lines)
            if (l.level == 8 && l.method.empty())
                counting.push_back(l.message);
        EXPECT_EQ(counting,
                  (std::vector<std::string>{"GetRecordCount: Finishing Getting Record Count.",
                                            "GetRecordCount: Validating RecordCount.",
                                            kept ? "GetRecordCount: Driver supports RecordCount"
                                                 : "GetRecordCount: Lets determine record count manually.",
                                            "GetRecordCount: Found Record Count of 3"}));
        ASSERT_TRUE(da->GetFirstRecord());
        EXPECT_EQ(da->GetInt(&id), 1);
        EXPECT_EQ(RestOfIds(&id), (std::vector<int>{2, 3}));
        // A second count gives the same answer and the walk starts over again.
        EXPECT_EQ(da->GetRecordCount(), 3);
        ASSERT_TRUE(da->GetFirstRecord());
        EXPECT_EQ(da->GetInt(&id), 1);
    }
}

TEST_P(DataAccessIntegration, RecordCountOfAnEmptyResult)
{
    std::string empty = NewTable("empty", "id INTEGER");
    Connect();
    OpenIds(empty);
    EXPECT_FALSE(da->GetFirstRecord());
    EXPECT_EQ(da->GetRecordCount(), 0);
    EXPECT_FALSE(da->GetFirstRecord());
}

TEST_P(DataAccessIntegration, OracleCatalogueFindsTablesAndFieldsInAnyCase)
{
    std::string t = NewTable("probe", "id INTEGER, name VARCHAR(20)");
    backend->CreateOracleCatalogueView();
    Connect();
    da->SetDatabaseType(DatabaseType::OracleODBC);
    const std::string upper = QString::fromStdString(t).toUpper().toStdString();
    EXPECT_TRUE(da->TableExists(t.c_str()));
    EXPECT_TRUE(da->TableExists(upper.c_str()));
    EXPECT_FALSE(da->TableExists("no_such_table_anywhere"));
    EXPECT_TRUE(da->FieldExists(t.c_str(), "NAME"));
    EXPECT_TRUE(da->FieldExists(t.c_str(), "id"));
    EXPECT_FALSE(da->FieldExists(t.c_str(), "missing"));
    EXPECT_TRUE(log->Has(8, "Field Valid."));
    EXPECT_TRUE(log->Has(8, "Query RecordCount = 0"));
    EXPECT_TRUE(log->Has(9, "Table Exists query:SELECT DISTINCT table_name FROM all_tab_columns WHERE "
                            "UPPER(table_name) = UPPER('no_such_table_anywhere')"));

    // With the checks on, missing names become the messages of the query model.
    da->SetOptionWord(3);
    da->ClearQuery();
    EXPECT_EQ(da->AddTable("no_such_table_anywhere", "x"), nullptr);
    EXPECT_TRUE(log->Has(8, "Table does not exist : no_such_table_anywhere"));
    EXPECT_THROW(da->AddTable("no_such_table_anywhere", "x", true), XException);
    ODBCTable* table = da->AddTable(t.c_str(), "p");
    ASSERT_NE(table, nullptr);
    EXPECT_NE(da->AddField(table, "name", false), nullptr);
    EXPECT_EQ(da->AddField(table, "missing", false), nullptr);
    EXPECT_EQ(ThrownText([&] { da->AddField(table, "missing", true); }),
              "Required Field does not exist : missing in table " + t);
}

TEST_P(DataAccessIntegration, MssqlCatalogueOnAnotherDatabaseAnswersFalse)
{
    std::string t = NewTable("probe", "id INTEGER");
    Connect();
    da->SetDatabaseType(DatabaseType::MSSQL);
    EXPECT_FALSE(da->TableExists(t.c_str()));
    EXPECT_FALSE(da->FieldExists(t.c_str(), "id"));
    EXPECT_TRUE(log->AnyContains("COM Error Code = "));
    // Types without statements answer false as well.
    da->SetDatabaseType(DatabaseType::DB2);
    EXPECT_FALSE(da->TableExists(t.c_str()));
    EXPECT_TRUE(log->Has(8, "Unknown Error occured in DoTableExists"));
    EXPECT_FALSE(da->FieldExists(t.c_str(), "id"));
    EXPECT_TRUE(log->Has(8, "Unknown Error in DoFieldExists"));
}

// Probes run beside a streamed query (psqlODBC through a server cursor): a
// failing one must not end that query's transaction and with it the walk.
TEST_P(DataAccessIntegration, AProbeLeavesTheOpenQueryWhereItWas)
{
    std::string t = Rows(20);
    backend->CreateOracleCatalogueView();
    da->Connect(backend->UncountedConnectionString(*da));
    ODBCField* id = OpenIds(t);
    ASSERT_TRUE(da->GetFirstRecord());
    ASSERT_TRUE(da->GetNextRecord());
    ASSERT_TRUE(da->GetNextRecord());
    ASSERT_EQ(da->GetInt(id), 3);

    // The failing probe first: a successful statement in between would hide the fault.
    EXPECT_FALSE(da->TrialQuery("SELECT nope FROM nowhere_at_all"));
    int type = da->DatabaseType();
    da->SetDatabaseType(DatabaseType::MSSQL); // its catalogue fails on both
    EXPECT_FALSE(da->TableExists(t.c_str()));
    da->SetDatabaseType(DatabaseType::OracleODBC);
    EXPECT_TRUE(da->TableExists(t.c_str()));
    EXPECT_TRUE(da->FieldExists(t.c_str(), "name"));
    EXPECT_TRUE(da->TrialQuery(("SELECT id FROM " + t).c_str()));
    da->SetDatabaseType(type);

    EXPECT_EQ(da->GetInt(id), 3);
    EXPECT_EQ(RestOfIds(id),
              (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    // Without an open query the probes use the connection itself again.
    da->CloseQuery();
    EXPECT_FALSE(da->TrialQuery("SELECT nope FROM nowhere_at_all"));
    EXPECT_TRUE(da->TrialQuery(("SELECT id FROM " + t).c_str()));
}

// Rows are streamed: a driver error on a later row fails the table with the
// driver's report, in the walk and, where the server's count meets it too
// (a failing filter), in the count of the table's opening.
TEST_P(DataAccessIntegration, ARowFailingLaterRaisesTheDriversMessage)
{
    std::string t = Rows(20);
    std::string v = NewView("later", "SELECT id, " + FailingWhen("id >= 5") + " AS x FROM " + t);
    da->Connect(backend->UncountedConnectionString(*da));
    ASSERT_EQ(da->RunQuery(("SELECT id, x FROM " + v).c_str()), 0);
    ODBCField id(nullptr, "id", 0);
    std::vector<int> read;
    std::string message = ThrownText(
        [&]
        {
            for (bool more = da->GetFirstRecord(); more; more = da->GetNextRecord())
                read.push_back(da->GetInt(&id));
        });
    EXPECT_EQ(message.rfind("While executing query: Error number: ", 0), 0u) << message;
    EXPECT_NE(message.find(DriverFailureText()), std::string::npos) << message;
    EXPECT_EQ(read, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_FALSE(da->CurrentTableIncomplete());

    std::string filtered =
        NewView("filtered", "SELECT id FROM " + t + " WHERE " + FailingWhen("id >= 5") + " IS NOT NULL");
    da->StartTable("Later", "Later.sef");
    da->AddField(da->AddTable(filtered.c_str(), "v"), "id", true);
    // Counting the rows meets the failing row.
    message = ThrownText([&] { da->OpenTable(1); });
    EXPECT_EQ(message.rfind("Failed with error [While executing query: ", 0), 0u) << message;
    EXPECT_NE(message.find(DriverFailureText()), std::string::npos) << message;
}

// A result that cannot be kept is counted by walking, and MoveFirst runs the
// statement again; its failure is no empty table.
TEST_P(DataAccessIntegration, AFailingRerunOfMoveFirstRaises)
{
    std::string t = Rows(3);
    std::string flag = NewTable("flag", "f INTEGER");
    backend->Exec("INSERT INTO " + flag + " VALUES (1)");
    if (backend->Type() == DatabaseType::SQLite)
        backend->Exec("PRAGMA journal_mode=WAL"); // the test writes while the statement stays open
    da->Connect(backend->UncountedConnectionString(*da));
    SpoolFolder missing(false);
    ASSERT_EQ(da->RunQuery(("SELECT id, " + FailingWhen("(SELECT count(*) FROM " + flag + ") = 0") +
                            " AS x FROM " + t + " ORDER BY id")
                               .c_str()),
              0);
    EXPECT_EQ(da->GetRecordCount(), 3);
    backend->Exec("DELETE FROM " + flag);
    const std::string message = ThrownText([&] { da->GetFirstRecord(); });
    EXPECT_NE(message.find(DriverFailureText()), std::string::npos) << message;
    EXPECT_TRUE(log->AnyContains("GetFirstRecord Error: "));
}

// A connection closed and opened again with the same string reuses its
// log-in (the database type check opens one per table name it tries); one
// whose server process ended, and one with another string, log in anew.
TEST_P(DataAccessIntegration, AClosedLogInIsReusedUnlessItsServerProcessEnded)
{
    if (backend->Type() != DatabaseType::Postgres)
        GTEST_SKIP() << "a file database has no log-in to keep";
    Connect();
    const std::string first = BackendPid();
    da->Disconnect();
    Connect();
    EXPECT_EQ(BackendPid(), first);
    TerminateBackend(first);
    EXPECT_NE(da->RunQuery("SELECT 1 AS one"), 0);
    da->Disconnect();
    Connect();
    const std::string second = BackendPid();
    EXPECT_NE(second, first);
    da->Disconnect();
    da->Connect(backend->UncountedConnectionString(*da));
    EXPECT_NE(BackendPid(), second);
}

// A link lost while the rows are read skips the table: reconnected, marked
// incomplete. The rows are read when the table opens, a block at a time
// here; the fifth ends the server process.
TEST_P(DataAccessIntegration, ATerminatedBackendSkipsTheTableAndReconnects)
{
    if (backend->Type() != DatabaseType::Postgres)
        GTEST_SKIP() << "a file database has no server process to end";
    std::string t = Rows(20);
    std::string v = NewView(
        "ending",
        "SELECT id, CASE WHEN id >= 5 THEN pg_terminate_backend(pg_backend_pid()) END AS gone FROM " + t);
    da->Connect(backend->UncountedConnectionString(*da));
    const std::string first = BackendPid();
    da->StartTable("Rows", "Rows.sef");
    ODBCTable* table = da->AddTable(v.c_str(), "t");
    da->AddField(table, "id", true);
    da->AddField(table, "gone", true);
    EXPECT_FALSE(da->OpenTable(1));
    EXPECT_TRUE(da->CurrentTableIncomplete());
    EXPECT_TRUE(log->Has(7, "Open table Rows failed, skipping."));
    EXPECT_TRUE(log->AnyContains("[08S01]") || log->AnyContains("[57P01]"));
    EXPECT_FALSE(da->GetNextRecord());
    da->FinishTable();
    ASSERT_TRUE(da->IsConnected());
    const std::string second = BackendPid();
    EXPECT_NE(second, first);

    // The same lost link met by the opening: skipped and marked as well.
    da->StartTable("Next", "Next.sef");
    da->AddField(da->AddTable(t.c_str(), "t"), "id", true);
    TerminateBackend(second);
    EXPECT_FALSE(da->OpenTable(1));
    EXPECT_TRUE(log->Has(8, "Query 0 failed with error: 1629"));
    EXPECT_TRUE(log->Has(7, "Open table Next failed, skipping."));
    da->FinishTable();
    EXPECT_EQ(da->IncompleteTables(), (std::vector<XString>{"Rows", "Next"}));
    EXPECT_NE(BackendPid(), second);
}

TEST_P(DataAccessIntegration, StatementErrorCarriesTheDriverText)
{
    std::string t = Rows(3);
    Connect();
    std::string message = ThrownText([&] { da->RunQuery(("SELECT no_such_column FROM " + t).c_str()); });
    EXPECT_EQ(message.rfind("While executing query: Error number: ", 0), 0u) << message;
    EXPECT_NE(message.find("no_such_column"), std::string::npos) << message;
    EXPECT_NE(message.find("COM Error Code = "), std::string::npos) << message;
    EXPECT_TRUE(
        log->AnyContains("RunQuery: While executing: SELECT no_such_column FROM " + t + ", Error number: "));

    // The failed statement left a closed recordset: the report of the layer's own failure has no stale
    // provider lines.
    EXPECT_EQ(ThrownText([&] { da->GetFieldCount(); }),
              "COM Error Code = 800a0e78, Code Meaning = Unknown error 0x800A0E78\r\n"
              "Source = ADODB.Recordset, Description = Operation is not allowed when the object is closed.");

    // Through the writer's table opening the query text joins the report.
    da->StartTable("Broken", "Broken.sef");
    da->AddField(da->AddTable(t.c_str(), "t"), "no_such_column", false);
    message = ThrownText([&] { da->OpenTable(1); });
    EXPECT_EQ(message.rfind("Failed with error [While executing query: ", 0), 0u) << message;
    EXPECT_NE(message.find("] while parsing query: SELECT t.no_such_column FROM " + t + " t "),
              std::string::npos)
        << message;
}

TEST_P(DataAccessIntegration, OpenTableRunsAndCounts)
{
    std::string t = Rows(3);
    Connect();
    da->StartTable("Rows", "Rows.sef");
    ODBCTable* table = da->AddTable(t.c_str(), "t");
    ODBCField* name = da->AddField(table, "name", true);
    da->AddCondition("AND", da->AddOperandField(table, "id"), ">=", "2");
    EXPECT_TRUE(da->OpenTable(1));
    EXPECT_TRUE(log->Has(8, "Opened Rows table/query."));
    EXPECT_TRUE(log->Has(8, "GetRecordCount: Found Record Count of 2"));
    ASSERT_TRUE(da->GetFirstRecord());
    EXPECT_FALSE(da->GetTrimmedText(name).IsEmpty());
    da->FinishTable();
    EXPECT_EQ(da->Query().tables.Count(), 0);
    EXPECT_FALSE(da->GetFirstRecord());
}

TEST_P(DataAccessIntegration, LogSchemaListsTablesAndColumns)
{
    std::string t = Rows(3);
    Connect();
    EXPECT_TRUE(da->LogSchema());
    EXPECT_TRUE(log->Has(7, "Logging Schema..."));
    EXPECT_TRUE(log->AnyContains("table_name - "));
    EXPECT_TRUE(log->AnyContains("column_name - "));
    EXPECT_TRUE(std::any_of(log->lines.begin(), log->lines.end(),
                            [&](const DataAccessLogLine& l)
                            { return l.level == 9 && l.message.rfind(t + "::", 0) == 0; }))
        << "no schema line for " << t;
    EXPECT_EQ(da->GetFieldCount(), 0);

    // A type without a catalogue statement fails in its empty statement.
    da->SetDatabaseType(DatabaseType::Progress);
    EXPECT_THROW(da->LogSchema(), XException);
}

TEST_P(DataAccessIntegration, TableExistsConnectedLeavesTheConnectionAsFound)
{
    std::string t = NewTable("probe", "id INTEGER");
    backend->CreateOracleCatalogueView();
    XString cs = backend->ConnectionString(*da);
    da->SetDatabaseType(DatabaseType::OracleODBC);
    EXPECT_TRUE(da->TableExistsConnected(cs, t.c_str(), false));
    EXPECT_FALSE(da->IsConnected());
    EXPECT_FALSE(da->TableExistsConnected(cs, "no_such_table_anywhere", true));
    EXPECT_TRUE(da->IsConnected());
    EXPECT_TRUE(da->TableExistsConnected(XString("not used"), t.c_str(), false));
    EXPECT_TRUE(da->IsConnected());
    da->Disconnect();
    EXPECT_FALSE(da->IsConnected());
}

TEST_P(DataAccessIntegration, ReconnectUsesTheLastConnectionString)
{
    std::string t = Rows(3);
    Connect();
    da->Disconnect();
    EXPECT_FALSE(da->IsConnected());
    da->Reconnect();
    EXPECT_TRUE(da->IsConnected());
    OpenIds(t);
    EXPECT_EQ(da->GetRecordCount(), 3);
    // The open query's statement goes before the connection it belongs to.
    da->Reconnect();
    EXPECT_FALSE(da->GetFirstRecord());
    OpenIds(t);
    EXPECT_EQ(da->GetRecordCount(), 3);
}

TEST_P(DataAccessIntegration, WritesATableFileThroughTheFormatters)
{
    std::string t = NewTable("people", "id INTEGER, name VARCHAR(40), phone VARCHAR(40), born DATE");
    backend->Exec("INSERT INTO " + t + " VALUES (1, ' Ann' || " + backend->Char(9) +
                  " || 'Lee ', '(555) 555-1234 ext 12', '2009-01-15')");
    backend->Exec("INSERT INTO " + t + " VALUES (2, 'Bob' || " + backend->Char(13) + " || " +
                  backend->Char(10) + " || 'Roe', 'N/A', NULL)");
    Connect();
    const std::string folder = odbctest::OdbcTestFolder() + "/sde_" + backend->Table("people");
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(da->SetSDEFolder(folder.c_str()));
    da->StartTable("People", "People.sef");
    ODBCTable* p = da->AddTable(t.c_str(), "p");
    da->AddColumnField(p, "name", da->Fn(&DataAccessBase::CleanText), "Name", true);
    da->AddColumnField(p, "phone", da->Fn(&DataAccessBase::PhoneText), "Phone", true);
    da->AddColumnField(p, "born", da->Fn(&DataAccessBase::DateText), "Born", true);
    da->AddOrder(da->AddColumnField(p, "id", da->Fn(&DataAccessBase::IntText), "Id", true));
    EXPECT_EQ(da->WriteTable(), 2);
    da->FinishTable();

    std::ifstream in(folder + "/People.sef", std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "AnnLee\t555 555-1234 x12\t01/15/2009\t1\r\nBob  Roe\t\t\t2\r\n");
    std::filesystem::remove_all(folder);
}

TEST_P(DataAccessIntegration, ExtractionConnectsAndEndsDisconnected)
{
    const std::string folder = odbctest::OdbcTestFolder() + "/sde_" + backend->Table("extract");
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(da->SetSDEFolder(folder.c_str()));
    std::vector<std::string> progress;
    QObject::connect(da.get(), &AppTaskBase::writeProgress,
                     [&progress](QString type, int) { progress.push_back(type.toStdString()); });
    da->BeginExtraction(backend->ConnectionString(*da), false);
    EXPECT_TRUE(da->IsConnected());
    EXPECT_TRUE(log->Has(8, "Connected to data source."));
    da->EndExport();
    EXPECT_FALSE(da->IsConnected());
    EXPECT_TRUE(log->Has(8, "Disconnecting"));
    EXPECT_TRUE(log->Has(5, "Export complete."));
    EXPECT_EQ(progress, (std::vector<std::string>{"end_progress", "bridge_complete"}));
    EXPECT_TRUE(std::filesystem::exists(folder + "/SchoolConfig.xml"));

    // Kept connected, the end leaves the connection open.
    da->BeginExtraction(backend->ConnectionString(*da), true);
    da->EndExtraction();
    EXPECT_TRUE(da->IsConnected());
    da.reset();
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Backends, DataAccessIntegration, TSIS_BACKENDS);

// ---- Failed connections ----

TEST(DataAccessConnection, PasswordAndConnectionStringStayOutOfLogsAndMessages)
{
    const char* secret = "Pw-Secret-5519";
    std::vector<std::string> seen;
    for (int type : {DatabaseType::Postgres, DatabaseType::MSSQL, DatabaseType::OracleOLE})
    {
        ODBCDataAccess da(0, type);
        DataAccessTestLog log(da);
        XString cs = da.BuildConnectionString("TsisPostgres", "no_such_role_here", secret);
        seen.push_back(ThrownText([&] { da.Connect(cs); }));
        EXPECT_NE(seen.back(), "(nothing thrown)") << "type " << type << " must not connect";
        for (const DataAccessLogLine& l : log.lines)
            seen.push_back(l.message);
    }
    for (const std::string& s : seen)
        for (const char* hidden : {secret, "PWD=", "Password=", "DSN=TsisPostgres"})
            EXPECT_EQ(s.find(hidden), std::string::npos) << s;
}

// An empty user or password must not replace the login the data source
// stores (psqlODBC would log in as the operating system's user).
TEST(DataAccessConnection, EmptyUserAndPasswordLogInAsTheDataSourceDefines)
{
    const odbctest::PostgresParams pg = odbctest::PostgresFromEnvironment();
    OdbcConnection probe;
    TSIS_OPEN_POSTGRES_OR_SKIP(probe, "DSN=TsisPostgres");
    for (int type : {DatabaseType::OracleODBC, DatabaseType::Postgres, DatabaseType::SybaseODBC})
    {
        ODBCDataAccess da(0, type);
        da.Connect(da.BuildConnectionString("TsisPostgres", "", ""));
        da.SetDatabaseType(DatabaseType::Postgres);
        EXPECT_EQ(FirstValue(da, "SELECT current_user::text AS v"), pg.user) << type;
    }
}

TEST(DataAccessConnection, MissingDataSourceIsReportedAsSuch)
{
    ODBCDataAccess da(0, DatabaseType::Postgres);
    DataAccessTestLog log(da);
    try
    {
        da.Connect(da.BuildConnectionString("NoSuchDataSource", nullptr, nullptr));
        FAIL();
    }
    catch (const XException& e)
    {
        EXPECT_NE(std::string(e.what()).find("COM Error Code = "), std::string::npos);
        XString message;
        EXPECT_EQ(da.HandleException_ValidateConnection(e, message), 2);
        EXPECT_STREQ(message.Text(), "Connection Failed: Data Source does not exist.");
    }
    EXPECT_FALSE(da.IsConnected());
    EXPECT_TRUE(log.Has(8, "Open in Read Only Access Mode."));
    EXPECT_FALSE(log.Has(8, "Connected to data source."));
    XException other("Login failed\nsecond line");
    XString message;
    EXPECT_EQ(da.HandleException_ValidateConnection(other, message), 1);
    EXPECT_STREQ(message.Text(), "Login failed");
}

TEST(DataAccessConnection, XBaseNeverConnects)
{
    ODBCDataAccess da(0, DatabaseType::DBaseXBase);
    DataAccessTestLog log(da);
    da.Connect("/data/");
    EXPECT_FALSE(da.IsConnected());
    EXPECT_TRUE(log.Has(7, "Connect - Could not connect need to define USE_XBASE"));
    EXPECT_EQ(da.RunQuery("/data/ST010.dbf"), 0);
    EXPECT_EQ(da.GetRecordCount(), 0);
    EXPECT_FALSE(da.GetFirstRecord());
    EXPECT_FALSE(da.TableExists("ST010"));
    EXPECT_TRUE(log.Has(8, "Need to define USE_XBASE!!"));
    EXPECT_FALSE(da.FieldExists("ST010", "ID"));
}
