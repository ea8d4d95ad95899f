#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

TEST(ParamsCommand, GlobalGroupListsThirteenParameters)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const BridgeResult r = box.run(
        {QStringLiteral("params"), QStringLiteral("--group=global"), QStringLiteral("--path=") + out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringLiteral(
                         "start_progress\t13\n"
                         "params\tall\tswitch\tExtract All Data\tExtract all available data.\t\n"
                         "params\tatt\tswitch\tExtract All Data\tExtract all available data.\t\n"
                         "params\tdemo\tswitch\tExtract All Data\tExtract all available data.\t\n"
                         "params\thelp\tswitch\tHelp\tShow command line usage.\t\n"
                         "params\tgroup\tdefault\tGroup\tSet group.\t\n"
                         "params\tparamkey\tdefault\tParam Key\tReturn parameter information\t\n"
                         "params\tpath\tfolder\tSDE Folder\tSet the SDE Folder\t\n"
                         "params\tlogpath\tfolder\tLog Folder\tSet the Log Folder\t\n"
                         "params\tlog\tdefault\tLog\tSet the logging style.\t\n"
                         "params\tvalidate\tdefault\tValidate\tValidate command line interface features.\t\n"
                         "params\tinactivedate\tdefault\tInactive Date\tInclude Inactive Staff and Students "
                         "after this date.\t\n"
                         "params\tyear\tdefault\tSchoolYear\tSchool Year, hidden used for testing\t\n"
                         "params\tteacher\tbridgelist\tTeacher\tList of teachers available in associated "
                         "bridge\t\n"
                         "end_progress\n"));
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(statusFileText(out), statusLine(QStringLiteral("Succeeded"), QStringLiteral("Succeeded")));
}

TEST(ParamsCommand, UnknownGroupIsAWarning)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const BridgeResult r = box.run(
        {QStringLiteral("params"), QStringLiteral("--group=nosuch"), QStringLiteral("--path=") + out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("warning\tgroup\tNo parameters for this group\n") + kEmptyAnswer);
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("Failed retrieving parameters.")));
}

TEST(ParamsCommand, EngineListsFailForAMissingDataSource)
{
    BridgeSandbox box;
    BridgeResult r = box.run(
        {QStringLiteral("params"), QStringLiteral("--paramkey=district"), QStringLiteral("--dsn=NoSuchSis")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(protocolLines(r.out),
              QStringLiteral("start_progress\t0\n"
                             "inc_progress\tSetting Database Type\n"
                             "warning\tLoading District Failed\tLoading Districts failed.  Consult the logs to "
                             "discover what the problem is.\n"
                             "end_progress\n"));
    // The driver manager's reason reaches the log.
    EXPECT_TRUE(r.out.contains(QStringLiteral("Data source name not found")));
    EXPECT_EQ(r.err, QString());

    r = box.run({QStringLiteral("params"), QStringLiteral("--paramkey=teacher")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(protocolLines(r.out),
              QStringLiteral("start_progress\t0\n"
                             "warning\tteacher\tLoading Bridgelist failed.  Consult the logs to discover what the "
                             "problem is.\n"
                             "end_progress\n"));
}

// Answers without a database: the connection group, and the warnings and
// errors of keys that do not exist, need other values first or have no values.
TEST(ParamsCommand, AnswersWithoutADatabase)
{
    expectCases({
        {{QStringLiteral("params"), QStringLiteral("--group=connection")},
         0,
         QStringLiteral(
                         "start_progress\t5\n"
                         "params\tdsnheader\theader\tData Source Name and Login Information\t\t\n"
                         "params\tdsnlabel\tlabel\tPlease enter the Data Source Name of the ODBC Data Source "
                         "that you set up to connect to the SMS Database\t\t\n"
                         "params\tdsn\tedit\tODBC DSN\tName of DSN from existing Data Source\t\n"
                         "params\tuser\tedit\tUsername\tUsername corresponding to ODBC DSN\t\n"
                         "params\tpwdencode\tpassword\tPassword\tPassword  corresponding to ODBC DSN\t\n"
                         "end_progress\n"),
         QString()},
        {{QStringLiteral("params"), QStringLiteral("--paramkey=pwd")},
         1,
         QStringLiteral("warning\tparamkey\tpwd does not exist in this Application.\n") + kEmptyAnswer,
         QString()},
        {{QStringLiteral("params"), QStringLiteral("--paramkey=school"), QStringLiteral("--dsn=Sis")},
         1,
         QStringLiteral("warning\tparams\tRequired params missing.\n") + kEmptyAnswer,
         QStringLiteral("missing\tdistrict\tDistrict missing or blank.\n")},
        {{QStringLiteral("params"), QStringLiteral("--paramkey=year")},
         1,
         QStringLiteral("warning\tconnection\tRequired parameter missing.\n") + kEmptyAnswer,
         QStringLiteral("missing\tdsn\tODBC DSN missing or blank.\n"
                        "missing\tuser\tUsername missing or blank.\n"
                        "missing\tpwdencode\tPassword missing or blank.\n")},
        {{QStringLiteral("params"), QStringLiteral("--paramkey=dsn")},
         1,
         kEmptyAnswer,
         QStringLiteral("error\tNo Parameter Return Type Set\tNo parameter return set for type: edit\n")},
    });
}

} // namespace
