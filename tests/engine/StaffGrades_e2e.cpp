// Staff Demographics, Student Grades, Grade Comments and Grade Types of a full
// extraction, from the demo district in SQLite and in PostgreSQL.
#include <algorithm>

#include "EngineDemoHarness.h"

using namespace enginee2e;

namespace
{

class StaffGradesExtraction : public ::testing::TestWithParam<const char*>
{
protected:
    static void SetUpTestSuite()
    {
        withPostgres_ = PostgresAvailable(why_);
        demo_ = new DemoDistrict({"tsis"}, withPostgres_, "staffgrades");
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
    static bool Postgres() { return QString(GetParam()).endsWith("PG"); }

    // A full export into a folder of its own; the folder's path.
    QString Run(RecordedEngine& engine)
    {
        ParamMap params = RunParams(FreshFolder(std::string("staffgrades-") + GetParam()), GetParam());
        if (Postgres())
        {
            const char* user = std::getenv("TSIS_PG_USER");
            params["user"] = user ? QString(user) : QString("tsis");
            params["pwd"] = "unused";
        }
        QString error;
        EXPECT_TRUE(engine->BeginExecute(params, 1, error)) << error.toStdString() << engine.Dump();
        return params["path"];
    }

    static DemoDistrict* demo_;
    static bool withPostgres_;
    static std::string why_;
    FixedToday today_;
};

DemoDistrict* StaffGradesExtraction::demo_ = nullptr;
bool StaffGradesExtraction::withPostgres_ = false;
std::string StaffGradesExtraction::why_;

// The lines of a data file sorted: the queries have no ORDER BY, so the
// server chooses the order; every line stays compared byte for byte.
QList<QByteArray> SortedLines(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The lines of the control file's "Custom Fields" section.
QByteArray CustomFieldLines(const QByteArray& control)
{
    const int start = control.indexOf("// Custom Fields");
    const int end = control.indexOf("// Import Files and Headers");
    if (start < 0 || end < start)
        return "<no custom fields section>";
    return control.mid(start, end - start);
}

// Grade Types has no ORDER BY either, and G2 has two descriptions: the first
// row the server returns gives the label (SQLite in stored order: PRG;
// PostgreSQL sorted: PG).
TEST_P(StaffGradesExtraction, WritesTheExpectedFiles)
{
    RecordedEngine engine;
    const QString folder = Run(engine);

    for (const char* file : {"Staff.sef", "StudentGrades.sef", "GradeScores.sef"})
        EXPECT_EQ(SortedLines(ReadFile(folder + "/" + file)), SortedLines(ExpectedFile(file))) << file;
    const char* control =
        std::string(GetParam()) == "TSISDemoPG" ? "TSIS SchoolMAX-PG.SDE" : "TSIS SchoolMAX.SDE";
    EXPECT_EQ(CustomFieldLines(ReadFile(folder + "/TSIS SchoolMAX.SDE")),
              CustomFieldLines(ExpectedFile(control)));
}

TEST_P(StaffGradesExtraction, GradeTypesFinishAfterStudentGradesAndStaffComesLast)
{
    RecordedEngine engine;
    Run(engine);

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
}

INSTANTIATE_TEST_SUITE_P(Databases, StaffGradesExtraction, ::testing::Values("TSISDemo", "TSISDemoPG"));

} // namespace
