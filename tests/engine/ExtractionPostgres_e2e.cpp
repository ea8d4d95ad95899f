// The same extraction and lists from the demo district loaded into
// PostgreSQL and read through psqlODBC. Without a server the tests are
// skipped, except under CI, where they fail.
#include <algorithm>

#include "EngineDemoHarness.h"

using namespace enginee2e;

namespace {

class PostgresExtraction : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!PostgresAvailable(why_))
            return;
        demo_ = new DemoDistrict({"tsis", "schmax"}, true);
    }
    static void TearDownTestSuite()
    {
        delete demo_;
        demo_ = nullptr;
        RemoveProcessFolders();
    }
    void SetUp() override
    {
        if (!demo_) {
            if (OnCi())
                FAIL() << "PostgreSQL is required under CI: " << why_;
            GTEST_SKIP() << why_;
        }
        ASSERT_TRUE(demo_->Ok()) << demo_->Error();
    }

    static DemoDistrict* demo_;
    static std::string why_;
    FixedToday today_;
};

DemoDistrict* PostgresExtraction::demo_ = nullptr;
std::string PostgresExtraction::why_;

// psqlODBC takes an empty user of the connection string as the user to log
// in with, so the data sources are used with the server's role.
QString PgUser()
{
    const char* user = std::getenv("TSIS_PG_USER");
    return user ? QString(user) : QString("tsis");
}

ParamMap PgParams(const std::string& folder, const QString& school = "101", const QString& district = "16")
{
    ParamMap params = RunParams(FreshFolder(folder), "TSISDemoPG", school, district);
    params["user"] = PgUser();
    params["pwd"] = "unused";
    return params;
}

// Lines of a data file in their order, or sorted for a query without ORDER BY.
QList<QByteArray> Lines(const QByteArray& file, bool sorted)
{
    QList<QByteArray> lines = file.split('\n');
    if (sorted)
        std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(PostgresExtraction, WritesTheExpectedFiles)
{
    ParamMap params = PgParams("pg-full");
    const QString folder = params["path"];
    RecordedEngine engine;
    QString error;
    ASSERT_TRUE(engine->BeginExecute(params, 1, error)) << engine.Dump();

    // Student Demographics has no ORDER BY: the server chooses the order of
    // its lines, every line and byte of each line is fixed.
    EXPECT_EQ(Lines(ReadFile(folder + "/Students.sef"), true), Lines(ExpectedFile("Students.sef"), true));
    EXPECT_EQ(ReadFile(folder + "/StudentNotes.sef"), ExpectedFile("StudentNotes.sef"));
    // The grade types come in the server's order (no ORDER BY).
    EXPECT_EQ(MaskTimes(ReadFile(folder + "/TSIS SchoolMAX.SDE")), ExpectedFile("TSIS SchoolMAX-PG.SDE"));
    EXPECT_EQ(ReadFile(folder + "/StudentCustom.txt"), ExpectedFile("StudentCustom.txt"));
    EXPECT_EQ(ReadFile(folder + "/SchoolConfig.xml"), ExpectedFile("SchoolConfig-TSISDemoPG.xml"));

    EXPECT_TRUE(engine.Logged("Validate Connection Successful, using Oracle (ODBC); DBTSIS_SY005_V"));
    EXPECT_TRUE(engine.Logged("Alias is set to: tsis"));
    EXPECT_TRUE(engine.Logged("School Year: 2026"));
    EXPECT_TRUE(engine.Logged("School Start Date: 20260831"));
    EXPECT_TRUE(engine.Logged("School End Date: 20270618"));
    for (const LogLine& line : engine.Log())
        EXPECT_GT(line.level, 3) << line.message.toStdString();

    RecordedEngine second;
    ASSERT_TRUE(second->BeginExecute(params, 1, error)) << second.Dump();
    EXPECT_TRUE(second.Logged("Bridge Configuration Did Not Change."));
}

TEST_F(PostgresExtraction, QuotesAndNumbersAreSafe)
{
    RecordedEngine engine;
    QString error;
    ParamMap params = PgParams("pg-quote", "10'1");
    EXPECT_FALSE(engine->BeginExecute(params, 1, error));
    EXPECT_TRUE(engine.Logged("Cannot determine School Year, cannot continue."));
    EXPECT_FALSE(engine.Logged("Error Extracting School Year.")) << engine.Dump();

    RecordedEngine district;
    params = PgParams("pg-district", "101", "x16");
    EXPECT_FALSE(district->BeginExecute(params, 1, error));
    EXPECT_TRUE(error.startsWith("The parameter district must be a whole number")) << error.toStdString();
}

TEST_F(PostgresExtraction, TestsAndListsAnswer)
{
    RecordedEngine engine;
    const XString user(PgUser());
    EXPECT_TRUE(engine->ValidateConnection("TSISDemoPG", user, ""));
    EXPECT_TRUE(engine->ValidateDistrictAndSchoolNum("TSISDemoPG", user, "", "16", "202"));
    EXPECT_FALSE(engine->ValidateDistrictAndSchoolNum("TSISDemoPG", user, "", "16", "2' OR '1'='1"));

    EngineList list;
    ASSERT_TRUE(engine->LoadSchoolDistrictList(list, "TSISDemoPG", user, "")) << engine.Dump();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_STREQ(list.At(0).name.Text(), "District");

    ASSERT_TRUE(engine->LoadSchoolList(list, "TSISDemoPG", user, "", "16")) << engine.Dump();
    ASSERT_EQ(list.Count(), 3);
    EXPECT_STREQ(list.At(2).name.Text(), "O'Connor High School");

    ParamMap teacher;
    teacher["dsn"] = "TSISDemoPG";
    teacher["user"] = PgUser();
    teacher["pwd"] = "unused";
    teacher["district"] = "16";
    teacher["school"] = "101";
    ASSERT_TRUE(engine->LoadBridgeList(list, "teacher", teacher)) << engine.Dump();
    ASSERT_EQ(list.Count(), 32);
    EXPECT_STREQ(list.At(0).name.Text(), "Allen, Jack");
    EXPECT_STREQ(list.At(31).name.Text(), "Cher");

    ASSERT_TRUE(engine->LoadSchoolYearList(list, "16", "101", "TSISDemoSchmaxPG", user, "")) << engine.Dump();
    EXPECT_STREQ(engine->Alias().Text(), "schmax");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_STREQ(list.At(0).key.Text(), "2026");
    EXPECT_STREQ(list.At(0).name.Text(), "2025-2026");
}

} // namespace
