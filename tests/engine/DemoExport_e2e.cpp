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
    const char* year;    // SCH_YR of the current year in this flavour
};

const Source kSources[] = {
    {"TSISDemo", "tsis", "TSIS SchoolMAX.SDE", "2026"},
    {"TSISDemoSchmax", "schmax", "TSIS SchoolMAX-schmax.SDE", "2027"},
    {"TSISDemoPG", "tsis", "TSIS SchoolMAX-PG.SDE", "2026"},
    {"TSISDemoSchmaxPG", "schmax", "TSIS SchoolMAX-schmax-PG.SDE", "2027"},
};

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
    for (const QStringList& g : GoldenFields("demo_export.txt", "files"))
    {
        SCOPED_TRACE(g.join(' ').toStdString());
        ASSERT_EQ(g.size(), 4);
        if (g[3] == "-" || g[3] == source.flavour)
        {
            ExpectSame(ReadFile(folder + "/" + g[0]), ExpectedFile(g[1].arg(source.flavour)), g[2], postgres);
        }
        else if (g[0].startsWith("StudentMed") || g[0] == "StudentAllergy.sef")
        {
            EXPECT_FALSE(QFile::exists(folder + "/" + g[0]));
        }
    }
    if (Tsis())
    {
        EXPECT_EQ(ReadFile(folder + "/SchoolConfig.xml"),
                  ExpectedFile(QString("SchoolConfig-%1.xml").arg(postgres ? "TSISDemoPG" : "TSISDemo")));
    }

    // Every named file is there, every line whole with one value per header name.
    const QList<Block> blocks = ReadBlocks(control);
    EXPECT_GE(blocks.size(), 33);
    for (const Block& b : blocks)
        ASSERT_TRUE(QFile::exists(folder + "/" + b.file)) << b.file.toStdString();
    EXPECT_EQ(LayoutFaults(folder), QStringList());
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
    for (const QStringList& r : GoldenFields("demo_export.txt", "references"))
    {
        SCOPED_TRACE(r.join(' ').toStdString());
        ASSERT_EQ(r.size(), 4);
        const std::set<QString> keys = Column(folder, blocks, r[2], r[3]);
        const std::set<QString> used = Column(folder, blocks, r[0], r[1]);
        EXPECT_FALSE(used.empty());
        for (const QString& value : used)
            EXPECT_TRUE(keys.count(value)) << value.toStdString();
    }

    // The run logs no error or warning.
    for (const LogLine& line : engine.Log())
        EXPECT_GT(line.level, 3) << line.message.toStdString();
    // The lines of golden/demo_export.txt: of every run, of the flavour, of the data source.
    QStringList logged{"all"};
    if (Tsis())
        logged << (postgres ? QStringList{"tsis"} : QStringList{"tsis", "TSISDemo"});
    for (const QString& section : logged)
        for (const QStringList& line : GoldenFields("demo_export.txt", "logged " + section.toStdString()))
            EXPECT_TRUE(engine.Logged(line[0])) << line[0].toStdString();
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
