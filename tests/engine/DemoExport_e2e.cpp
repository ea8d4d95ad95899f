// A full export of each demo database (both flavours, SQLite and
// PostgreSQL) against the expected files, read back as the importer reads
// it, with the log lines and lists the run leaves.
#include <set>

#include "DemoHarness.h"

using namespace e2e;

namespace
{

struct Source
{
    const char* dsn;
    const char* flavour;
    const char* control; // the whole control file, times masked
    const char* staff;
    const char* year; // SCH_YR of the current year in this flavour
};

const Source kSources[] = {
    {"TSISDemo", "tsis", "TSIS SchoolMAX.SDE", "Staff.sef", "2026"},
    {"TSISDemoSchmax", "schmax", "TSIS SchoolMAX-schmax.SDE", "Staff-schmax.sef", "2027"},
    {"TSISDemoPG", "tsis", "TSIS SchoolMAX-PG.SDE", "Staff.sef", "2026"},
    {"TSISDemoSchmaxPG", "schmax", "TSIS SchoolMAX-schmax-PG.SDE", "Staff-schmax.sef", "2027"},
};

struct Golden
{
    const char* file;
    const char* expected; // %1 stands for the flavour
    Order order;
    const char* flavour; // only for this flavour (nullptr: both)
};

const Golden kGolden[] = {
    {"Students.sef", "Students.sef", Order::FixedOnSqlite, "tsis"},
    {"StudentNotes.sef", "StudentNotes.sef", Order::Fixed, "tsis"},
    {"StudentCustom.txt", "StudentCustom.txt", Order::Fixed, "tsis"},
    // The grades do not depend on the flavour (schmax only numbers the years one higher).
    {"StudentGrades.sef", "StudentGrades.sef", Order::Server, nullptr},
    {"GradeScores.sef", "GradeScores.sef", Order::Server, nullptr},
    {"StateIncident.sef", "conduct/%1/StateIncident.sef", Order::ByIncident, nullptr},
    {"ConductInType.sef", "conduct/%1/ConductInType.sef", Order::ByIncident, nullptr},
    {"ConductOutType.sef", "conduct/%1/ConductOutType.sef", Order::ByIncident, nullptr},
    {"ConductIncident.sef", "conduct/%1/ConductIncident.sef", Order::ByIncident, nullptr},
    {"ConductOutcome.sef", "conduct/%1/ConductOutcome.sef", Order::ByIncident, nullptr},
    {"HealthConcernTypes.sef", "health/%1/HealthConcernTypes.sef", Order::Server, nullptr},
    {"StuHealthConcern.sef", "health/%1/StuHealthConcern.sef", Order::Server, nullptr},
    {"StuMedications.sef", "health/%1/StuMedications.sef", Order::Server, nullptr},
    // Ordered by student only: each student keeps its keys, the gaps of the
    // filtered students stay.
    {"StuImmunizations.sef", "health/%1/StuImmunizations.sef", Order::StudentKeys, nullptr},
    {"StudentMed.sef", "health/%1/StudentMed.sef", Order::Fixed, "tsis"},
    {"StudentAllergy.sef", "health/%1/StudentAllergy.sef", Order::Fixed, "schmax"},
    {"Calendar.sef", "scheduling/Calendar.sef", Order::Fixed, "tsis"},
    {"StudentSched.sef", "scheduling/StudentSched.sef", Order::Server, "tsis"},
    {"Days.sef", "scheduling/Days.sef", Order::Fixed, "tsis"},
    {"Terms.sef", "scheduling/Terms.sef", Order::Server, "tsis"},
    {"TermDates.sef", "scheduling/TermDates.sef", Order::Fixed, "tsis"},
    {"Bins.sef", "scheduling/Bins.sef", Order::Fixed, "tsis"},
    {"Courses.sef", "scheduling/Courses.sef", Order::Server, "tsis"},
    {"Sections.sef", "scheduling/Sections.sef", Order::Server, "tsis"},
    {"SectionStaff.sef", "scheduling/SectionStaff.sef", Order::Server, "tsis"},
    {"SectionRooms.sef", "scheduling/SectionRooms.sef", Order::Server, "tsis"},
    {"StudentPhysAddr.sef", "families/StudentPhysAddr.sef", Order::Server, "tsis"},
    {"StudentParent.sef", "families/StudentParent.sef", Order::Server, "tsis"},
    {"StudentCon.sef", "families/StudentCon.sef", Order::Server, "tsis"},
    // Custody keys continue the legal notes' keys in the order the lines are written.
    {"CustodyNotes.sef", "families/CustodyNotes.sef", Order::KeyInOrder, "tsis"},
    {"LegalNotes.sef", "families/LegalNotes.sef", Order::Fixed, "tsis"},
    {"StudentCustom.sef", "families/StudentCustom.sef", Order::Server, "tsis"},
    {"StudentTransport.sef", "families/StudentTransport.sef", Order::Server, "tsis"},
};

// One table block of the control file.
struct Block
{
    QStringList names; // empty for an include without a header (the custom-field file)
    QString file;
};

QList<Block> ReadBlocks(const QByteArray& control)
{
    static const QRegularExpression include("^#(safe)?include \"([^\"]+)\"$");
    const QStringList lines = QString::fromLatin1(control).split("\r\n");
    QList<Block> blocks;
    for (int i = 0; i < lines.size(); ++i)
    {
        const QRegularExpressionMatch m = include.match(lines[i]);
        if (!m.hasMatch())
            continue;
        Block b;
        b.file = m.captured(2);
        if (i >= 1 && !lines[i - 1].startsWith("//"))
            b.names = lines[i - 1].split('\t');
        blocks << b;
    }
    return blocks;
}

// The data lines of a table file, each split into its values.
QList<QStringList> ReadRows(const QByteArray& data)
{
    QList<QStringList> rows;
    QStringList lines = QString::fromLatin1(data).split("\r\n");
    lines.removeLast(); // the last line ends with CR LF too
    for (const QString& line : lines)
        rows << line.split('\t');
    return rows;
}

// The values of one header name in a table of the folder.
std::set<QString> Column(const QString& folder, const QList<Block>& blocks, const QString& file,
                         const QString& name)
{
    std::set<QString> values;
    for (const Block& b : blocks)
    {
        if (b.file != file)
            continue;
        const qsizetype column = b.names.indexOf(name);
        EXPECT_GE(column, 0) << file.toStdString() << " has no column " << name.toStdString();
        for (const QStringList& row : ReadRows(ReadFile(folder + "/" + file)))
            if (column >= 0 && column < row.size())
                values.insert(row[column]);
    }
    return values;
}

// What the SQLite run of the TSIS flavour logs and collects besides its files.
void ExpectSqliteDetectionAndLists(RecordedEngine& engine)
{
    // The MSSQL trials fail cleanly before the Oracle (ODBC) trial succeeds.
    for (const char* line :
         {"Trying: MSSQL with suffix: _V", "Trying: Oracle (ODBC)", "Able to query using: SY005",
          "Setting alias to TSIS", "SchoolNumber: '101'", "District Number: 16",
          "Bridge Configuration Changed.", "Export complete.", "AddThisToStaffLUT: added10100"})
        EXPECT_TRUE(engine.Logged(line)) << line;
    // Homeroom teacher 0 is not collected. One homeroom teacher per grade,
    // 10100 to 10105 (the section teachers are the same staff), and the
    // counselor; then the conduct staff 10001 to 10004 and the referee "0".
    // The texts the lists give are in the exported files.
    EXPECT_FALSE(engine.Logged("AddThisToStaffLUT: added0"));
    EXPECT_EQ(engine->StaffList().Count(), 12) << engine.Dump();
    XString value;
    ASSERT_TRUE(engine->StudentNames().Find("900006", value));
    EXPECT_STREQ(value.Text(), "Zo\xeb Mu\xf1oz");
    EXPECT_EQ(engine->RelationshipCodes().Count(), 9);
    // EV090 is split by its event type; other types are dropped.
    EXPECT_FALSE(engine->MiscDiscipline("DISB")->Contains("N"));
    EXPECT_EQ(engine->MiscDiscipline("REST")->Count(), 2);
    EXPECT_EQ(engine->MiscDiscipline("OTHR"), nullptr);
    for (const char* type : {"DISB", "DREA", "REST", "EDRE", "ELRE"})
        EXPECT_FALSE(engine->MiscDiscipline(type)->Contains("XX"));
}

class DemoExport : public DemoSuite<DemoExport, ::testing::TestWithParam<Source>>
{
public:
    static DemoPlan Demo() { return {{"tsis", "schmax"}, true, "export"}; }

protected:
    QString Dsn() const override { return GetParam().dsn; }
    bool Tsis() const { return QByteArray(GetParam().flavour) == "tsis"; }
};

TEST_P(DemoExport, WritesTheExpectedFolder)
{
    const Source& source = GetParam();
    const bool postgres = IsPostgres(source.dsn);
    RecordedEngine engine;
    const QString folder = Export(engine, std::string("export-") + source.dsn, source.dsn);
    ASSERT_FALSE(HasFailure());

    const QByteArray control = ReadFile(folder + "/TSIS SchoolMAX.SDE");
    EXPECT_EQ(MaskRun(control, false), ExpectedFile(source.control));
    for (const Golden& g : kGolden)
    {
        const bool wanted = !g.flavour || QByteArray(g.flavour) == source.flavour;
        if (!wanted)
        {
            if (QByteArray(g.file).startsWith("StudentMed") || QByteArray(g.file) == "StudentAllergy.sef")
            {
                EXPECT_FALSE(QFile::exists(folder + "/" + g.file)) << g.file;
            }
            continue;
        }
        SCOPED_TRACE(g.file);
        ExpectSame(ReadFile(folder + "/" + g.file), ExpectedFile(QString(g.expected).arg(source.flavour)),
                   g.order, postgres);
    }
    EXPECT_EQ(SortedLines(ReadFile(folder + "/Staff.sef")), SortedLines(ExpectedFile(source.staff)));
    if (Tsis())
        EXPECT_EQ(ReadFile(folder + "/SchoolConfig.xml"),
                  ExpectedFile(QString("SchoolConfig-%1.xml").arg(postgres ? "TSISDemoPG" : "TSISDemo")));
    else
    {
        // Without a drop date the schedule keeps the dropped sections.
        QList<QByteArray> expected = SortedLines(ExpectedFile("scheduling/StudentSched.sef"));
        expected.append("900005\tCMATH-01\r");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(SortedLines(ReadFile(folder + "/StudentSched.sef")), expected);
    }

    // Every named file is there; every line has one value per header name
    // that is not a constant (Name$="value").
    const QList<Block> blocks = ReadBlocks(control);
    EXPECT_GE(blocks.size(), 33);
    for (const Block& b : blocks)
    {
        const QString path = folder + "/" + b.file;
        ASSERT_TRUE(QFile::exists(path)) << b.file.toStdString();
        if (b.names.isEmpty())
            continue;
        const QByteArray data = ReadFile(path);
        EXPECT_TRUE(data.isEmpty() || data.endsWith("\r\n")) << b.file.toStdString();
        const qsizetype columns =
            std::count_if(b.names.begin(), b.names.end(), [](const QString& n) { return !n.contains("$="); });
        int line = 0;
        for (const QStringList& row : ReadRows(data))
            EXPECT_EQ(row.size(), columns) << b.file.toStdString() << " line " << ++line;
    }
    // Nothing else: the named files, the control file, the configuration and
    // the custom fields' data (named by StudentCustom.txt).
    QStringList named{"SchoolConfig.xml", "TSIS SchoolMAX.SDE", "StudentCustom.sef"};
    QStringList files = QDir(folder).entryList(QDir::Files);
    for (const Block& b : blocks)
        named << b.file;
    named.removeDuplicates();
    named.sort();
    files.sort();
    EXPECT_EQ(files.join("\n").toStdString(), named.join("\n").toStdString());

    // Every reference finds its key.
    const struct
    {
        const char* file;
        const char* name;
        const char* keyFile;
        const char* key;
    } references[] = {
        {"Sections.sef", "SecCrsRef", "Courses.sef", "CrsKey"},
        {"Sections.sef", "SecTermRef", "Terms.sef", "TermKey"},
        {"StudentSched.sef", "StdSecRef", "Sections.sef", "SecKey"},
        {"StudentGrades.sef", "GrdSecRef", "Sections.sef", "SecKey"},
        {"SectionRooms.sef", "SecKey", "Sections.sef", "SecKey"},
        {"SectionRooms.sef", "SecDayRef", "Days.sef", "DayKey"},
        {"SectionStaff.sef", "SecKey", "Sections.sef", "SecKey"},
        {"SectionStaff.sef", "SecStaffRef", "Staff.sef", "StaffKey"},
        {"TermDates.sef", "TermKey", "Terms.sef", "TermKey"},
    };
    for (const auto& r : references)
    {
        const std::set<QString> keys = Column(folder, blocks, r.keyFile, r.key);
        const std::set<QString> used = Column(folder, blocks, r.file, r.name);
        EXPECT_FALSE(used.empty()) << r.file << " " << r.name;
        for (const QString& value : used)
            EXPECT_TRUE(keys.count(value)) << r.file << " " << r.name << ": " << value.toStdString();
    }

    // The run logs no error or warning.
    for (const LogLine& line : engine.Log())
        EXPECT_GT(line.level, 3) << line.message.toStdString();
    EXPECT_TRUE(engine.Logged("Validate Connection Successful, using Oracle (ODBC); DBTSIS_SY005_V"));
    EXPECT_TRUE(engine.Logged(QString("Alias is set to: ") + source.flavour));
    EXPECT_TRUE(engine.Logged(QString("School Year: ") + source.year));
    EXPECT_EQ(engine->CommandTimeout(), 30);
    EXPECT_EQ(engine->ConnectionTimeout(), 15);

    // The referrer column the flavour has is selected; the other is left out.
    const QString referrer = Tsis() ? "incident.\"R-ID-NBR\"" : "incident.ID_NBR";
    EXPECT_TRUE(std::any_of(engine.Log().begin(), engine.Log().end(),
                            [&](const LogLine& line)
                            {
                                return line.message.startsWith(
                                           "BuildQuery Finished:SELECT DISTINCT incident.EV_SEQ_NBR") &&
                                       line.message.contains(", " + referrer + ", ");
                            }))
        << engine.Dump();
    EXPECT_TRUE(engine.Logged(QString("Field does not exist : ") + (Tsis() ? "ID_NBR" : "R-ID-NBR") +
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

    if (!Tsis())
        return;
    // Grade Types finish after Student Grades; Staff Demographics comes last.
    QStringList steps;
    for (const LogLine& line : engine.Log())
        if (line.message.startsWith("Reading ") || line.message == "Finished Student Grades table/query." ||
            line.message == "Finished Staff Demographics table/query.")
            steps << line.message;
    const int grades = steps.indexOf("Reading Student Grades...");
    ASSERT_GE(grades, 0) << steps.join("\n").toStdString();
    EXPECT_EQ(steps.mid(grades, 4),
              QStringList({"Reading Student Grades...", "Finished Student Grades table/query.",
                           "Reading Grade Types...", "Finished Student Grades table/query."}));
    EXPECT_EQ(steps.mid(steps.size() - 2),
              QStringList({"Reading Staff Demographics...", "Finished Staff Demographics table/query."}));
    // The progress-grade switch is off: no type is filtered.
    EXPECT_FALSE(engine.LoggedContaining("Create Grade Types:"));
    for (const char* line :
         {"Create Bin 1: Start: 20260831 End: 20261104", "Create Bin 2: Start: 20261105 End: 20270126",
          "Create Bin 3: Start: 20270127 End: 20270412", "Create Bin 4: Start: 20270413 End: 20270618",
          "Create Bin 5: Start: 20270618 End: ", "Create Bin 6: Start:  End: ", "School Start Date: 20260831",
          "School End Date: 20270618", "Today is Before End Date: 20261015 >= 20270618"})
        EXPECT_TRUE(engine.Logged(line)) << line;
    // With PRIM_FAM the address query keeps its order.
    EXPECT_FALSE(engine.Logged("Field NULL in ODBC::AddOrder."));

    if (!postgres)
        ExpectSqliteDetectionAndLists(engine);

    // A second run finds the configuration unchanged.
    RecordedEngine second;
    ParamMap params = RunParams(folder, source.dsn);
    QString error;
    ASSERT_TRUE(second->BeginExecute(params, 1, error)) << second.Dump();
    EXPECT_TRUE(second.Logged("Bridge Configuration Did Not Change."));
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoExport, ::testing::ValuesIn(kSources),
                         [](const ::testing::TestParamInfo<Source>& info)
                         { return std::string(info.param.dsn); });

} // namespace
