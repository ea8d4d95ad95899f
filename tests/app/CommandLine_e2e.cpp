// The commands that answer without a database: usage, the scanner's failures,
// version, params, test and defaults, each a whole answer of the built
// tsisbridge, as golden/<Suite>.<Test>.txt holds it.

#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

// Usage, help and the scanner's failures, each logged at its level; unmet
// requirements (no status file); version with and without a status folder.
TRANSCRIPT_TEST(CommandLine, UsageScannerFailuresAndVersion)

// The parameter groups and keys, and the warnings and errors of keys that do
// not exist, need other values first or have no values.
TRANSCRIPT_TEST(ParamsCommand, AnswersWithoutADatabase)

TRANSCRIPT_TEST(TestCommand, AnswersWithoutADatabase)

// A data source that does not exist: the test and the lists fail, the driver
// manager's reason reaches the log.
TRANSCRIPT_TEST(TestCommand, ConnectionTestAndListsFailForAMissingDataSource)

// The settings file (golden/defaults): two schools, refused files, and the search
// below Solvane without a path (the application's own data folder has none, a
// sibling product's has).
TEST(DefaultsCommand, ReadsTheSettingsFile)
{
    BridgeSandbox box;
    expectTranscript(box);
    QDir().mkpath(box.dataHome() + u"/Solvane/TSIS"_s);
    BridgeSandbox::writeText(box.dataHome() + u"/Solvane/Handheld/SVConfig.xml"_s,
                             "<SVSchoolConfFile><SVSchoolConf SISDSN=\"Found\"/></SVSchoolConfFile>");
    expectTranscript(box, u"-Handheld"_s);
}

} // namespace
