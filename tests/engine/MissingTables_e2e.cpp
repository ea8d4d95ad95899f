// Full exports from copies of the SQLite demo district whose optional tables
// are missing or broken: each routine logs its message and writes no file
// (or an empty one), the others go on. And the family exports of the demo
// variant whose CE810 has LIVE_WTH and no PRIM_FAM.
#include <functional>

#include "DemoHarness.h"

using namespace e2e;

namespace
{

std::string DropTables(std::initializer_list<const char*> tables, bool views = true)
{
    std::string sql;
    for (const char* t : tables)
        sql += std::string("DROP VIEW DBTSIS_") + t + "_V;" +
               (views ? std::string(" DROP TABLE ") + t + ";" : "");
    return sql;
}

const char* const kFamilyFiles[] = {"StudentPhysAddr.sef", "StudentParent.sef", "StudentCon.sef",
                                    "CustodyNotes.sef",    "LegalNotes.sef",    "StudentCustom.sef",
                                    "StudentTransport.sef"};

struct Damage
{
    const char* name;
    const char* flavour;
    std::string sql;
    std::vector<const char*> messages;
    int level;                       // of the messages (7, without a method), or any (-1)
    std::vector<const char*> absent; // data files not written
    std::vector<const char*> empty;  // data files written without lines
    bool ok = true;                  // the run succeeds
    std::function<void(const QString& folder, RecordedEngine& engine)> more;
};

const std::vector<Damage>& Damages()
{
    static const std::vector<Damage> damages = {
        {"Conduct",
         "tsis",
         DropTables({"EV010", "EV020", "EV030", "EV055", "EV060", "EV065"}),
         {"Create Conduct Incidents: Table EV010 or EV020 does not exist.",
          "Create State Incidents: Table EV055 does not exist.",
          "Create Incident Types: Table EV060 does not exist.",
          "Create Conduct Outcomes: Table EV030 or EV020 does not exist.",
          "Create Outcome Types: Table SC065 does not exist."},
         -1,
         {"StateIncident.sef", "ConductInType.sef", "ConductOutType.sef", "ConductIncident.sef",
          "ConductOutcome.sef"},
         {},
         true,
         [](const QString& folder, RecordedEngine&)
         { EXPECT_FALSE(ReadFile(folder + "/TSIS SchoolMAX.SDE").contains("Cnd")); }},
        {"Scheduling",
         "tsis",
         DropTables({"SC065", "SC082", "SC060", "SC040", "CA020", "GR025", "SC031", "SC070", "SC055"}),
         {"Student Schedule: SC055 table not found, skipping.", "Create Days: Table SC065 does not exist.",
          "Create Terms: Table SC082 or SC060 do not exist.",
          "Create Term Dates: Table SC082 or SC060 or SC040 or SC020 do not exist.",
          "Create Bins: Table GR025 do not exist.", "Create Courses: Table SC031 does not exist.",
          "Create Sections: Table SC060 does not exist.", "Create Courses: Table SC070 does not exist.",
          "Create Courses: Table SC065 does not exist."},
         -1,
         {"StudentSched.sef", "Days.sef", "Terms.sef", "TermDates.sef", "Courses.sef", "Sections.sef",
          "SectionStaff.sef", "SectionRooms.sef"},
         // Grading Periods opens its file before it looks for GR025.
         {"Bins.sef"},
         true,
         [](const QString& folder, RecordedEngine&)
         {
             const QByteArray control = ReadFile(folder + "/TSIS SchoolMAX.SDE");
             EXPECT_TRUE(control.contains("// Grading Periods\r\nBinKey\tBinStartDate\tBinEndDate\r\n"
                                          "#include \"Bins.sef\"\r\n*\r\n\r\n"));
             EXPECT_FALSE(control.contains("// Days\r\n"));
         }},
        // clang-format off
        {"HE094", "tsis", DropTables({"HE094"}), {"Create Health Concern Types: Table HE094 does not exist."}, 7,
         {"HealthConcernTypes.sef"}, {}, true, nullptr},
        {"HE015", "tsis", DropTables({"HE015"}), {"Create Student Health Concerns: Table HE015 does not exist."}, 7,
         {"StuHealthConcern.sef"}, {}, true, nullptr},
        {"HE020", "tsis", DropTables({"HE020"}), {"Create Student Immunizations: Table HE020 does not exist."}, 7,
         {"StuImmunizations.sef"}, {}, true, nullptr},
        {"HE011", "tsis", DropTables({"HE011"}), {"Create Student Medications: Table HE011 does not exist.",
                                                  "Create Student Med: Table HE011 does not exist."}, 7,
         {"StuMedications.sef"}, {"StudentMed.sef"}, true, nullptr},
        {"HE012", "schmax", DropTables({"HE012"}), {"Create Student Allergy: Table HE012 does not exist.",
                                                    "Create StudentMed Allergy: Table HE012 does not exist."}, 7,
         {}, {"StudentAllergy.sef"}, true, nullptr},
        // clang-format on
        {"Families",
         "tsis",
         DropTables({"CE810", "ST015", "ST013", "TR015"}, false),
         {"Create Student Legal Notes: Table CE810 or CE 010 does not exist.",
          "Create StudentCustody Protection: Table ST013 or ST014 does not exist.",
          "Student Transport: Table TR015 does not exist, skipping.",
          "Create Student Address: Table CE810 or CE 010 does not exist.",
          "Create Student Parent Guardian: Table CE810 or CE015 or CE010 does not exist.",
          "Create Student Contacts: Table ST015 does not exist."},
         7,
         {"StudentPhysAddr.sef", "StudentParent.sef", "StudentCon.sef", "CustodyNotes.sef", "LegalNotes.sef",
          "StudentTransport.sef"},
         {},
         true,
         [](const QString& folder, RecordedEngine& engine)
         {
             EXPECT_EQ(SortedLines(ReadFile(folder + "/StudentCustom.sef")),
                       SortedLines(ExpectedFile("families/StudentCustom.sef")));
             EXPECT_TRUE(engine->IncompleteTables().empty());
         }},
        // An exclusion table that fails when read: the run goes on and the
        // custody table is marked as not exported completely.
        {"Custody",
         "tsis",
         "ALTER TABLE ST013 RENAME TO ST013_DATA; CREATE VIEW ST013 AS SELECT DST_NBR, ID_NBR, "
         "json('not json') AS DST_XCLTY FROM ST013_DATA;",
         {},
         -1,
         {},
         {},
         false,
         [](const QString& folder, RecordedEngine& engine)
         {
             const std::vector<XString>& incomplete = engine->IncompleteTables();
             EXPECT_NE(std::find(incomplete.begin(), incomplete.end(), XString("Student Custody Protection")),
                       incomplete.end())
                 << engine.Dump();
             EXPECT_FALSE(ReadFile(folder + "/CustodyNotes.sef").contains("ALERT"));
             EXPECT_EQ(ReadFile(folder + "/LegalNotes.sef"), ExpectedFile("families/LegalNotes.sef"));
             EXPECT_EQ(SortedLines(ReadFile(folder + "/StudentCon.sef")),
                       SortedLines(ExpectedFile("families/StudentCon.sef")));
             EXPECT_TRUE(engine.LoggedContaining("malformed JSON")) << engine.Dump();
         }},
    };
    return damages;
}

class MissingTables : public DemoSuite<MissingTables, ::testing::TestWithParam<size_t>>
{
public:
    static DemoPlan Demo() { return {{"tsis", "schmax"}, false, "missing"}; }
};

TEST_P(MissingTables, EachRoutineLogsItsMessageAndTheOthersGoOn)
{
    const Damage& d = Damages()[GetParam()];
    const std::string dsn = std::string("TSISDemoNo") + d.name;
    ASSERT_TRUE(demo_->AlteredCopy(d.flavour, dsn, d.sql));
    RecordedEngine engine;
    ParamMap params = RunParams(FreshFolder(dsn), QString::fromStdString(dsn));
    QString error;
    EXPECT_EQ(engine->BeginExecute(params, 1, error), d.ok) << engine.Dump();
    const QString folder = params["path"];
    for (const char* message : d.messages)
        EXPECT_TRUE(engine.Logged(message, d.level)) << message;
    for (const char* name : d.absent)
        EXPECT_FALSE(QFile::exists(folder + "/" + name)) << name;
    for (const char* name : d.empty)
        EXPECT_EQ(ReadFile(folder + "/" + name), QByteArray()) << name;
    // The others are still written.
    for (const char* name : {"Students.sef", "StuImmunizations.sef", "Calendar.sef"})
    {
        if (std::find(d.absent.begin(), d.absent.end(), QByteArray(name)) == d.absent.end())
        {
            EXPECT_TRUE(QFile::exists(folder + "/" + name)) << name;
        }
    }
    if (d.more)
        d.more(folder, engine);
}

INSTANTIATE_TEST_SUITE_P(Demo, MissingTables, ::testing::Range<size_t>(0, Damages().size()),
                         [](const ::testing::TestParamInfo<size_t>& info)
                         { return std::string(Damages()[info.param].name); });

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
                   file == "LegalNotes.sef"
                       ? Order::Fixed
                       : (file == "CustodyNotes.sef" ? Order::KeyInOrder : Order::Server),
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

INSTANTIATE_TEST_SUITE_P(Demo, LiveWthFamilies, ::testing::Values("TSISDemo", "TSISDemoPG"), ParamName());

} // namespace
