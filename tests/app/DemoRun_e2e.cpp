// The built tsisbridge run end to end against the SQLite demo district,
// through the ODBC data source that scripts/make-demo-district.sh defines.

#include "BridgeHarness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace
{

// The demo data is built for a fixed day and the run is given the school year,
// so the files do not depend on the day the test runs.

// Time stamps of the control file, and its dates, which follow the day of the run.
QByteArray maskControlFile(const QByteArray& bytes)
{
    QString s = QString::fromLatin1(bytes);
    s.replace(QRegularExpression(QStringLiteral("// [A-Z][a-z]{2} \\d\\d, \\d{4}\r\n")),
              QStringLiteral("// <date>\r\n"));
    s.replace(QRegularExpression(QStringLiteral("// Generated : [^\r]*")),
              QStringLiteral("// Generated : <time>"));
    s.replace(QRegularExpression(QStringLiteral("//  (Start|End|Difference): [^\r]*")),
              QStringLiteral("//  \\1: <time>"));
    s.replace(QRegularExpression(QStringLiteral("#pragma exportdate \"\\d{8}\"")),
              QStringLiteral("#pragma exportdate \"<date>\""));
    return s.toLatin1();
}

class DemoRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(box_.makeDemoDistrict(e2e::kToday)) << "make-demo-district.sh failed";
    }

    BridgeResult run(const QString& out, const QString& school = QStringLiteral("101"))
    {
        // The full export alone: an attendance update would store the day of the run
        // (AttendanceRun_e2e.cpp tests the update).
        return box_.run({QStringLiteral("run"), QStringLiteral("--demo"), QStringLiteral("--dsn=TSISDemo"),
                         QStringLiteral("--district=16"), QStringLiteral("--school=") + school,
                         QStringLiteral("--useyear=true"), QStringLiteral("--year=2026"),
                         QStringLiteral("--path=") + out});
    }

    BridgeSandbox box_;
};

TEST_F(DemoRun, WritesTheImportFolderAndReportsSuccess)
{
    const QString out = box_.path(QStringLiteral("out"));
    const BridgeResult r = run(out);
    ASSERT_EQ(r.status, 0) << qPrintable(r.out) << qPrintable(r.err);
    EXPECT_EQ(r.err, QString());

    // The answer is one progress bracket closed by the engine's completion word.
    const QStringList lines = protocolLines(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.first(), QStringLiteral("inc_progress\tStarting Execution..."));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("start_progress\t")));
    EXPECT_EQ(lines.at(lines.size() - 2), QStringLiteral("inc_progress\tExport complete."));
    EXPECT_EQ(lines.last(), QStringLiteral("end_progress"));
    EXPECT_TRUE(r.out.contains(QStringLiteral("\nbridge_complete\n")));
    EXPECT_TRUE(r.out.contains(
        QStringLiteral("Validate Connection Successful, using Oracle (ODBC); DBTSIS_SY005_V")));

    EXPECT_EQ(e2e::ReadFile(out + QStringLiteral("/Students.sef")), e2e::ExpectedFile(QStringLiteral("Students.sef")));
    EXPECT_EQ(e2e::ReadFile(out + QStringLiteral("/StudentNotes.sef")),
              e2e::ExpectedFile(QStringLiteral("StudentNotes.sef")));
    EXPECT_EQ(e2e::ReadFile(out + QStringLiteral("/StudentCustom.txt")),
              e2e::ExpectedFile(QStringLiteral("StudentCustom.txt")));
    EXPECT_EQ(e2e::ReadFile(out + QStringLiteral("/SchoolConfig.xml")),
              e2e::ExpectedFile(QStringLiteral("SchoolConfig-TSISDemo.xml")));
    EXPECT_EQ(maskControlFile(e2e::ReadFile(out + QStringLiteral("/TSIS SchoolMAX.SDE"))),
              maskControlFile(e2e::ExpectedFile(QStringLiteral("TSIS SchoolMAX.SDE"))));

    EXPECT_EQ(statusFileText(out), statusLine(QStringLiteral("Succeeded"), QStringLiteral("Succeeded")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));
    const QString log = QStringLiteral("TSIS_SchoolMAX--101-") + today() + QStringLiteral(".log");
    EXPECT_TRUE(QFileInfo::exists(out + QLatin1Char('/') + log));

    // A second run keeps the configuration, another school changes it.
    BridgeResult again = run(out);
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.contains(QStringLiteral("Bridge Configuration Did Not Change.")));
    again = run(out, QStringLiteral("202"));
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.contains(QStringLiteral("Bridge Configuration Changed.")));
}

TEST_F(DemoRun, ConnectionAndSchoolTestsAnswerFromTheDatabase)
{
    BridgeResult r = box_.run(
        {QStringLiteral("test"), QStringLiteral("--group=connection"), QStringLiteral("--dsn=TSISDemo")});
    EXPECT_EQ(r.status, 0);
    const QString connection = protocolLines(r.out);
    // Once from the application's test, once from the engine's validation.
    EXPECT_EQ(connection.count(QStringLiteral("inc_progress\tBeginning test...\n")), 2);
    EXPECT_TRUE(
        connection.startsWith(QStringLiteral("start_progress\t0\ninc_progress\tBeginning test...\n")));
    EXPECT_TRUE(connection.endsWith(
        QStringLiteral("test\tconnection\tsuccess\tConnection Successful.\nend_progress\n")));

    r = box_.run({QStringLiteral("test"), QStringLiteral("--group=school"), QStringLiteral("--dsn=TSISDemo"),
                  QStringLiteral("--district=16"), QStringLiteral("--school=101")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(protocolLines(r.out).endsWith(
        QStringLiteral("test\tschool\tsuccess\tDistrict and School Validated.\nend_progress\n")));

    r = box_.run({QStringLiteral("test"), QStringLiteral("--group=school"), QStringLiteral("--dsn=TSISDemo"),
                  QStringLiteral("--district=16"), QStringLiteral("--school=999")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(protocolLines(r.out).endsWith(
        QStringLiteral("test\tschool\tfail\tDistrict and School Not Valid.\nend_progress\n")));
}

TEST_F(DemoRun, ListsAnswerFromTheDatabase)
{
    BridgeResult r = box_.run(
        {QStringLiteral("params"), QStringLiteral("--paramkey=district"), QStringLiteral("--dsn=TSISDemo")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(protocolLines(r.out).endsWith(
        QStringLiteral("district_list\tdistrict\t16\tDistrict\t\n"
                       "district_list\tdistrict\t27\tDistrict\t\nend_progress\n")));

    r = box_.run({QStringLiteral("params"), QStringLiteral("--paramkey=school"),
                  QStringLiteral("--dsn=TSISDemo"), QStringLiteral("--district=16")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(
        protocolLines(r.out).endsWith(QStringLiteral("school_list\tschool\t101\tLincoln Elementary School\t\n"
                                                     "school_list\tschool\t202\tJefferson Middle School\t\n"
                                                     "school_list\tschool\t303\tO'Connor High School\t\n"
                                                     "end_progress\n")));

    // The teacher list needs a user and a password besides the data source.
    r = box_.run({QStringLiteral("params"), QStringLiteral("--paramkey=teacher"),
                  QStringLiteral("--dsn=TSISDemo"), QStringLiteral("--user=demo"),
                  QStringLiteral("--pwd=demo"), QStringLiteral("--district=16"),
                  QStringLiteral("--school=101")});
    EXPECT_EQ(r.status, 0);
    const QString teachers = protocolLines(r.out);
    EXPECT_TRUE(teachers.contains(QStringLiteral("\nbridgelist\tteacher\t")));
    EXPECT_TRUE(teachers.endsWith(QStringLiteral("bridgelist\tteacher\t9001\tCher\t\nend_progress\n")));
}

} // namespace
