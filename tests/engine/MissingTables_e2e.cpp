// Full exports from copies of the SQLite demo district whose optional tables
// are missing or broken: each routine logs its message and writes no file
// (or an empty one), the others go on. And the family exports of the demo
// variant whose CE810 has LIVE_WTH and no PRIM_FAM.
#include "DemoHarness.h"

using namespace e2e;

namespace
{

const char* const kFamilyFiles[] = {"StudentPhysAddr.sef", "StudentParent.sef", "StudentCon.sef",
                                    "CustodyNotes.sef",    "LegalNotes.sef",    "StudentCustom.sef",
                                    "StudentTransport.sef"};

class MissingTables : public DemoSuite<MissingTables, ::testing::TestWithParam<const char*>>
{
public:
    static DemoPlan Demo() { return {{"tsis", "schmax"}, false, "missing"}; }
};

TEST_P(MissingTables, EachRoutineLogsItsMessageAndTheOthersGoOn)
{
    const QList<QStringList> lines = GoldenFields("missing_tables.txt", GetParam());
    const QStringList damage{"flavour", "drop", "drop-views", "sql", "fails", "level"};
    std::string flavour = "tsis", sql;
    int level = -1;
    for (const QStringList& l : lines)
    {
        if (l[0] == "flavour")
            flavour = l[1].toStdString();
        else if (l[0] == "sql")
            sql += l[1].toStdString();
        else if (l[0] == "level")
            level = l[1].toInt();
        else if (l[0].startsWith("drop"))
            for (const QString& t : l.mid(1))
                if (!t.isEmpty())
                    sql +=
                        ("DROP VIEW DBTSIS_" + t + "_V;" + (l[0] == "drop" ? " DROP TABLE " + t + ";" : ""))
                            .toStdString();
    }
    const std::string dsn = std::string("TSISDemoNo") + GetParam();
    ASSERT_TRUE(demo_->AlteredCopy(flavour, dsn, sql));
    RecordedEngine engine;
    ParamMap params = RunParams(FreshFolder(dsn), QString::fromStdString(dsn));
    QString error;
    EXPECT_EQ(engine->BeginExecute(params, 1, error), !lines.contains(QStringList{"fails"})) << engine.Dump();
    const QString folder = params["path"] + "/";
    QStringList absent;
    for (const QStringList& l : lines)
    {
        SCOPED_TRACE(l.join(" | ").toStdString());
        const QString& key = l[0];
        const QString name = l.value(1), text = l.value(2);
        const QByteArray file = ReadFile(folder + name);
        const std::vector<XString>& incomplete = engine->IncompleteTables();
        if (key == "logged")
            EXPECT_TRUE(engine.Logged(name, level));
        else if (key == "logged-part")
            EXPECT_TRUE(engine.LoggedContaining(name)) << engine.Dump();
        else if (key == "absent")
        {
            absent << name;
            EXPECT_FALSE(QFile::exists(folder + name));
        }
        else if (key == "empty")
            EXPECT_EQ(file, QByteArray());
        else if (key == "holds" || key == "lacks")
            EXPECT_EQ(file.contains(text.toLatin1()), key == "holds");
        else if (key == "same")
            EXPECT_EQ(file, ExpectedFile(text));
        else if (key == "sorted")
            EXPECT_EQ(SortedLines(file), SortedLines(ExpectedFile(text)));
        else if (key == "incomplete" && name == "-")
            EXPECT_TRUE(incomplete.empty());
        else if (key == "incomplete")
            EXPECT_NE(std::find(incomplete.begin(), incomplete.end(), XString(name)), incomplete.end())
                << engine.Dump();
        else if (!damage.contains(key))
            ADD_FAILURE() << "not a line of missing_tables.txt";
    }
    // The others are still written.
    for (const QString name : {"Students.sef", "StuImmunizations.sef", "Calendar.sef"})
        EXPECT_TRUE(absent.contains(name) || QFile::exists(folder + name)) << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Demo, MissingTables,
                         ::testing::Values("Conduct", "Scheduling", "HE094", "HE015", "HE020", "HE011",
                                           "HE012", "Families", "Custody"),
                         ParamName);

// The demo variant whose CE810 has LIVE_WTH and no PRIM_FAM: the files where
// they differ, the blocks and the custom fields of the family tables.
class LiveWthFamilies : public DemoSuite<LiveWthFamilies, ::testing::TestWithParam<const char*>>
{
public:
    // Under the same name as the other suites' district: unixODBC keeps the
    // data sources it read first for the whole process.
    static DemoPlan Demo() { return {{"tsis"}, true, "demo", "--live-wth"}; }

protected:
    QString Dsn() const override { return GetParam(); }
};

// The block of one table in the control file: title, header, include, "*".
QByteArray ControlBlock(const QByteArray& control, const QByteArray& title)
{
    const int start = control.indexOf("// " + title + "\r\n");
    if (start < 0)
        return "<no block " + title + ">";
    const int end = control.indexOf("\r\n\r\n", start);
    return control.mid(start, end + 4 - start);
}

TEST_P(LiveWthFamilies, WritesTheFilesOfTheVariant)
{
    RecordedEngine engine;
    const QString folder = Export(engine, std::string("livewth-") + GetParam(), Dsn());
    auto expected = [](const QString& name)
    {
        const QString variant = "families/livewth/" + name;
        return QFile::exists(QString(TSIS_SOURCE_DIR) + "/tests/engine/expected/" + variant)
                   ? ExpectedFile(variant)
                   : ExpectedFile("families/" + name);
    };
    for (const char* name : kFamilyFiles)
    {
        SCOPED_TRACE(name);
        const QByteArray actual = ReadFile(folder + "/" + name);
        const QByteArray file(name);
        ExpectSame(actual, expected(name),
                   file == "LegalNotes.sef" ? "Fixed"
                                            : (file == "CustodyNotes.sef" ? "KeyInOrder" : "Server"),
                   false);
        EXPECT_FALSE(actual.contains("900001"));
    }
    EXPECT_EQ(ReadFile(folder + "/StudentCustom.txt"), expected("StudentCustom.txt"));

    const QByteArray control = ReadFile(folder + "/TSIS SchoolMAX.SDE");
    QByteArray blocks;
    for (const char* title :
         {"Student Legal Notes", "Student Custody Protection", "Student Transport", "Student Address",
          "Student Parent/Guardian", "Student Contacts", "Student User-Defined Fields"})
        blocks += ControlBlock(control, title);
    EXPECT_EQ(blocks, expected("ControlBlocks.txt"));
    // Custom fields of the writer's own list, in the order registered.
    int at = control.indexOf("// Custom Fields");
    for (const QByteArray& line : expected("CustomFieldLines.txt").split('\n'))
    {
        if (line.isEmpty())
            continue;
        const int found = control.indexOf(line + "\n", at);
        EXPECT_GT(found, at) << line.toStdString();
        at = std::max(at, found);
    }
    // A column left out for a missing field registers no custom field.
    EXPECT_FALSE(control.contains("\"PrimaryFamily\""));
    // Without PRIM_FAM the address query loses its order, and says so.
    EXPECT_TRUE(engine.Logged("Field NULL in ODBC::AddOrder.", 4)) << engine.Dump();
    for (const LogLine& line : engine.Log())
        EXPECT_GE(line.level, 4) << line.message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Demo, LiveWthFamilies, ::testing::Values("TSISDemo", "TSISDemoPG"), ParamName);

} // namespace
