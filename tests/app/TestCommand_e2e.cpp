#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

TEST(TestCommand, SchoolWithoutDsnFailsOnTheConnectionFirst)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const BridgeResult r = box.run({QStringLiteral("test"), QStringLiteral("--group=school"),
                                    QStringLiteral("--district=7"), QStringLiteral("--path=") + out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(maskTimes(r.out),
              kStartedLine + QStringLiteral("start_progress\t0\n"
                                            "warning\tconnection\tRequired parameter missing.\n"
                                            "test\tschool\tfail\tParameter not valid.\n"
                                            "end_progress\n"));
    EXPECT_EQ(r.err, QStringLiteral("missing\tdsn\tODBC DSN missing or blank.\n"
                                    "missing\tuser\tUsername missing or blank.\n"
                                    "missing\tpwdencode\tPassword missing or blank.\n"));
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("Parameter not valid.")));
    EXPECT_EQ(BridgeSandbox::files(out), QStringList({kStatusFile, kFinishedFile}));
}

TEST(TestCommand, ConnectionTestFailsForAMissingDataSource)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const BridgeResult r = box.run({QStringLiteral("test"), QStringLiteral("--group=connection"),
                                    QStringLiteral("--dsn=NoSuchSis"), QStringLiteral("--path=") + out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(maskTimes(r.out).startsWith(kStartedLine));
    EXPECT_EQ(protocolLines(r.out), QStringLiteral("start_progress\t0\n"
                                                   "inc_progress\tBeginning test...\n"
                                                   "inc_progress\tSetting Database Type\n"
                                                   "test\tconnection\tfail\tConnection Failed.\n"
                                                   "end_progress\n"));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Data source name not found")));
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("Connection Failed.")));
}

TEST(TestCommand, BlankValuesAndAnUndefinedGroup)
{
    expectCases({
        {{QStringLiteral("test"), QStringLiteral("--group=school"), QStringLiteral("--dsn=Sis")},
         1,
         kStartedLine + QStringLiteral("start_progress\t0\n"
                                       "warning\tschool\tRequired parameter missing.\n"
                                       "test\tschool\tfail\tParameter not valid.\n"
                                       "end_progress\n"),
         QStringLiteral("missing\tdistrict\tDistrict missing or blank.\n"
                        "missing\tschool\tSchool Number missing or blank.\n")},
        {{QStringLiteral("test"), QStringLiteral("--group=global")},
         1,
         kStartedLine + QStringLiteral("start_progress\t0\ninc_progress\tBeginning test...\nend_progress\n"),
         QStringLiteral("error\tGroup Undefined\tGroup is undefined, there is a problem with the bridge, "
                        "please report this problem to Vantrel Support.\n")},
    });
}

} // namespace
