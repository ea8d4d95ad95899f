#include <gtest/gtest.h>

#include "OdbcTestEnv.h"

namespace
{

// unixODBC must see the test configuration before its first call, so it is
// set up before any test of this program runs.
class OdbcTestEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { odbctest::SetUpOdbcTestEnv(); }
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new OdbcTestEnvironment);

} // namespace
