// The conduct exports over the demo district: both flavours (R-ID-NBR in
// TSIS, ID_NBR in SchoolMAX) in SQLite and PostgreSQL against expected files
// computed from the demo rows by hand, the staff they collect, and their
// optional tables missing.
#include <algorithm>

#include "EngineDemoHarness.h"

using namespace enginee2e;

namespace
{

const char* const kFiles[] = {"StateIncident.sef", "ConductInType.sef", "ConductOutType.sef",
                              "ConductIncident.sef", "ConductOutcome.sef"};

QByteArray Expected(const QString& name)
{
    return ExpectedFile("conduct/" + name);
}

// Lines in a fixed order: the tables have no order, or only by incident, so
// the database may return rows of one incident in any order.
QByteArray SortedLines(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    std::sort(lines.begin(), lines.end());
    return lines.join('\n');
}

// The first values of the lines, as the order by incident gives them.
bool KeysAscend(const QByteArray& text)
{
    long previous = 0;
    for (const QByteArray& line : text.split('\n'))
    {
        if (line.isEmpty())
            continue;
        const long key = line.left(line.indexOf('\t')).toLong();
        if (key < previous)
            return false;
        previous = key;
    }
    return true;
}

// The block "// title" ... "*" of the control file, with its empty line.
QByteArray ControlBlock(const QByteArray& control, const QByteArray& title)
{
    const int start = control.indexOf("// " + title + "\r\n");
    if (start < 0)
        return "<no block " + title + ">";
    const int end = control.indexOf("*\r\n\r\n", start);
    return control.mid(start, end - start + 5);
}

QByteArray CustomConductLines(const QByteArray& control)
{
    QByteArray out;
    for (const QByteArray& line : control.split('\n'))
        if (line.startsWith("#customcnd"))
            out += line + '\n';
    return out;
}

struct Source
{
    const char* dsn;
    const char* flavour;
    bool postgres;
};

class ConductExtraction : public ::testing::TestWithParam<Source>
{
protected:
    static void SetUpTestSuite()
    {
        withPostgres_ = PostgresAvailable(why_);
        demo_ = new DemoDistrict({"tsis", "schmax"}, withPostgres_);
    }
    static void TearDownTestSuite()
    {
        delete demo_;
        demo_ = nullptr;
        RemoveProcessFolders();
    }
    void SetUp() override
    {
        RequirePostgres(GetParam().postgres, withPostgres_, why_);
        ASSERT_TRUE(demo_->Ok()) << demo_->Error();
    }

    bool Run(RecordedEngine& engine, const QString& folder)
    {
        ParamMap params = RunParams(folder, GetParam().dsn);
        if (GetParam().postgres)
        {
            const char* user = std::getenv("TSIS_PG_USER");
            params["user"] = user ? QString(user) : QString("tsis");
            params["pwd"] = "unused";
        }
        QString error;
        return engine->BeginExecute(params, 1, error);
    }

    static DemoDistrict* demo_;
    static bool withPostgres_;
    static std::string why_;
    FixedToday today_;
};

DemoDistrict* ConductExtraction::demo_ = nullptr;
bool ConductExtraction::withPostgres_ = false;
std::string ConductExtraction::why_;

TEST_P(ConductExtraction, WritesTheExpectedFilesBlocksAndCustomFields)
{
    const QString folder = FreshFolder(std::string("conduct-") + GetParam().dsn);
    RecordedEngine engine;
    ASSERT_TRUE(Run(engine, folder)) << engine.Dump();

    const QString flavour = GetParam().flavour;
    for (const char* file : kFiles)
    {
        const QByteArray written = ReadFile(folder + "/" + file);
        EXPECT_EQ(SortedLines(written), SortedLines(Expected(flavour + "/" + file))) << file;
        EXPECT_TRUE(KeysAscend(written)) << file;
    }
    const QByteArray control = ReadFile(folder + "/TSIS SchoolMAX.SDE");
    QByteArray blocks;
    for (const char* title :
         {"Conduct Incidents", "State Incidents", "Incident Types", "Conduct Outcomes", "Outcome Types"})
        blocks += ControlBlock(control, title);
    EXPECT_EQ(blocks, Expected("ControlBlocks.txt"));
    EXPECT_EQ(CustomConductLines(control), Expected("CustomFields.txt"));
}

TEST_P(ConductExtraction, QuotesTheReferrerAndCollectsConductStaff)
{
    const QString folder = FreshFolder(std::string("conduct-log-") + GetParam().dsn);
    RecordedEngine engine;
    ASSERT_TRUE(Run(engine, folder)) << engine.Dump();

    // The referrer column the flavour has is selected; the other is left out.
    const bool tsis = QString(GetParam().flavour) == "tsis";
    const QString referrer = tsis ? "incident.\"R-ID-NBR\"" : "incident.ID_NBR";
    bool selected = false;
    for (const LogLine& line : engine.Log())
        selected |= line.message.startsWith("BuildQuery Finished:SELECT DISTINCT incident.EV_SEQ_NBR") &&
                    line.message.contains(", " + referrer + ", ");
    EXPECT_TRUE(selected) << engine.Dump();
    EXPECT_TRUE(engine.Logged(QString("Field does not exist : ") + (tsis ? "ID_NBR" : "R-ID-NBR") +
                              " in table EV010"));

    // Staff known only from incidents and outcomes; number 0 only as referee.
    for (const char* added :
         {"GetStaffPerp: added10003", "GetStaffVictim: added10004", "GetStaffWitness: added10004",
          "GetStaffTarget: added10003", "GetStaffTarget: added10004", "GetStaffReferee: added10001",
          "GetStaffReferee: added10002", "GetStaffReferee: added0"})
        EXPECT_TRUE(engine.Logged(added)) << added;
    EXPECT_FALSE(engine.Logged("GetStaffWitness: added0"));
    for (const char* staff : {"10001", "10002", "10003", "10004"})
        EXPECT_TRUE(engine->StaffList().Contains(staff)) << staff;
}

INSTANTIATE_TEST_SUITE_P(
    Demo, ConductExtraction,
    ::testing::Values(Source{"TSISDemo", "tsis", false}, Source{"TSISDemoSchmax", "schmax", false},
                      Source{"TSISDemoPG", "tsis", true}, Source{"TSISDemoSchmaxPG", "schmax", true}),
    [](const ::testing::TestParamInfo<Source>& info) { return std::string(info.param.dsn); });

// Every conduct table dropped from the per-process SQLite demo: each routine
// logs its message, writes no file, and the run still succeeds.
TEST(ConductMissingTables, EachLogsItsMessageAndTheRunSucceeds)
{
    DemoDistrict demo({"tsis"}, false);
    ASSERT_TRUE(demo.Ok()) << demo.Error();
    std::string drop;
    for (const char* table : {"EV010", "EV020", "EV030", "EV055", "EV060", "EV065"})
        drop += std::string("DROP VIEW DBTSIS_") + table + "_V; DROP TABLE " + table + "; ";
    ASSERT_EQ(RunCommand("sqlite3 '" + demo.Folder() + "/tsisdemo-tsis.db' \"" + drop + "\"").status, 0);

    FixedToday today;
    const QString folder = FreshFolder("conduct-missing");
    RecordedEngine engine;
    ParamMap params = RunParams(folder, "TSISDemo");
    QString error;
    ASSERT_TRUE(engine->BeginExecute(params, 1, error)) << error.toStdString() << engine.Dump();
    for (const char* message : {"Create Conduct Incidents: Table EV010 or EV020 does not exist.",
                                "Create State Incidents: Table EV055 does not exist.",
                                "Create Incident Types: Table EV060 does not exist.",
                                "Create Conduct Outcomes: Table EV030 or EV020 does not exist.",
                                "Create Outcome Types: Table SC065 does not exist."})
        EXPECT_TRUE(engine.Logged(message)) << message;
    for (const char* file : kFiles)
        EXPECT_FALSE(QFile::exists(folder + "/" + file)) << file;
    const QByteArray control = ReadFile(folder + "/TSIS SchoolMAX.SDE");
    EXPECT_FALSE(control.contains("Cnd")) << control.toStdString();
    EXPECT_TRUE(ReadFile(folder + "/Students.sef").size() > 0);
    RemoveProcessFolders();
}

} // namespace
