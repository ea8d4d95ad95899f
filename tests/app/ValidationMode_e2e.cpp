// --validate=N: the front-end's check of the command line interface. Each
// command answers with the canned lines and exit status of the number.

#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

const QString S0 = u"start_progress\t0\n"_s;
const QString End = u"end_progress\n"_s;

TEST(ValidationMode, ParamsDefaultsTestAndVersion)
{
    BridgeSandbox box;
    const QString group = box.run({u"params"_s, u"--group=connection"_s}).out;
    const QString version = box.run({u"version"_s}).out;
    const QString key = u"params --paramkey=nosuch --validate="_s;
    const QString test = u"test --group=school --validate="_s;
    expectCases({
        {u"params --group=connection --validate=0"_s, 0, group, u""_s},
        {u"params --group=connection --validate=1"_s, 1, S0 + End, u""_s},
        {u"params --group=connection --validate=2"_s, 2, u""_s, u""_s},
        {u"params --group=connection --validate=3"_s, 3, S0, u""_s},
        {u"params --group=connection --validate=4"_s, 4,
         u"warning\tgroup\tNo parameters for this group\n"_s + S0 + End, u""_s},
        {u"params --group=connection --validate=9"_s, 9, S0 + End, u""_s},
        {key + u"1"_s, 1, u"warning\tconnection\tRequired parameter missing.\n"_s + S0 + End,
         u"missing\tdsn\tDSN missing or blank.\n"_s},
        {key + u"2"_s, 2, u""_s, u""_s},
        {key + u"3"_s, 3, S0, u""_s},
        {key + u"4"_s, 4, u"warning\tparamkey\tnosuch does not exist in this App.\n"_s + S0 + End, u""_s},
        {key + u"5"_s, 5, S0 + End, u""_s},
        // Zero runs the normal command.
        {key + u"0"_s, 1, u"warning\tparamkey\tnosuch does not exist in this Application.\n"_s + S0 + End,
         u""_s},
        // The settings file is never read.
        {u"defaults --validate=0"_s, 0, S0 + End, u""_s},
        {u"defaults --validate=1"_s, 1, S0 + End, u""_s},
        {u"defaults --validate=2"_s, 2, u""_s, u""_s},
        {u"defaults --validate=3"_s, 3, S0, u""_s},
        {u"defaults --validate=5"_s, 5, S0 + End, u""_s},
        {test + u"0"_s, 0,
         kStartedLine + S0 +
             u"inc_progress\tBeginning test...\ntest\tschool\tsuccess\tConnection Successful.\n"_s + End,
         u""_s},
        {test + u"1"_s, 1, kStartedLine + S0 + u"test\tschool\tfail\tParameter not valid.\n"_s + End, u""_s},
        {test + u"2"_s, 2, kStartedLine, u""_s},
        {test + u"3"_s, 3, kStartedLine + S0, u""_s},
        {test + u"6"_s, 6, kStartedLine + S0 + End, u""_s},
        {u"version --validate=0"_s, 0, version, u""_s},
        {u"version --validate=1"_s, 1, u"start_progress\t1\n"_s, u""_s},
        {u"version --validate=2"_s, 2, u""_s, u""_s},
        {u"version --validate=7"_s, 7, S0 + End, u""_s},
        // The status file keeps the canned message.
        {u"params --paramkey=dsn --validate=4 --path=<out>"_s, 4,
         u"warning\tparamkey\tdsn does not exist in this "
         "App.\n"_s +
             S0 + End,
         u""_s, u"Failed\tdsn does not exist in this App."_s},
        {u"params --paramkey=dsn --validate=1 --path=<out>"_s, 1,
         u"warning\tconnection\tRequired parameter missing.\n"_s + S0 + End,
         u"missing\tdsn\tDSN missing or blank.\n"_s, u"Failed\tFailed retrieving parameters."_s},
        {u"test --group=school --validate=2 --path=<out>"_s, 2, kStartedLine, u""_s,
         u"Failed\tFailed testing parameters."_s},
    });
}

TEST(ValidationMode, ParamsZeroAnswersWithDemoValues)
{
    expectCases({
        {u"params --paramkey=district --dsn=Sis --validate=0"_s, 0,
         u"district_list\tdistrict\t1\tFirst District (1)\t\ndistrict_list\tdistrict\t2\tSecond District "
         u"(2)\t\n"
         "district_list\tdistrict\t3\tThird District (3)\t\n"_s,
         u""_s},
        {u"params --paramkey=school --dsn=Sis --district=1 --validate=0"_s, 0,
         u"school_list\tschool\t1\tElementary (1)\t\nschool_list\tschool\t2\tMiddle (2)\t\n"
         "school_list\tschool\t3\tHigh School (3)\t\n"_s,
         u""_s},
        {u"params --paramkey=year --dsn=Sis --district=1 --school=2 --validate=0"_s, 0,
         u"year_list\tyear\t2008\t2008-2009\t\nyear_list\tyear\t2009\t2009-2010\t\n"
         "year_list\tyear\t2010\t2010-2011\t\n"_s,
         u""_s},
        {u"params --paramkey=teacher --validate=0"_s, 0,
         u"bridgelist\tteacher\t1\tAnna\t\nbridgelist\tteacher\t2\tBen\t\nbridgelist\tteacher\t3\tCarla\t\n"_s,
         u""_s},
        {u"params --paramkey=path --validate=0"_s, 1, End,
         u"error\tNo Parameter Return Type Set\tNo parameter return set for type: folder\n"_s},
    });
}

// A run in validation mode never reaches a database: zero answers with the
// canned extraction, the others with their parts of it.
TEST(ValidationMode, Run)
{
    const QString prelude =
        u"log\tInformational\thh:mm:ss\tLogManager::setupLogFile\tLog file <out>/TSIS_SchoolMAX--0042-"_s +
        today() + u".log setup.\n"_s + kStartedLine;
    const QString run = u"run --path=<out> --dsn=Sis --district=7 --school=0042 --validate="_s;
    expectCases({
        {run + u"0"_s, 0,
         prelude + u"start_progress\t10\n"
                   "inc_progress\tStart Extraction...\n"
                   "inc_progress\tValidate Connection Successful, using Oracle (ODBC) with prefix.\n"
                   "inc_progress\tReading Look up Tables\n"
                   "inc_progress\tReading Custom Field List...\n"
                   "inc_progress\tReading Student Transportation...\n"
                   "inc_progress\tReading Student Demographics...\n"
                   "inc_progress\tReading Student Grades...\n"
                   "inc_progress\tReading Student Period Attendance (08/25/2008 to 08/31/2008)...\n"
                   "inc_progress\tReading Cached Period Attendance...\n"
                   "inc_progress\tExport complete.\n"
                   "end_progress\n"_s,
         u""_s},
        {run + u"1"_s, 1, prelude + S0 + End, u""_s},
        {run + u"2"_s, 2, prelude, u""_s},
        {run + u"3"_s, 3, prelude + S0, u""_s},
        {run + u"5"_s, 5, prelude + S0 + End, u""_s},
    });
    // Zero leaves what a successful run leaves, one a failed run's status.
    BridgeSandbox box;
    const QString out = box.path(u"out"_s);
    auto args = [&](const QString& n) { return (QString(run).replace(u"<out>"_s, out) + n).split(u' '); };
    EXPECT_EQ(box.run(args(u"0"_s)).status, 0);
    EXPECT_EQ(BridgeSandbox::files(out),
              QStringList({u"BridgeStatus.tmp"_s, kStatusFile,
                           u"TSIS_SchoolMAX--0042-"_s + today() + u".log"_s, kFinishedFile}));
    EXPECT_EQ(statusFileText(out), statusLine(u"Succeeded"_s, u"Succeeded"_s));
    EXPECT_EQ(box.run(args(u"1"_s)).status, 1);
    EXPECT_EQ(statusFileText(out), statusLine(u"Failed"_s, u"Failed on extraction."_s));
}

} // namespace
