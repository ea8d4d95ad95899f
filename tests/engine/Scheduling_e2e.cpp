// The calendar and master-schedule exports over the demo district, from
// SQLite and from PostgreSQL, against expected files worked out from the
// generator's data (tests/engine/expected/scheduling).
#include <algorithm>
#include <set>

#include <QTextStream>

#include "EngineDemoHarness.h"

using namespace enginee2e;

namespace
{

struct Source
{
    const char* name;
    const char* dsn;
    bool postgres;
};

void PrintTo(const Source& s, std::ostream* os)
{
    *os << s.name;
}

// The tables in the order of the export, with their titles and files.
const struct
{
    const char* title;
    const char* file;
    bool ordered; // written in an order the routine fixes
} kTables[] = {
    {"Calendar", "Calendar.sef", true},
    {"Student Schedule", "StudentSched.sef", false},
    {"Days", "Days.sef", true},
    {"Terms", "Terms.sef", false},
    {"Term Dates", "TermDates.sef", true},
    {"Grading Periods", "Bins.sef", true},
    {"Courses", "Courses.sef", false},
    {"Sections", "Sections.sef", false},
    {"Section Teachers", "SectionStaff.sef", false},
    {"Section Rooms", "SectionRooms.sef", false},
};

QByteArray Expected(const QString& name)
{
    return ExpectedFile("scheduling/" + name);
}

QList<QByteArray> SortedLines(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The control-file block of a table: from its title line to its terminator.
QByteArray Block(const QByteArray& control, const char* title)
{
    const QByteArray start = QByteArray("// ") + title + "\r\n";
    const int from = control.indexOf(start);
    if (from < 0)
        return QByteArray("<no block: ") + title + ">";
    const int to = control.indexOf("*\r\n\r\n", from);
    return control.mid(from, to < 0 ? -1 : to + 5 - from);
}

// Column `column` of every line of a data file.
std::set<QByteArray> Column(const QByteArray& file, int column)
{
    std::set<QByteArray> values;
    for (QByteArray line : file.split('\n'))
    {
        line.chop(line.endsWith('\r') ? 1 : 0);
        if (!line.isEmpty())
            values.insert(line.split('\t').value(column));
    }
    return values;
}

class SchedulingExports : public ::testing::TestWithParam<Source>
{
protected:
    static void SetUpTestSuite()
    {
        postgres_ = PostgresAvailable(why_);
        demo_ = new DemoDistrict({"tsis", "schmax"}, postgres_);
    }
    static void TearDownTestSuite()
    {
        delete demo_;
        demo_ = nullptr;
        RemoveProcessFolders();
    }
    void SetUp() override
    {
        RequirePostgres(GetParam().postgres, postgres_, why_);
        ASSERT_TRUE(demo_->Ok()) << demo_->Error();
    }

    // One extraction into a fresh folder; the engine stays for the checks.
    QString Run(RecordedEngine& engine, const std::string& name, int flags = 1, const char* dsn = nullptr,
                const QString& school = "101")
    {
        const QString folder = FreshFolder(std::string(GetParam().name) + "-" + name);
        const QString source = dsn ? dsn : GetParam().dsn;
        ParamMap params = RunParams(folder, source, school);
        if (source.endsWith("PG"))
        {
            const char* user = std::getenv("TSIS_PG_USER");
            params["user"] = user ? user : "tsis";
            params["pwd"] = "unused";
        }
        QString error;
        EXPECT_TRUE(engine->BeginExecute(params, flags, error)) << error.toStdString() << engine.Dump();
        return folder;
    }

    static DemoDistrict* demo_;
    static bool postgres_;
    static std::string why_;
    FixedToday today_;
};

DemoDistrict* SchedulingExports::demo_ = nullptr;
bool SchedulingExports::postgres_ = false;
std::string SchedulingExports::why_;

TEST_P(SchedulingExports, WritesTheExpectedFilesAndBlocks)
{
    RecordedEngine engine;
    const QString folder = Run(engine, "files");

    QByteArray blocks;
    const QByteArray control = ReadFile(folder + "/TSIS SchoolMAX.SDE");
    for (const auto& table : kTables)
    {
        const QByteArray actual = ReadFile(folder + "/" + table.file);
        const QByteArray expected = Expected(table.file);
        // Without an ORDER BY the server chooses the order of the lines.
        if (table.ordered)
            EXPECT_EQ(actual, expected) << table.file;
        else
            EXPECT_EQ(SortedLines(actual), SortedLines(expected)) << table.file;
        blocks += Block(control, table.title);
    }
    EXPECT_EQ(blocks, Expected("blocks.SDE"));

    for (const char* line :
         {"Create Bin 1: Start: 20260831 End: 20261104", "Create Bin 2: Start: 20261105 End: 20270126",
          "Create Bin 3: Start: 20270127 End: 20270412", "Create Bin 4: Start: 20270413 End: 20270618",
          "Create Bin 5: Start: 20270618 End: ", "Create Bin 6: Start:  End: "})
        EXPECT_TRUE(engine.Logged(line)) << line;
    // The section teachers are collected for Staff Demographics.
    for (const QByteArray& teacher : Column(ReadFile(folder + "/SectionStaff.sef"), 1))
        EXPECT_TRUE(engine->StaffList().Contains(teacher.constData())) << teacher.constData();
    EXPECT_EQ(engine->CommandTimeout(), 30);
    EXPECT_EQ(engine->ConnectionTimeout(), 15);
}

TEST_P(SchedulingExports, EveryReferenceFindsItsKey)
{
    RecordedEngine engine;
    const QString folder = Run(engine, "refs");
    auto file = [&folder](const char* name) { return ReadFile(folder + "/" + name); };

    const std::set<QByteArray> courses = Column(file("Courses.sef"), 0);
    const std::set<QByteArray> sections = Column(file("Sections.sef"), 0);
    const std::set<QByteArray> terms = Column(file("Terms.sef"), 0);
    const std::set<QByteArray> days = Column(file("Days.sef"), 0);
    const struct
    {
        const char* file;
        int column;
        const std::set<QByteArray>& keys;
    } references[] = {
        {"Sections.sef", 1, courses},      {"Sections.sef", 2, terms},
        {"StudentSched.sef", 1, sections}, {"SectionRooms.sef", 0, sections},
        {"SectionRooms.sef", 3, days},     {"SectionStaff.sef", 0, sections},
        {"TermDates.sef", 0, terms},       {"StudentGrades.sef", 1, sections},
    };
    for (const auto& r : references)
    {
        const std::set<QByteArray> values = Column(file(r.file), r.column);
        EXPECT_FALSE(values.empty()) << r.file;
        for (const QByteArray& value : values)
            EXPECT_TRUE(r.keys.count(value)) << r.file << " column " << r.column << ": " << value.constData();
    }
    const std::set<QByteArray> staff = Column(file("Staff.sef"), 0);
    for (const QByteArray& teacher : Column(file("SectionStaff.sef"), 1))
        EXPECT_TRUE(staff.count(teacher)) << teacher.constData();
}

TEST_P(SchedulingExports, CalendarSetsTheSchoolDatesOfTheRun)
{
    // Attendance only: the dates of the school year search (first and last day).
    RecordedEngine attendance;
    Run(attendance, "dates-att", 2);
    EXPECT_EQ(attendance->SchoolStartDate().Format("YYYYMMDD"), "20260831");
    EXPECT_FALSE(attendance.LoggedContaining("Create Calendar"));

    // Both: the calendar's first dated day (a workday before the first day)
    // and its last; the 0 row sets neither.
    RecordedEngine both;
    Run(both, "dates-both", 3);
    EXPECT_TRUE(both.Logged("Create Calendar: Set Start Date to: 20260828")) << both.Dump();
    EXPECT_TRUE(both.Logged("Create Calendar: Set End Date to: 20270618"));
    EXPECT_EQ(both->SchoolStartDate().Format("YYYYMMDD"), "20260828");
    EXPECT_EQ(both->SchoolEndDate().Format("YYYYMMDD"), "20270618");
}

TEST_P(SchedulingExports, DaysOfSchoolsWithOtherSpellings)
{
    // 202 spells a whole week in other ways; 303 writes Thursday two ways, so no week.
    for (const char* school : {"202", "303"})
    {
        RecordedEngine engine;
        const QString folder = Run(engine, std::string("days-") + school, 1, nullptr, school);
        EXPECT_EQ(ReadFile(folder + "/Days.sef"), Expected(QString("Days-%1.sef").arg(school))) << school;
    }
}

TEST_P(SchedulingExports, ScheduleWithoutDropDateKeepsDroppedSections)
{
    RecordedEngine engine;
    const QString folder =
        Run(engine, "schmax", 1, GetParam().postgres ? "TSISDemoSchmaxPG" : "TSISDemoSchmax");
    QList<QByteArray> expected = SortedLines(Expected("StudentSched.sef"));
    expected.append("900005\tCMATH-01\r");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedLines(ReadFile(folder + "/StudentSched.sef")), expected);
}

// A copy of the SQLite demo without the optional tables of the schedule.
class SchedulingWithoutTables : public SchedulingExports
{
protected:
    static void SetUpTestSuite()
    {
        demo_ = new DemoDistrict({"tsis"}, false, "nosched");
        if (!demo_->Ok())
            return;
        const std::string copy = demo_->Folder() + "/tsisdemo-nosched.db";
        std::string sql;
        for (const char* t :
             {"SC065", "SC082", "SC060", "SC040", "CA020", "GR025", "SC031", "SC070", "SC055"})
            sql += std::string("DROP VIEW DBTSIS_") + t + "_V; DROP TABLE " + t + ";";
        copied_ = RunCommand("cp '" + demo_->Folder() + "/tsisdemo-tsis.db' '" + copy +
                             "' && sqlite3 -bail '" + copy + "' \"" + sql + "\"")
                      .status == 0;
        QFile ini(QString::fromLocal8Bit(std::getenv("ODBCINI")));
        copied_ = copied_ && ini.open(QIODevice::Append | QIODevice::Text);
        QTextStream out(&ini);
        out << "\n[TSISDemoNoSched]\nDriver=SQLite3\nDatabase=" << QString::fromStdString(copy)
            << "\nNoCreat=1\nLoadExt=" << QString::fromStdString(demo_->Folder())
            << "/lib/libtsisdemo_sqlite.so\n";
    }
    static bool copied_;
};

bool SchedulingWithoutTables::copied_ = false;

TEST_P(SchedulingWithoutTables, EachMissingTableIsLoggedAndTheRunSucceeds)
{
    ASSERT_TRUE(copied_);
    RecordedEngine engine;
    const QString folder = Run(engine, "nosched", 1, "TSISDemoNoSched");
    for (const char* message :
         {"Student Schedule: SC055 table not found, skipping.", "Create Days: Table SC065 does not exist.",
          "Create Terms: Table SC082 or SC060 do not exist.",
          "Create Term Dates: Table SC082 or SC060 or SC040 or SC020 do not exist.",
          "Create Bins: Table GR025 do not exist.", "Create Courses: Table SC031 does not exist.",
          "Create Sections: Table SC060 does not exist.", "Create Courses: Table SC070 does not exist.",
          "Create Courses: Table SC065 does not exist."})
        EXPECT_TRUE(engine.Logged(message)) << message;
    for (const auto& table : kTables)
        EXPECT_EQ(QFile::exists(folder + "/" + table.file),
                  QByteArray(table.file) == "Calendar.sef" || QByteArray(table.file) == "Bins.sef")
            << table.file;
    // Grading Periods opens its file before it looks for GR025.
    EXPECT_EQ(ReadFile(folder + "/Bins.sef"), QByteArray());
    const QByteArray control = ReadFile(folder + "/TSIS SchoolMAX.SDE");
    EXPECT_EQ(Block(control, "Grading Periods"),
              "// Grading Periods\r\nBinKey\tBinStartDate\tBinEndDate\r\n#include \"Bins.sef\"\r\n*\r\n\r\n");
    EXPECT_TRUE(Block(control, "Days").startsWith("<no block"));
}

INSTANTIATE_TEST_SUITE_P(Sqlite, SchedulingWithoutTables,
                         ::testing::Values(Source{"sqlite", "TSISDemo", false}),
                         [](const ::testing::TestParamInfo<Source>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(Databases, SchedulingExports,
                         ::testing::Values(Source{"sqlite", "TSISDemo", false},
                                           Source{"postgres", "TSISDemoPG", true}),
                         [](const ::testing::TestParamInfo<Source>& info) { return info.param.name; });

} // namespace
