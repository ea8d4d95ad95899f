#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

const QByteArray kTwoSchools =
    "<?xml version=\"1.0\"?>\n"
    "<SVSchoolConfFile>\n"
    "  <SVSchoolConf SISImportFolder=\"C:\\SDE\\One\" SISDSN=\"TsisDsn\" SISUserName=\"reader\" "
    "SISPassword=\"41424344\" SISSchoolDistrict=\"0007\" SchoolNumber=\"0042\"/>\n"
    "  <Schools>\n"
    "    <SVSchoolConf SISImportFolder=\"/data/two\" SISUserName=\"other\" SchoolNumber=\"0043\"/>\n"
    "  </Schools>\n"
    "</SVSchoolConfFile>\n";

TEST(DefaultsCommand, TwoSchoolElementsGiveTwoSettingBlocks)
{
    BridgeSandbox box;
    const QString file = box.path(QStringLiteral("SVConfig.xml"));
    BridgeSandbox::writeText(file, kTwoSchools);
    const BridgeResult r = box.run({QStringLiteral("defaults"), QStringLiteral("--path=") + file});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringLiteral("start_progress\t2\n"
                                    "start_setting\n"
                                    "setting\tdefault\tpath\tC:\\SDE\\One\n"
                                    "setting\tconnection\tdsn\tTsisDsn\n"
                                    "setting\tconnection\tuser\treader\n"
                                    "setting\tconnection\tpwdencode\t41424344\n"
                                    "setting\tschool\tdistrict\t0007\n"
                                    "setting\tschool\tschool\t0042\n"
                                    "end_setting\n"
                                    "start_setting\n"
                                    "setting\tdefault\tpath\t/data/two\n"
                                    "setting\tconnection\tdsn\t\n"
                                    "setting\tconnection\tuser\tother\n"
                                    "setting\tconnection\tpwdencode\t\n"
                                    "setting\tschool\tdistrict\t\n"
                                    "setting\tschool\tschool\t0043\n"
                                    "end_setting\n"
                                    "end_progress\n"));
    EXPECT_EQ(r.err, QString());
}

TEST(DefaultsCommand, AnotherRootElementIsRefused)
{
    BridgeSandbox box;
    const QString file = box.path(QStringLiteral("Other.xml"));
    BridgeSandbox::writeText(file, "<Settings><SVSchoolConf SISDSN=\"x\"/></Settings>\n");
    const BridgeResult r = box.run({QStringLiteral("defaults"), QStringLiteral("--path=") + file});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, kEmptyAnswer);
    EXPECT_EQ(r.err, QString());
}

TEST(DefaultsCommand, MalformedFileIsRefused)
{
    BridgeSandbox box;
    const QString file = box.path(QStringLiteral("Broken.xml"));
    BridgeSandbox::writeText(file, "<SVSchoolConfFile><SVSchoolConf>\n");
    const BridgeResult r = box.run({QStringLiteral("defaults"), QStringLiteral("--path=") + file});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, kEmptyAnswer);
}

TEST(DefaultsCommand, MissingFileIsLogged)
{
    BridgeSandbox box;
    const QString file = box.path(QStringLiteral("none/SVConfig.xml"));
    const BridgeResult r = box.run({QStringLiteral("defaults"), QStringLiteral("--path=") + file});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(maskTimes(r.out),
              QStringLiteral("start_progress\t0\n"
                             "log\tWarning      \thh:mm:ss\tSISConfig::commandDefaults\tCould not "
                             "open: ") +
                  file + QStringLiteral("\nend_progress\n"));
    EXPECT_EQ(r.err, QString());
}

TEST(DefaultsCommand, WithoutPathTheFileIsFoundBelowSolvane)
{
    BridgeSandbox box;
    // The application's own data folder has no settings; a sibling product's has.
    QDir().mkpath(box.dataHome() + QStringLiteral("/Solvane/TSIS"));
    BridgeSandbox::writeText(box.dataHome() + QStringLiteral("/Solvane/Handheld/SVConfig.xml"),
                             "<SVSchoolConfFile><SVSchoolConf SISDSN=\"Found\"/></SVSchoolConfFile>");
    const BridgeResult r = box.run({QStringLiteral("defaults")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(maskTimes(r.out),
              QStringLiteral("log\tInformational\thh:mm:ss\tSISConfig::AppDataPath\tappPath: ") +
                  box.dataHome() +
                  QStringLiteral("/Solvane/TSIS\n"
                                 "start_progress\t1\n"
                                 "start_setting\n"
                                 "setting\tdefault\tpath\t\n"
                                 "setting\tconnection\tdsn\tFound\n"
                                 "setting\tconnection\tuser\t\n"
                                 "setting\tconnection\tpwdencode\t\n"
                                 "setting\tschool\tdistrict\t\n"
                                 "setting\tschool\tschool\t\n"
                                 "end_setting\n"
                                 "end_progress\n"));
}

TEST(DefaultsCommand, WithoutPathAndNoSolvaneFolderGivesUp)
{
    BridgeSandbox box;
    const BridgeResult r = box.run({QStringLiteral("defaults")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(maskTimes(r.out),
              QStringLiteral("log\tInformational\thh:mm:ss\tSISConfig::AppDataPath\tappPath: ") +
                  box.dataHome() + QStringLiteral("/Solvane/TSIS\n") + kEmptyAnswer);
}

} // namespace
