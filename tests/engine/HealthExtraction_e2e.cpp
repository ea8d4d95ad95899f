// The health exports of full extractions from the demo district, both
// flavours, SQLite and PostgreSQL, against expected files written from the
// demo data (tests/engine/expected/health).
#include <algorithm>

#include "EngineDemoHarness.h"

using namespace enginee2e;

namespace
{

class HealthExtraction : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        postgres_ = PostgresAvailable(why_);
        demo_ = new DemoDistrict({"tsis", "schmax"}, postgres_, "health");
    }
    static void TearDownTestSuite()
    {
        delete demo_;
        demo_ = nullptr;
        RemoveProcessFolders();
    }
    void SetUp() override { ASSERT_TRUE(demo_->Ok()) << demo_->Error(); }

    static ParamMap Params(const QString& folder, const QString& dsn)
    {
        ParamMap params = RunParams(folder, dsn);
        if (dsn.endsWith("PG"))
        {
            const char* user = std::getenv("TSIS_PG_USER");
            params["user"] = user ? QString(user) : QString("tsis");
            params["pwd"] = "unused";
        }
        return params;
    }

    // A copy of a flavour's SQLite database changed by sql, reached as dsn.
    static bool AlteredCopy(const std::string& flavour, const std::string& dsn, const std::string& sql)
    {
        return ::AlteredCopy(*demo_, flavour, dsn, sql);
    }

    void CheckFlavour(const QString& dsn, const QString& flavour);

    static DemoDistrict* demo_;
    static bool postgres_;
    static std::string why_;
    FixedToday today_;
};

DemoDistrict* HealthExtraction::demo_ = nullptr;
bool HealthExtraction::postgres_ = false;
std::string HealthExtraction::why_;

QByteArray Expected(const QString& flavour, const QString& name)
{
    return ExpectedFile("health/" + flavour + "/" + name);
}

QList<QByteArray> SortedLines(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Each line's first two values (key and student), in the file's order.
QList<QByteArray> KeysAndStudents(const QByteArray& file)
{
    QList<QByteArray> pairs;
    for (const QByteArray& line : file.split('\n'))
    {
        const QList<QByteArray> values = line.split('\t');
        pairs.append(values.size() > 1 ? values[0] + "\t" + values[1] : line);
    }
    return pairs;
}

QByteArray WithoutKeys(const QByteArray& file)
{
    QByteArray out;
    for (const QByteArray& line : file.split('\n'))
        out += line.mid(line.indexOf('\t') + 1) + "\n";
    return out;
}

// The control-file blocks of the health tables, in their order.
QByteArray HealthBlocks(const QByteArray& controlFile)
{
    static const QStringList titles = {
        "Health Concern Types", "Student Medications", "Student Health Concerns", "Student Immunizations",
        "Student Medical",      "Student Allergy",     "Student Medical Allergy"};
    QByteArray blocks;
    for (const QByteArray& block : controlFile.split('*'))
    {
        const QByteArray trimmed = block.trimmed();
        if (!trimmed.startsWith("// "))
            continue;
        const QString title = QString::fromLatin1(trimmed.mid(3, trimmed.indexOf('\r') - 3));
        if (titles.contains(title))
            blocks += trimmed + "\r\n*\r\n";
    }
    return blocks;
}

void HealthExtraction::CheckFlavour(const QString& dsn, const QString& flavour)
{
    const QString folder = FreshFolder(("health-" + dsn).toStdString());
    RecordedEngine engine;
    ParamMap params = Params(folder, dsn);
    QString error;
    ASSERT_TRUE(engine->BeginExecute(params, 1, error)) << engine.Dump();
    for (const LogLine& line : engine.Log())
        EXPECT_GT(line.level, 3) << line.message.toStdString();

    // Streamed without ORDER BY: the server picks the order of the lines.
    for (const char* name : {"HealthConcernTypes.sef", "StuHealthConcern.sef", "StuMedications.sef"})
        EXPECT_EQ(SortedLines(ReadFile(folder + "/" + name)), SortedLines(Expected(flavour, name))) << name;
    // Ordered by student only: the server orders one student's records, and
    // with them the keys, as it likes. Each student keeps its keys and the
    // gaps of the filtered students stay.
    const QByteArray immunizations = ReadFile(folder + "/StuImmunizations.sef");
    const QByteArray expected = Expected(flavour, "StuImmunizations.sef");
    EXPECT_EQ(KeysAndStudents(immunizations), KeysAndStudents(expected));
    EXPECT_EQ(SortedLines(WithoutKeys(immunizations)), SortedLines(WithoutKeys(expected)));
    const QString own = flavour == "tsis" ? "StudentMed.sef" : "StudentAllergy.sef";
    const QString other = flavour == "tsis" ? "StudentAllergy.sef" : "StudentMed.sef";
    EXPECT_EQ(ReadFile(folder + "/" + own), Expected(flavour, own));
    EXPECT_FALSE(QFile::exists(folder + "/" + other));
    EXPECT_EQ(HealthBlocks(ReadFile(folder + "/TSIS SchoolMAX.SDE")), Expected(flavour, "HealthBlocks.SDE"));
}

TEST_F(HealthExtraction, SqliteTsis)
{
    CheckFlavour("TSISDemo", "tsis");
}

TEST_F(HealthExtraction, SqliteSchoolMax)
{
    CheckFlavour("TSISDemoSchmax", "schmax");
}

TEST_F(HealthExtraction, PostgresTsis)
{
    if (!postgres_)
        GTEST_SKIP() << why_;
    CheckFlavour("TSISDemoPG", "tsis");
}

TEST_F(HealthExtraction, PostgresSchoolMax)
{
    if (!postgres_)
        GTEST_SKIP() << why_;
    CheckFlavour("TSISDemoSchmaxPG", "schmax");
}

TEST_F(HealthExtraction, MissingHealthTablesAreSkippedWithTheirMessages)
{
    struct Case
    {
        const char* flavour;
        const char* dsn;
        const char* table;
        std::vector<const char*> messages;
        std::vector<const char*> absent;         // data files not written
        std::vector<const char*> onlyHeaderless; // data files left empty
    };
    const Case cases[] = {
        {"tsis",
         "TSISDemoNoHE094",
         "HE094",
         {"Create Health Concern Types: Table HE094 does not exist."},
         {"HealthConcernTypes.sef"},
         {}},
        {"tsis",
         "TSISDemoNoHE015",
         "HE015",
         {"Create Student Health Concerns: Table HE015 does not exist."},
         {"StuHealthConcern.sef"},
         {}},
        {"tsis",
         "TSISDemoNoHE020",
         "HE020",
         {"Create Student Immunizations: Table HE020 does not exist."},
         {"StuImmunizations.sef"},
         {}},
        {"tsis",
         "TSISDemoNoHE011",
         "HE011",
         {"Create Student Medications: Table HE011 does not exist.",
          "Create Student Med: Table HE011 does not exist."},
         {"StuMedications.sef"},
         {"StudentMed.sef"}},
        {"schmax",
         "TSISDemoSchmaxNoHE012",
         "HE012",
         {"Create Student Allergy: Table HE012 does not exist.",
          "Create StudentMed Allergy: Table HE012 does not exist."},
         {},
         {"StudentAllergy.sef"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.table);
        const std::string table = c.table;
        ASSERT_TRUE(
            AlteredCopy(c.flavour, c.dsn, "DROP VIEW DBTSIS_" + table + "_V; DROP TABLE " + table + ";"));
        const QString folder = FreshFolder(std::string("health-") + c.dsn);
        RecordedEngine engine;
        ParamMap params = Params(folder, c.dsn);
        QString error;
        ASSERT_TRUE(engine->BeginExecute(params, 1, error)) << engine.Dump();
        for (const char* message : c.messages)
        {
            bool found = false;
            for (const LogLine& line : engine.Log())
                found |= line.level == 7 && line.message == message && line.method.isEmpty();
            EXPECT_TRUE(found) << message;
        }
        for (const char* name : c.absent)
            EXPECT_FALSE(QFile::exists(folder + "/" + name)) << name;
        for (const char* name : c.onlyHeaderless)
            EXPECT_EQ(ReadFile(folder + "/" + name), QByteArray()) << name;
        // The other health files are still written.
        EXPECT_TRUE(QFile::exists(folder + "/Students.sef"));
        EXPECT_EQ(QFile::exists(folder + "/StuImmunizations.sef"), table != "HE020");
    }
}

} // namespace
