// The commands that answer without a database: usage, the scanner's failures,
// version, params, test and defaults, each a whole answer of the built tsisbridge.

#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

QString versionAnswer()
{
    return u"start_progress\t1\nversion\ttsis\t4.2.9.0\t2.01.0057\tTSIS SchoolMAX (Data Extractor)\t"_s +
           QFileInfo(QStringLiteral(TSISBRIDGE_EXE)).canonicalPath() +
           u"/help/TSISGuide.pdf\nend_progress\n"_s;
}

const QString kFailed = u"Failed\tFailed retrieving parameters."_s;
const QString kSucceeded = u"Succeeded\tSucceeded"_s;

// Usage, help and the scanner's failures, each logged at its level; unmet
// requirements (no status file); version with and without a status folder.
TEST(CommandLine, UsageScannerFailuresAndVersion)
{
    const QString warning = u"log\tWarning      \thh:mm:ss\tAppBase::qMessageOutput\t"_s;
    const QString error = u"log\tError        \thh:mm:ss\tAppBase::qMessageOutput\t"_s;
    expectCases({
        {u""_s, 1, error + u"Lacking required argument\n"_s + kEmptyAnswer, kUsage},
        {u"help"_s, 1, kEmptyAnswer, kUsage},
        {u"params --group=global --help"_s, 1, kEmptyAnswer, kUsage},
        {u"version --nosuch=1"_s, 1, warning + u"Unknown option --nosuch\n"_s + kEmptyAnswer, kUsage},
        {u"version -x"_s, 1, warning + u"Unknown option -x\n"_s + kEmptyAnswer, kUsage},
        // A value given as a separate argument is a second bare word.
        {u"--group global params"_s, 1, error + u"Too many arguments --global\n"_s + kEmptyAnswer, kUsage},
        {u"test"_s, 1, u"warning\ttest\tRequired parameter missing.\n"_s + kEmptyAnswer,
         u"missing\tgroup\tGroup missing or blank.\n"_s, u"-"_s},
        // The status file records the arguments, passwords masked.
        {u"run run --path=<out> --pwdencode=536563726574 --pwd=Plain"_s, 1,
         error + u"Too many arguments --run\n"_s + kEmptyAnswer, kUsage,
         u"Failed\targs: "_s + QStringLiteral(TSISBRIDGE_EXE) +
             u", run, run, --path=<out>, --pwdencode=****, --pwd=****"_s},
        {u"version --path=<out> --"_s, 2, warning + u"'--' feature not supported, yet\n"_s, u""_s, u"-"_s, 0},
        // The engine logs its destruction when the application object goes away.
        {u"version --path=<out>"_s, 0, versionAnswer(), u""_s, kSucceeded, 1},
        {u"version"_s, 0, versionAnswer(), u""_s, u"-"_s},
        // A validation value of letters leaves normal operation.
        {u"version --validate=seven"_s, 0, versionAnswer(), u""_s},
        // A trailing double quote (of a Windows front-end) is a separator.
        {u"version --path=<out>\""_s, 0, versionAnswer(), u""_s, kSucceeded},
        {u"frobnicate --path=<out>"_s, 1, u""_s,
         u"error\tApp Problem\tThis command has not been defined: frobnicate\n"_s,
         u"Failed\tCommand not defined."_s},
        {u"run --dsn=Sis"_s, 1, u"warning\tschool\tRequired parameter missing.\n"_s + kEmptyAnswer,
         u"missing\tdistrict\tDistrict missing or blank.\nmissing\tschool\tSchool Number missing or blank.\n"_s,
         u"-"_s},
        {u"run --dsn=Sis --district=1 --school=2"_s, 1,
         u"warning\trun\tRequired parameter missing.\n"_s + kEmptyAnswer,
         u"missing\tpath\tSDE Folder missing or blank.\n"_s, u"-"_s},
    });
}

// The parameter groups and keys, and the warnings and errors of keys that do
// not exist, need other values first or have no values.
TEST(ParamsCommand, AnswersWithoutADatabase)
{
    expectCases({
        {u"params --group=global --path=<out>"_s, 0,
         u"start_progress\t13\n"
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
         "params\tinactivedate\tdefault\tInactive Date\tInclude Inactive Staff and Students after this "
         "date.\t\n"
         "params\tyear\tdefault\tSchoolYear\tSchool Year, hidden used for testing\t\n"
         "params\tteacher\tbridgelist\tTeacher\tList of teachers available in associated bridge\t\n"
         "end_progress\n"_s,
         u""_s, kSucceeded},
        {u"params --group=nosuch --path=<out>"_s, 1,
         u"warning\tgroup\tNo parameters for this group\n"_s + kEmptyAnswer, u""_s, kFailed},
        {u"params --group=connection"_s, 0,
         u"start_progress\t5\n"
         "params\tdsnheader\theader\tData Source Name and Login Information\t\t\n"
         "params\tdsnlabel\tlabel\tPlease enter the Data Source Name of the ODBC Data Source that you set up "
         "to "
         "connect to the SMS Database\t\t\n"
         "params\tdsn\tedit\tODBC DSN\tName of DSN from existing Data Source\t\n"
         "params\tuser\tedit\tUsername\tUsername corresponding to ODBC DSN\t\n"
         "params\tpwdencode\tpassword\tPassword\tPassword  corresponding to ODBC DSN\t\n"
         "end_progress\n"_s,
         u""_s},
        {u"params --paramkey=pwd"_s, 1,
         u"warning\tparamkey\tpwd does not exist in this Application.\n"_s + kEmptyAnswer, u""_s},
        {u"params --paramkey=school --dsn=Sis"_s, 1,
         u"warning\tparams\tRequired params missing.\n"_s + kEmptyAnswer,
         u"missing\tdistrict\tDistrict missing or blank.\n"_s},
        {u"params --paramkey=year"_s, 1,
         u"warning\tconnection\tRequired parameter missing.\n"_s + kEmptyAnswer,
         u"missing\tdsn\tODBC DSN missing or blank.\nmissing\tuser\tUsername missing or blank.\n"
         "missing\tpwdencode\tPassword missing or blank.\n"_s},
        {u"params --paramkey=dsn"_s, 1, kEmptyAnswer,
         u"error\tNo Parameter Return Type Set\tNo parameter return set for type: edit\n"_s},
    });
}

TEST(TestCommand, AnswersWithoutADatabase)
{
    const QString start = kStartedLine + u"start_progress\t0\n"_s;
    expectCases({
        // Without a data source the connection fails first.
        {u"test --group=school --district=7 --path=<out>"_s, 1,
         start +
             u"warning\tconnection\tRequired parameter missing.\ntest\tschool\tfail\tParameter not valid.\n"
             "end_progress\n"_s,
         u"missing\tdsn\tODBC DSN missing or blank.\nmissing\tuser\tUsername missing or blank.\n"
         "missing\tpwdencode\tPassword missing or blank.\n"_s,
         u"Failed\tParameter not valid."_s},
        {u"test --group=school --dsn=Sis"_s, 1,
         start + u"warning\tschool\tRequired parameter missing.\ntest\tschool\tfail\tParameter not valid.\n"
                 "end_progress\n"_s,
         u"missing\tdistrict\tDistrict missing or blank.\nmissing\tschool\tSchool Number missing or blank.\n"_s},
        {u"test --group=global"_s, 1, start + u"inc_progress\tBeginning test...\nend_progress\n"_s,
         u"error\tGroup Undefined\tGroup is undefined, there is a problem with the bridge, please report "
         u"this "
         "problem to Vantrel Support.\n"_s},
    });
}

// A data source that does not exist: the test and the lists fail, the driver
// manager's reason reaches the log.
TEST(TestCommand, ConnectionTestAndListsFailForAMissingDataSource)
{
    BridgeSandbox box;
    const QString out = box.path(u"out"_s);
    expectProtocol(
        box, {
                 {u"test --group=connection --dsn=NoSuchSis --path="_s + out, 1,
                  u"start_progress\t0\ninc_progress\tBeginning test...\ninc_progress\tSetting Database Type\n"
                  "test\tconnection\tfail\tConnection Failed.\nend_progress\n"_s,
                  u"Data source name not found"_s},
                 {u"params --paramkey=district --dsn=NoSuchSis"_s, 1,
                  u"start_progress\t0\ninc_progress\tSetting Database Type\nwarning\tLoading District "
                  u"Failed\tLoading "
                  "Districts failed.  Consult the logs to discover what the problem is.\nend_progress\n"_s,
                  u"Data source name not found"_s},
                 {u"params --paramkey=teacher"_s,
                  1,
                  u"start_progress\t0\nwarning\tteacher\tLoading Bridgelist failed.  Consult the logs to "
                  u"discover what "
                  "the problem is.\nend_progress\n"_s,
                  {},
                  u"missing\tuser\tuser missing or blank.\n"_s},
             });
    EXPECT_EQ(statusFileText(out), statusLine(u"Failed"_s, u"Connection Failed."_s));
}

// The settings file: two schools, refused files, and the search below Solvane
// without a path (the application's own data folder has none, a sibling
// product's has).
TEST(DefaultsCommand, ReadsTheSettingsFile)
{
    BridgeSandbox box;
    const QString appPath = u"log\tInformational\thh:mm:ss\tSISConfig::AppDataPath\tappPath: "_s +
                            box.dataHome() + u"/Solvane/TSIS\n"_s;
    const QString handheld = box.dataHome() + u"/Solvane/Handheld/SVConfig.xml"_s;
    const struct
    {
        QString file; // written with the text, or "" (none)
        QByteArray text;
        QStringList args;
        int status;
        QString out;
    } cases[] = {
        {box.path(u"SVConfig.xml"_s),
         "<?xml version=\"1.0\"?>\n<SVSchoolConfFile>\n  <SVSchoolConf SISImportFolder=\"C:\\SDE\\One\" "
         "SISDSN=\"TsisDsn\" SISUserName=\"reader\" SISPassword=\"41424344\" SISSchoolDistrict=\"0007\" "
         "SchoolNumber=\"0042\"/>\n  <Schools>\n    <SVSchoolConf SISImportFolder=\"/data/two\" "
         "SISUserName=\"other\" SchoolNumber=\"0043\"/>\n  </Schools>\n</SVSchoolConfFile>\n",
         {u"--path="_s + box.path(u"SVConfig.xml"_s)},
         0,
         u"start_progress\t2\nstart_setting\nsetting\tdefault\tpath\tC:"
         u"\\SDE\\One\nsetting\tconnection\tdsn\tTsisDsn\n"
         "setting\tconnection\tuser\treader\nsetting\tconnection\tpwdencode\t41424344\n"
         "setting\tschool\tdistrict\t0007\nsetting\tschool\tschool\t0042\nend_setting\nstart_setting\n"
         "setting\tdefault\tpath\t/data/two\nsetting\tconnection\tdsn\t\nsetting\tconnection\tuser\tother\n"
         "setting\tconnection\tpwdencode\t\nsetting\tschool\tdistrict\t\nsetting\tschool\tschool\t0043\n"
         "end_setting\nend_progress\n"_s},
        {box.path(u"Other.xml"_s),
         "<Settings><SVSchoolConf SISDSN=\"x\"/></Settings>\n",
         {u"--path="_s + box.path(u"Other.xml"_s)},
         1,
         kEmptyAnswer},
        {box.path(u"Broken.xml"_s),
         "<SVSchoolConfFile><SVSchoolConf>\n",
         {u"--path="_s + box.path(u"Broken.xml"_s)},
         1,
         kEmptyAnswer},
        {u""_s,
         "",
         {u"--path="_s + box.path(u"none/SVConfig.xml"_s)},
         1,
         u"start_progress\t0\nlog\tWarning      \thh:mm:ss\tSISConfig::commandDefaults\tCould not open: "_s +
             box.path(u"none/SVConfig.xml"_s) + u"\nend_progress\n"_s},
        {u""_s, "", {}, 1, appPath + kEmptyAnswer},
        {handheld,
         "<SVSchoolConfFile><SVSchoolConf SISDSN=\"Found\"/></SVSchoolConfFile>",
         {},
         0,
         appPath +
             u"start_progress\t1\nstart_setting\nsetting\tdefault\tpath\t\nsetting\tconnection\tdsn\tFound\n"
             "setting\tconnection\tuser\t\nsetting\tconnection\tpwdencode\t\nsetting\tschool\tdistrict\t\n"
             "setting\tschool\tschool\t\nend_setting\nend_progress\n"_s},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file.toStdString() + " " + c.args.join(u' ').toStdString());
        if (c.file == handheld)
            QDir().mkpath(box.dataHome() + u"/Solvane/TSIS"_s);
        if (!c.file.isEmpty())
            BridgeSandbox::writeText(c.file, c.text);
        const BridgeResult r = box.run(QStringList{u"defaults"_s} + c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(maskTimes(r.out), c.out);
        EXPECT_EQ(r.err, QString());
    }
}

} // namespace
