// Values of the connection string cannot name keys of their own, and a
// password holding ";" reaches the server as given.
#include <gtest/gtest.h>

#include <unistd.h>

#include "DataAccessBackends.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"
#include "OdbcTestEnv.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcDiagnostics.h"
#include "odbc/OdbcResult.h"

namespace
{
std::string ConnectFailure(int type, const char* d, const char* u, const char* p)
{
    ODBCDataAccess da(0, type);
    const std::string message = ThrownText([&] { da.Connect(da.BuildConnectionString(d, u, p)); });
    EXPECT_FALSE(da.IsConnected());
    return message;
}

// The role a log-in through the system's string gets, or why it failed.
std::string LoggedInAs(const char* user, const char* password)
{
    ODBCDataAccess da(0, DatabaseType::Postgres);
    try
    {
        da.Connect(da.BuildConnectionString("TsisPostgres", user, password));
        return FirstValue(da, "SELECT current_user::text AS v");
    }
    catch (const XException& e)
    {
        return e.what();
    }
}
} // namespace

// The injections of the review: keys hidden in the data source or the user
// never reach the driver manager or the driver as keys.
TEST(ConnectionSafety, KeysInsideValuesAreRefusedOrBraced)
{
    const std::string sqliteRefusal = "A value holding \";\" cannot be given to the SQLite ODBC driver.";
    const std::string file = odbctest::SqliteDsnDatabase() + ";LoadExt=/nonexistent/x.so";
    const struct
    {
        int type;
        const char *d, *u;
        std::string expected;
    } cases[] = {
        {DatabaseType::SQLite, file.c_str(), nullptr, sqliteRefusal},
        {DatabaseType::Postgres, "TsisSqlite", "x;LoadExt=/nonexistent/x.so", sqliteRefusal},
        {DatabaseType::Postgres, "Demo;LoadExt=/nonexistent/x.so", nullptr, "Data source name not found"},
        {DatabaseType::Postgres, "Demo;Driver=/nonexistent/evil.so", nullptr, "Data source name not found"},
        {DatabaseType::OracleODBC, "Demo", "u;Driver=/nonexistent/evil.so", "Data source name not found"},
        {DatabaseType::Postgres, "Demo;Driver=/nonexistent/evil.so1", nullptr,
         "The data source name is longer than 32 characters."},
    };
    for (const auto& c : cases)
    {
        const std::string message = ConnectFailure(c.type, c.d, c.u, nullptr);
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_EQ(message.find("/nonexistent/"), std::string::npos) << message;
    }
}

// The test server trusts every loopback login but for its scram role: a
// login as another role shows the user and the string around the password
// arriving whole, one as the scram role (its password holds ";") the
// password itself arriving unchanged.
TEST(ConnectionSafety, APasswordHoldingSemicolonAndBracesLogsIn)
{
    const char* password = "p;w}d{x";
    OdbcConnection admin;
    TSIS_OPEN_POSTGRES_OR_SKIP(admin, "DSN=TsisPostgres;UID=postgres");
    const std::string role = "tsis_pw_" + std::to_string(::getpid());
    OdbcResult exec;
    exec.Open(Utf8ToUtf16("CREATE ROLE " + role + " LOGIN PASSWORD 'p;w}d{x'"), admin);
    const std::string logged = LoggedInAs(role.c_str(), password);
    // psqlODBC takes keys of its own from the string: one inside the user stays inside it.
    const std::string injected = role + ";Database=postgres";
    const std::string refused =
        ConnectFailure(DatabaseType::Postgres, "TsisPostgres", injected.c_str(), nullptr);
    exec.Open(Utf8ToUtf16("DROP ROLE " + role), admin);
    EXPECT_EQ(logged, role);
    EXPECT_NE(refused.find("role \"{" + injected + "}\" does not exist"), std::string::npos) << refused;

    const std::string scramUser = odbctest::Env("TSIS_PG_SCRAM_USER");
    const std::string scramPassword = odbctest::Env("TSIS_PG_SCRAM_PASSWORD");
    ASSERT_NE(scramPassword.find(';'), std::string::npos) << "start-postgres.sh names no scram role";
    EXPECT_EQ(LoggedInAs(scramUser.c_str(), scramPassword.c_str()), scramUser);
    const std::string wrong = scramPassword + "}{x";
    const std::string message = LoggedInAs(scramUser.c_str(), wrong.c_str());
    EXPECT_NE(message.find("password authentication failed"), std::string::npos) << message;
    EXPECT_EQ(message.find(wrong), std::string::npos) << message;
}
