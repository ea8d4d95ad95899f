// The command time-out set on an open connection governs the statements run
// after it, in both directions (PostgreSQL: the one driver here that waits).
#include <gtest/gtest.h>

#include "DataAccessBackends.h"
#include "ODBCDataAccess.h"
#include "OdbcTestEnv.h"
#include "XException.h"

namespace
{

TEST(StatementTimeout, ChangeOnTheOpenConnectionAppliesToTheNextStatement)
{
    DataAccessBackend backend(true);
    std::string why;
    if (!backend.Prepare(why))
    {
        if (odbctest::RunningInCi())
            FAIL() << why;
        GTEST_SKIP() << why;
    }
    ODBCDataAccess da(0, backend.Type());

    // Connected with 30 seconds, lowered to 1: the two-second statement is cut off.
    da.Connect(backend.ConnectionString(da));
    da.SetCommandTimeout(1);
    const std::string message = ThrownText([&] { da.RunQuery("SELECT pg_sleep(2)"); });
    EXPECT_NE(message.find("cancel"), std::string::npos) << message;

    // Connected with 1 second, raised to 10: the same statement completes.
    da.Disconnect();
    da.Connect(backend.ConnectionString(da));
    da.SetCommandTimeout(10);
    EXPECT_EQ(da.RunQuery("SELECT pg_sleep(2)"), 0);
    da.CloseQuery();
}

} // namespace
