// A full export of each demo database read back as the importer reads it:
// the control file's blocks, their data files, and the staff and sections the
// other tables refer to. The schmax files are compared with expected files.
#include <algorithm>
#include <set>

#include "EngineDemoHarness.h"

using namespace enginee2e;

namespace
{

struct Database
{
    const char* dsn;
    const char* flavour;
    const char* year;            // SCH_YR of the current year in this flavour
    const char* expectedControl; // compared byte for byte when set
    const char* expectedStaff;
};

void PrintTo(const Database& db, std::ostream* out)
{
    *out << db.dsn;
}

const Database kDatabases[] = {
    {"TSISDemo", "tsis", "2026", nullptr, nullptr},
    {"TSISDemoPG", "tsis", "2026", nullptr, nullptr},
    {"TSISDemoSchmax", "schmax", "2027", "TSIS SchoolMAX-schmax.SDE", "Staff-schmax.sef"},
    {"TSISDemoSchmaxPG", "schmax", "2027", "TSIS SchoolMAX-schmax-PG.SDE", "Staff-schmax.sef"},
};

// Every staff number the exports put in the staff list, as the demo database
// gives it: homeroom teachers and counselors of the named students, section
// teachers, staff participants of incidents, referees and staff targets of
// outcomes; without "0" and without staff lacking a staff record.
QString StaffReferencesSql(const QString& year)
{
    const QString school = "SCH_NBR = '101' AND %1.SCH_YR = " + year + " AND %1.DST_NBR = 16";
    const QString named =
        " FROM ST010 stu JOIN CE020 enroll ON enroll.ID_NBR = stu.ID_NBR AND enroll.DST_NBR = "
        "stu.DST_NBR WHERE stu." +
        school.arg("stu") +
        " AND (TRIM(COALESCE(enroll.LST_NME, '')) <> '' OR TRIM(COALESCE(enroll.FRST_NME, '')) "
        "<> '')";
    const QString outcomes =
        " FROM EV030 o JOIN EV020 p ON p.EV_SEQ_NBR = o.EV_SEQ_NBR AND p.PART_SEQ = o.PART_SEQ "
        "WHERE o." +
        school.arg("o") + " AND p.SCH_NBR = '101' AND p.SCH_YR = " + year + " AND o.EVENT_CAT = 'DIS'";
    return "SELECT DISTINCT k FROM ("
           "SELECT CAST(stu.TCHR_NBR AS VARCHAR(20)) AS k" +
           named + " UNION SELECT CAST(stu.COUNSELOR AS VARCHAR(20))" + named +
           " UNION SELECT CAST(sec.EMP_NBR AS VARCHAR(20)) FROM SC070 sec WHERE sec." + school.arg("sec") +
           " AND sec.VERSION = '00'"
           " UNION SELECT CAST(p.ID_NBR AS VARCHAR(20)) FROM EV010 i JOIN EV020 p ON p.EV_SEQ_NBR = "
           "i.EV_SEQ_NBR "
           "WHERE i." +
           school.arg("i") + " AND p.SCH_NBR = '101' AND p.SCH_YR = " + year +
           " AND p.PART_CD = 'T' AND p.PART_TYPE IN ('O', 'V', 'W')"
           " UNION SELECT CAST(o.EMP_NBR AS VARCHAR(20))" +
           outcomes + " UNION SELECT CAST(p.ID_NBR AS VARCHAR(20))" + outcomes +
           " AND p.PART_CD = 'T') refs "
           "WHERE k <> '0' AND k IN (SELECT CAST(DEM.EMP_NBR AS VARCHAR(20)) FROM SY030 DEM "
           "JOIN SY035 staff ON staff.DST_NBR = DEM.DST_NBR AND staff.EMP_NBR = DEM.EMP_NBR "
           "JOIN SY031 TYP ON TYP.STAFF_TYPE = staff.STAFF_TYPE WHERE DEM.DST_NBR = 16) ORDER BY k";
}

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

QList<QByteArray> SortedLines(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    std::sort(lines.begin(), lines.end());
    return lines;
}

class FullExportFolder : public ::testing::TestWithParam<Database>
{
protected:
    static void SetUpTestSuite()
    {
        withPostgres_ = PostgresAvailable(why_);
        demo_ = new DemoDistrict({"tsis", "schmax"}, withPostgres_, "folder");
    }
    static void TearDownTestSuite()
    {
        delete demo_;
        demo_ = nullptr;
        RemoveProcessFolders();
    }
    void SetUp() override
    {
        ASSERT_TRUE(demo_->Ok()) << demo_->Error();
        RequirePostgres(Postgres(), withPostgres_, why_);
    }
    static bool Postgres() { return QString(GetParam().dsn).endsWith("PG"); }

    // The staff numbers the demo database gives for StaffReferencesSql.
    static std::set<QString> StaffReferences()
    {
        const Database& db = GetParam();
        const std::string sql = StaffReferencesSql(db.year).toStdString();
        std::string command;
        if (Postgres())
        {
            const std::string database = demo_->PgDatabases()[std::string(db.flavour) == "tsis" ? 0 : 1];
            const char* password = std::getenv("TSIS_PG_PASSWORD");
            command = "PGPASSWORD='" + std::string(password ? password : "") +
                      "' psql -X -q -tA -v ON_ERROR_STOP=1 -h " + std::getenv("TSIS_PG_HOST") + " -p " +
                      std::getenv("TSIS_PG_PORT") + " -U " + std::getenv("TSIS_PG_USER") + " -d " + database +
                      " -c \"" + sql + "\"";
        }
        else
        {
            command = "sqlite3 -bail -batch '" + demo_->Folder() + "/tsisdemo-" + db.flavour + ".db' \"" +
                      sql + "\"";
        }
        const CommandResult r = RunCommand(command);
        EXPECT_EQ(r.status, 0) << command;
        std::set<QString> keys;
        for (const QString& key : QString::fromStdString(r.output).split('\n', Qt::SkipEmptyParts))
            keys.insert(key.trimmed());
        return keys;
    }

    static DemoDistrict* demo_;
    static bool withPostgres_;
    static std::string why_;
    FixedToday today_;
};

DemoDistrict* FullExportFolder::demo_ = nullptr;
bool FullExportFolder::withPostgres_ = false;
std::string FullExportFolder::why_;

TEST_P(FullExportFolder, ReadsAsTheImporterReadsIt)
{
    const Database& db = GetParam();
    ParamMap params = RunParams(FreshFolder(std::string("folder-") + db.dsn), db.dsn);
    if (Postgres())
    {
        const char* user = std::getenv("TSIS_PG_USER");
        params["user"] = user ? QString(user) : QString("tsis");
        params["pwd"] = "unused";
    }
    RecordedEngine engine;
    QString error;
    ASSERT_TRUE(engine->BeginExecute(params, 1, error)) << error.toStdString() << engine.Dump();
    const QString folder = params["path"];
    const QByteArray control = ReadFile(folder + "/TSIS SchoolMAX.SDE");

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

    // Staff.sef holds exactly the staff the other tables refer to.
    const std::set<QString> references = StaffReferences();
    EXPECT_GE(references.size(), 10u);
    EXPECT_EQ(Column(folder, blocks, "Staff.sef", "StaffKey"), references);

    // Every scheduled or graded section is a section.
    const std::set<QString> sections = Column(folder, blocks, "Sections.sef", "SecKey");
    EXPECT_FALSE(sections.empty());
    for (const auto& [file, name] :
         {std::pair{"StudentSched.sef", "StdSecRef"}, {"StudentGrades.sef", "GrdSecRef"}})
    {
        const std::set<QString> used = Column(folder, blocks, file, name);
        EXPECT_FALSE(used.empty()) << file;
        for (const QString& section : used)
            EXPECT_TRUE(sections.count(section)) << file << ": " << section.toStdString();
    }

    if (!db.expectedControl)
        return;
    // The grades do not depend on the flavour (schmax only numbers the years
    // one higher): the tsis files hold for both.
    for (const char* file : {"StudentGrades.sef", "GradeScores.sef"})
        EXPECT_EQ(SortedLines(ReadFile(folder + "/" + file)), SortedLines(ExpectedFile(file))) << file;
    EXPECT_EQ(SortedLines(ReadFile(folder + "/Staff.sef")), SortedLines(ExpectedFile(db.expectedStaff)));
    EXPECT_EQ(MaskTimes(control), ExpectedFile(db.expectedControl));
}

INSTANTIATE_TEST_SUITE_P(Databases, FullExportFolder, ::testing::ValuesIn(kDatabases),
                         [](const ::testing::TestParamInfo<Database>& info)
                         { return std::string(info.param.dsn); });

} // namespace
