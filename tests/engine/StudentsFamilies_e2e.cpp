// The student and family exports (address, parents and guardians, contacts,
// custody and legal notes, user-defined fields, bus transport) from the demo
// district over SQLite and PostgreSQL, from its variant whose CE810 has
// LIVE_WTH and no PRIM_FAM, and from a database whose optional tables are
// missing or broken.
#include <algorithm>

#include "EngineDemoHarness.h"

using namespace enginee2e;

namespace
{

const char* const kFamilyFiles[] = {"StudentPhysAddr.sef", "StudentParent.sef", "StudentCon.sef",
                                    "CustodyNotes.sef",    "LegalNotes.sef",    "StudentCustom.sef",
                                    "StudentTransport.sef"};

// Expected files of the standard database, or of the LIVE_WTH variant where it differs.
QByteArray Expected(const QString& name, bool liveWth = false)
{
    const QString base = QString(TSIS_SOURCE_DIR) + "/tests/engine/expected/families/";
    if (liveWth && QFile::exists(base + "livewth/" + name))
        return ReadFile(base + "livewth/" + name);
    return ReadFile(base + name);
}

QList<QByteArray> SortedLines(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The block of one table in the control file: title, header, include, "*".
QByteArray ControlBlock(const QByteArray& control, const QByteArray& title)
{
    const int start = control.indexOf("// " + title + "\r\n");
    if (start < 0)
        return "<no block " + title + ">";
    const int end = control.indexOf("\r\n\r\n", start);
    return control.mid(start, end + 4 - start);
}

// Custody keys continue the legal notes' keys in the order the lines are
// written, which a query without ORDER BY leaves to the server: the keys are
// checked in file order, the rest of each line as a set.
void ExpectCustodyNotes(const QByteArray& actual, const QByteArray& expected)
{
    auto split = [](const QByteArray& file, QList<QByteArray>& keys)
    {
        QList<QByteArray> rest;
        for (const QByteArray& line : file.split('\n'))
        {
            QList<QByteArray> values = line.split('\t');
            if (values.size() > 1)
                keys.push_back(values.takeAt(1));
            rest.push_back(values.join('\t'));
        }
        std::sort(rest.begin(), rest.end());
        return rest;
    };
    QList<QByteArray> actualKeys, expectedKeys;
    EXPECT_EQ(split(actual, actualKeys), split(expected, expectedKeys));
    EXPECT_EQ(actualKeys, expectedKeys);
}

// Every family file, its control-file block, the custom fields it registers
// and StudentCustom.txt, against the expected files.
void ExpectFamilyFiles(const QString& folder, bool liveWth)
{
    for (const char* name : kFamilyFiles)
    {
        SCOPED_TRACE(name);
        const QByteArray actual = ReadFile(folder + "/" + name);
        if (QByteArray(name) == "LegalNotes.sef") // ordered by student
            EXPECT_EQ(actual, Expected(name, liveWth));
        else if (QByteArray(name) == "CustodyNotes.sef")
            ExpectCustodyNotes(actual, Expected(name, liveWth));
        else
            EXPECT_EQ(SortedLines(actual), SortedLines(Expected(name, liveWth)));
    }

    const QByteArray control = ReadFile(folder + "/TSIS SchoolMAX.SDE");
    QByteArray blocks;
    for (const char* title :
         {"Student Legal Notes", "Student Custody Protection", "Student Transport", "Student Address",
          "Student Parent/Guardian", "Student Contacts", "Student User-Defined Fields"})
        blocks += ControlBlock(control, title);
    EXPECT_EQ(blocks, Expected("ControlBlocks.txt", liveWth));
    // Custom fields of the writer's own list, in the order registered.
    int at = control.indexOf("// Custom Fields");
    for (const QByteArray& line : Expected("CustomFieldLines.txt", liveWth).split('\n'))
    {
        if (line.isEmpty())
            continue;
        const int found = control.indexOf(line + "\n", at);
        EXPECT_GT(found, at) << line.toStdString();
        at = std::max(at, found);
    }
    // A column left out for a missing field registers no custom field.
    EXPECT_EQ(control.contains("\"PrimaryFamily\""), !liveWth);
    EXPECT_EQ(ReadFile(folder + "/StudentCustom.txt"), Expected("StudentCustom.txt", liveWth));
}

// psqlODBC takes an empty user of the connection string as the login role.
void UsePostgresRole(ParamMap& params)
{
    const char* user = std::getenv("TSIS_PG_USER");
    params["user"] = user ? QString(user) : QString("tsis");
    params["pwd"] = "unused";
}

// One demo database per suite: the standard one or the LIVE_WTH variant,
// with PostgreSQL when a server is there (required under CI).
class FamilyExports : public ::testing::Test
{
protected:
    static void BuildDemo(bool liveWth)
    {
        postgres_ = PostgresAvailable(why_);
        // Under the same name as the other suites' district: unixODBC keeps the
        // data sources it read first for the whole process.
        demo_ = new DemoDistrict({"tsis"}, postgres_, "demo", liveWth ? "--live-wth" : "");
    }
    static void TearDownTestSuite()
    {
        delete demo_;
        demo_ = nullptr;
        RemoveProcessFolders();
    }
    void SetUp() override { ASSERT_TRUE(demo_->Ok()) << demo_->Error(); }

    // A full export of school 101, checked against the expected files.
    void ExportAndCheck(bool postgres, bool liveWth)
    {
        RequirePostgres(postgres, postgres_, why_);
        if (IsSkipped() || HasFatalFailure())
            return;
        const QString folder =
            FreshFolder(std::string(postgres ? "pg" : "sqlite") + (liveWth ? "-livewth" : "-std"));
        ParamMap params = RunParams(folder, postgres ? "TSISDemoPG" : "TSISDemo");
        if (postgres)
            UsePostgresRole(params);
        RecordedEngine engine;
        QString error;
        ASSERT_TRUE(engine->BeginExecute(params, 1, error)) << engine.Dump();
        ExpectFamilyFiles(folder, liveWth);

        // The student without names is in none of the files.
        for (const char* name : kFamilyFiles)
            EXPECT_FALSE(ReadFile(folder + "/" + name).contains("900001")) << name;
        // Without PRIM_FAM the address query loses its order, and says so.
        bool warned = false;
        for (const LogLine& line : engine.Log())
        {
            warned |= line.level == 4 && line.message == "Field NULL in ODBC::AddOrder.";
            EXPECT_GE(line.level, 4) << line.message.toStdString();
        }
        EXPECT_EQ(warned, liveWth) << engine.Dump();
    }

    static DemoDistrict* demo_;
    static bool postgres_;
    static std::string why_;
    FixedToday today_;
};

DemoDistrict* FamilyExports::demo_ = nullptr;
bool FamilyExports::postgres_ = false;
std::string FamilyExports::why_;

class StandardFamilies : public FamilyExports
{
protected:
    static void SetUpTestSuite() { BuildDemo(false); }
};

class LiveWthFamilies : public FamilyExports
{
protected:
    static void SetUpTestSuite() { BuildDemo(true); }
};

TEST_F(StandardFamilies, Sqlite)
{
    ExportAndCheck(false, false);
}

TEST_F(StandardFamilies, Postgres)
{
    ExportAndCheck(true, false);
}

TEST_F(LiveWthFamilies, Sqlite)
{
    ExportAndCheck(false, true);
}

TEST_F(LiveWthFamilies, Postgres)
{
    ExportAndCheck(true, true);
}

// The SQLite demo database, changed by the test.
class DamagedFamilyTables : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { demo_ = new DemoDistrict({"tsis"}, false); }
    static void TearDownTestSuite()
    {
        delete demo_;
        demo_ = nullptr;
        RemoveProcessFolders();
    }
    void SetUp() override { ASSERT_TRUE(demo_->Ok()) << demo_->Error(); }

    static void Sql(const std::string& statements)
    {
        const std::string db = demo_->Folder() + "/tsisdemo-tsis.db";
        ASSERT_EQ(RunCommand("sqlite3 -bail '" + db + "' \"" + statements + "\" 2>&1").status, 0)
            << statements;
    }

    static DemoDistrict* demo_;
    FixedToday today_;
};

DemoDistrict* DamagedFamilyTables::demo_ = nullptr;

TEST_F(DamagedFamilyTables, CustodyFailureAndMissingTables)
{
    // An exclusion table that fails when read: the run goes on and the
    // custody table is marked as not exported completely.
    Sql("ALTER TABLE ST013 RENAME TO ST013_DATA;"
        "CREATE VIEW ST013 AS SELECT DST_NBR, ID_NBR, json('not json') AS DST_XCLTY FROM ST013_DATA;");
    {
        const QString folder = FreshFolder("custody-fails");
        RecordedEngine engine;
        ParamMap params = RunParams(folder, "TSISDemo");
        QString error;
        EXPECT_FALSE(engine->BeginExecute(params, 1, error));
        const std::vector<XString>& incomplete = engine->IncompleteTables();
        EXPECT_NE(std::find(incomplete.begin(), incomplete.end(), XString("Student Custody Protection")),
                  incomplete.end())
            << engine.Dump();
        EXPECT_FALSE(ReadFile(folder + "/CustodyNotes.sef").contains("ALERT"));
        EXPECT_EQ(ReadFile(folder + "/LegalNotes.sef"), Expected("LegalNotes.sef"));
        EXPECT_EQ(SortedLines(ReadFile(folder + "/StudentCon.sef")), SortedLines(Expected("StudentCon.sef")));
        EXPECT_TRUE(engine.LoggedContaining("malformed JSON")) << engine.Dump();
    }

    // Optional tables that do not exist: each routine logs its message and
    // writes nothing, and the run succeeds.
    Sql("DROP VIEW DBTSIS_CE810_V; DROP VIEW DBTSIS_ST015_V; DROP VIEW DBTSIS_ST013_V; DROP VIEW "
        "DBTSIS_TR015_V;");
    const QString folder = FreshFolder("missing");
    RecordedEngine engine;
    ParamMap params = RunParams(folder, "TSISDemo");
    QString error;
    ASSERT_TRUE(engine->BeginExecute(params, 1, error)) << engine.Dump();
    for (const char* message :
         {"Create Student Legal Notes: Table CE810 or CE 010 does not exist.",
          "Create StudentCustody Protection: Table ST013 or ST014 does not exist.",
          "Student Transport: Table TR015 does not exist, skipping.",
          "Create Student Address: Table CE810 or CE 010 does not exist.",
          "Create Student Parent Guardian: Table CE810 or CE015 or CE010 does not exist.",
          "Create Student Contacts: Table ST015 does not exist."})
    {
        bool logged = false;
        for (const LogLine& line : engine.Log())
            logged |= line.level == 7 && line.message == message && line.method.isEmpty();
        EXPECT_TRUE(logged) << message;
    }
    for (const char* name : kFamilyFiles)
        EXPECT_EQ(QFile::exists(folder + "/" + name), QByteArray(name) == "StudentCustom.sef") << name;
    EXPECT_EQ(SortedLines(ReadFile(folder + "/StudentCustom.sef")),
              SortedLines(Expected("StudentCustom.sef")));
    EXPECT_TRUE(engine->IncompleteTables().empty());
}

} // namespace
