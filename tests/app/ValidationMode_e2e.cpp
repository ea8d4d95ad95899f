#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

QStringList withValidate(QStringList args, int n)
{
    args << QStringLiteral("--validate=%1").arg(n);
    return args;
}

const QString S0 = QStringLiteral("start_progress\t0\n");
const QString End = QStringLiteral("end_progress\n");

TEST(ValidationMode, ParamsWithoutParamkey)
{
    const QStringList group{QStringLiteral("params"), QStringLiteral("--group=connection")};
    BridgeSandbox box;
    const BridgeResult normal = box.run(group);
    expectCases({
        {withValidate(group, 0), 0, normal.out, QString()},
        {withValidate(group, 1), 1, S0 + End, QString()},
        {withValidate(group, 2), 2, QString(), QString()},
        {withValidate(group, 3), 3, S0, QString()},
        {withValidate(group, 4), 4,
         QStringLiteral("warning\tgroup\tNo parameters for this group\n") + S0 + End, QString()},
        {withValidate(group, 9), 9, S0 + End, QString()},
    });
}

TEST(ValidationMode, ParamsWithParamkey)
{
    const QStringList key{QStringLiteral("params"), QStringLiteral("--paramkey=nosuch")};
    expectCases({
        {withValidate(key, 1), 1,
         QStringLiteral("warning\tconnection\tRequired parameter missing.\n") + S0 + End,
         QStringLiteral("missing\tdsn\tDSN missing or blank.\n")},
        {withValidate(key, 2), 2, QString(), QString()},
        {withValidate(key, 3), 3, S0, QString()},
        {withValidate(key, 4), 4,
         QStringLiteral("warning\tparamkey\tnosuch does not exist in this App.\n") + S0 + End, QString()},
        {withValidate(key, 5), 5, S0 + End, QString()},
        // Zero runs the normal command.
        {withValidate(key, 0), 1,
         QStringLiteral("warning\tparamkey\tnosuch does not exist in this Application.\n") + S0 + End,
         QString()},
    });
}

TEST(ValidationMode, ParamsZeroAnswersWithDemoValues)
{
    const QString dsn = QStringLiteral("--dsn=Sis");
    expectCases({
        {{QStringLiteral("params"), QStringLiteral("--paramkey=district"), dsn,
          QStringLiteral("--validate=0")},
         0,
         QStringLiteral("district_list\tdistrict\t1\tFirst District (1)\t\n"
                        "district_list\tdistrict\t2\tSecond District (2)\t\n"
                        "district_list\tdistrict\t3\tThird District (3)\t\n"),
         QString()},
        {{QStringLiteral("params"), QStringLiteral("--paramkey=school"), dsn, QStringLiteral("--district=1"),
          QStringLiteral("--validate=0")},
         0,
         QStringLiteral("school_list\tschool\t1\tElementary (1)\t\n"
                        "school_list\tschool\t2\tMiddle (2)\t\n"
                        "school_list\tschool\t3\tHigh School (3)\t\n"),
         QString()},
        {{QStringLiteral("params"), QStringLiteral("--paramkey=year"), dsn, QStringLiteral("--district=1"),
          QStringLiteral("--school=2"), QStringLiteral("--validate=0")},
         0,
         QStringLiteral("year_list\tyear\t2008\t2008-2009\t\n"
                        "year_list\tyear\t2009\t2009-2010\t\n"
                        "year_list\tyear\t2010\t2010-2011\t\n"),
         QString()},
        {{QStringLiteral("params"), QStringLiteral("--paramkey=teacher"), QStringLiteral("--validate=0")},
         0,
         QStringLiteral("bridgelist\tteacher\t1\tAnna\t\n"
                        "bridgelist\tteacher\t2\tBen\t\n"
                        "bridgelist\tteacher\t3\tCarla\t\n"),
         QString()},
        {{QStringLiteral("params"), QStringLiteral("--paramkey=path"), QStringLiteral("--validate=0")},
         1,
         End,
         QStringLiteral("error\tNo Parameter Return Type Set\tNo parameter return set for type: folder\n")},
    });
}

TEST(ValidationMode, Defaults)
{
    // The settings file is never read.
    const QStringList defaults{QStringLiteral("defaults")};
    expectCases({
        {withValidate(defaults, 0), 0, S0 + End, QString()},
        {withValidate(defaults, 1), 1, S0 + End, QString()},
        {withValidate(defaults, 2), 2, QString(), QString()},
        {withValidate(defaults, 3), 3, S0, QString()},
        {withValidate(defaults, 5), 5, S0 + End, QString()},
    });
}

TEST(ValidationMode, Test)
{
    const QStringList test{QStringLiteral("test"), QStringLiteral("--group=school")};
    expectCases({
        {withValidate(test, 0), 0,
         kStartedLine + S0 +
             QStringLiteral("inc_progress\tBeginning test...\n"
                            "test\tschool\tsuccess\tConnection Successful.\n") +
             End,
         QString()},
        {withValidate(test, 1), 1,
         kStartedLine + S0 + QStringLiteral("test\tschool\tfail\tParameter not valid.\n") + End, QString()},
        {withValidate(test, 2), 2, kStartedLine, QString()},
        {withValidate(test, 3), 3, kStartedLine + S0, QString()},
        {withValidate(test, 6), 6, kStartedLine + S0 + End, QString()},
    });
}

TEST(ValidationMode, Version)
{
    const QStringList version{QStringLiteral("version")};
    BridgeSandbox box;
    const BridgeResult normal = box.run(version);
    expectCases({
        {withValidate(version, 0), 0, normal.out, QString()},
        {withValidate(version, 1), 1, QStringLiteral("start_progress\t1\n"), QString()},
        {withValidate(version, 2), 2, QString(), QString()},
        {withValidate(version, 7), 7, S0 + End, QString()},
    });
}

class ValidationRun : public ::testing::Test
{
protected:
    BridgeResult run(int n)
    {
        return box.run({QStringLiteral("run"), QStringLiteral("--path=") + out, QStringLiteral("--dsn=Sis"),
                        QStringLiteral("--district=7"), QStringLiteral("--school=0042"),
                        QStringLiteral("--validate=%1").arg(n)});
    }
    QString prelude() const
    {
        return QStringLiteral("log\tInformational\thh:mm:ss\tLogManager::setupLogFile\tLog file ") + out +
               QStringLiteral("/TSIS_SchoolMAX--0042-") + today() + QStringLiteral(".log setup.\n") +
               kStartedLine;
    }

    BridgeSandbox box;
    QString out = box.path(QStringLiteral("out"));
};

TEST_F(ValidationRun, ZeroWritesTwelveProtocolLines)
{
    const BridgeResult r = run(0);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(maskTimes(r.out),
              prelude() + QStringLiteral("start_progress\t10\n"
                                         "inc_progress\tStart Extraction...\n"
                                         "inc_progress\tValidate Connection Successful, using Oracle "
                                         "(ODBC) with prefix.\n"
                                         "inc_progress\tReading Look up Tables\n"
                                         "inc_progress\tReading Custom Field List...\n"
                                         "inc_progress\tReading Student Transportation...\n"
                                         "inc_progress\tReading Student Demographics...\n"
                                         "inc_progress\tReading Student Grades...\n"
                                         "inc_progress\tReading Student Period Attendance "
                                         "(08/25/2008 to 08/31/2008)...\n"
                                         "inc_progress\tReading Cached Period Attendance...\n"
                                         "inc_progress\tExport complete.\n"
                                         "end_progress\n"));
    EXPECT_EQ(r.err, QString());
    const QString log = QStringLiteral("TSIS_SchoolMAX--0042-") + today() + QStringLiteral(".log");
    EXPECT_EQ(BridgeSandbox::files(out),
              QStringList({QStringLiteral("BridgeStatus.tmp"), kStatusFile, log, kFinishedFile}));
    EXPECT_EQ(statusFileText(out), statusLine(QStringLiteral("Succeeded"), QStringLiteral("Succeeded")));
}

TEST_F(ValidationRun, OtherNumbers)
{
    BridgeResult r = run(1);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(maskTimes(r.out), prelude() + S0 + End);
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("Failed on extraction.")));

    r = run(2);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(maskTimes(r.out), prelude());

    r = run(3);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(maskTimes(r.out), prelude() + S0);

    r = run(5);
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(maskTimes(r.out), prelude() + S0 + End);
}

TEST(ValidationMode, StatusFileKeepsTheCannedMessage)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    BridgeResult r = box.run({QStringLiteral("params"), QStringLiteral("--paramkey=dsn"),
                              QStringLiteral("--validate=4"), QStringLiteral("--path=") + out});
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("dsn does not exist in this App.")));

    r = box.run({QStringLiteral("params"), QStringLiteral("--paramkey=dsn"), QStringLiteral("--validate=1"),
                 QStringLiteral("--path=") + out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("Failed retrieving parameters.")));

    r = box.run({QStringLiteral("test"), QStringLiteral("--group=school"), QStringLiteral("--validate=2"),
                 QStringLiteral("--path=") + out});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("Failed testing parameters.")));
}

} // namespace
