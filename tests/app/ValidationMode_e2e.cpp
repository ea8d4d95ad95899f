// --validate=N: the front-end's check of the command line interface. Each
// command answers with the canned lines and exit status of the number
// (golden/<Suite>.<Test>.txt).

#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

// Zero runs the normal command; the settings file is never read; the status
// file keeps the canned message.
TRANSCRIPT_TEST(ValidationMode, ParamsDefaultsTestAndVersion)

TRANSCRIPT_TEST(ValidationMode, ParamsZeroAnswersWithDemoValues)

// A run in validation mode never reaches a database: zero answers with the
// canned extraction, the others with their parts of it.
TRANSCRIPT_TEST(ValidationMode, Run)

} // namespace
