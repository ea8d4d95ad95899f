#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "OdbcTestEnv.h"
#include "odbc/AdoConnection.h"
#include "odbc/AdoRecordset.h"
#include "odbc/OdbcDriverProfile.h"

namespace
{

const char* const kSecret = "Secret-7431";

// Nothing a caller can see after a failure may hold the password.
void ExpectNoSecret(const AdoComError& e)
{
    EXPECT_EQ(std::string(e.what()).find(kSecret), std::string::npos);
    EXPECT_EQ(e.Description().find(kSecret), std::string::npos);
    EXPECT_EQ(e.Source().find(kSecret), std::string::npos);
    for (const AdoProviderError& pe : e.ProviderErrors())
    {
        EXPECT_EQ(pe.description.find(kSecret), std::string::npos) << pe.description;
        EXPECT_EQ(pe.source.find(kSecret), std::string::npos);
    }
}

std::string FreshSqliteFile(const char* name)
{
    const std::string path =
        (std::filesystem::path(odbctest::OdbcTestFolder()) / (std::string("conn_") + name + ".sqlite"))
            .string();
    std::filesystem::remove(path);
    return path;
}

class OdbcConnectionTest : public ::testing::Test
{
protected:
    void SetUp() override { odbctest::SetUpOdbcTestEnv(); }
};

// Opens the PostgreSQL test data source; under CI a missing server fails.
bool OpenPostgres(AdoConnection& c, const std::string& connectionString)
{
    try
    {
        c.Open(connectionString);
        return true;
    }
    catch (const AdoComError& e)
    {
        if (odbctest::RunningInCi())
            ADD_FAILURE() << "the PostgreSQL test server is required under CI: " << e.Description();
        return false;
    }
}

std::u16string SingleText(AdoConnection& c, const std::string& sql)
{
    AdoRecordset rs;
    rs.Open(sql, c);
    return rs.Field(0).Value().text;
}

} // namespace

TEST_F(OdbcConnectionTest, SqliteDatabaseStringOpensTheFile)
{
    const std::string path = FreshSqliteFile("open");
    std::ofstream(path).flush();
    AdoConnection c;
    c.SetMode(ado::adModeRead);
    c.SetConnectionTimeout(15);
    c.SetCommandTimeout(30);
    c.Open("Database=" + path);
    EXPECT_EQ(c.State(), ado::adStateOpen);
    EXPECT_EQ(c.Mode(), ado::adModeRead);
    EXPECT_TRUE(SingleText(c, "SELECT 'ok'") == u"ok");
    c.Close();
    EXPECT_EQ(c.State(), ado::adStateClosed);
}

TEST_F(OdbcConnectionTest, MissingSqliteFileFailsAndIsNotCreated)
{
    const std::string path = FreshSqliteFile("missing");
    AdoConnection c;
    try
    {
        c.Open("Database=" + path);
        FAIL();
    }
    catch (const AdoComError& e)
    {
        EXPECT_FALSE(e.ProviderErrors().empty());
    }
    EXPECT_EQ(c.State(), ado::adStateClosed);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(OdbcConnectionTest, DataSourceFromTheTestConfiguration)
{
    // TsisSqlite is defined in the odbc.ini written for the tests.
    std::filesystem::remove(odbctest::SqliteDsnDatabase());
    AdoConnection c;
    c.Open("Persist Security Info=False;Data Source=TsisSqlite");
    EXPECT_EQ(c.State(), ado::adStateOpen);
    AdoRecordset rs;
    rs.Open("SELECT 40 + 2", c);
    // The definition says nothing about stepping, so the connection steps
    // through rows; the driver then describes a computed column as text.
    const AdoValue v = rs.Field(0).Value();
    EXPECT_EQ(v.type, ado::VT_BSTR);
    EXPECT_TRUE(v.text == u"42");
}

TEST_F(OdbcConnectionTest, DataSourceDefinitionsAreReadFromTheConfiguration)
{
    using P = OdbcDriverProfile;
    EXPECT_NE(P::DriverLibrary("TsisSqlite").find("libsqlite3odbc.so"), std::string::npos);
    EXPECT_EQ(P::DriverLibrary("TsisPostgres").find("sqlite"), std::string::npos);
    EXPECT_EQ(P::DriverLibrary("NoSuchDataSource"), "");
    EXPECT_EQ(P::Attribute("TsisPostgres", "UseDeclareFetch").value_or("(unset)"), "0");
    EXPECT_FALSE(P::Attribute("TsisSqlite", "StepAPI").has_value());
    EXPECT_EQ(P::ExtraKeys("TsisSqlite", false), ";StepAPI=1");
    EXPECT_EQ(P::ExtraKeys("TsisSqlite", true), "");
    EXPECT_EQ(P::ExtraKeys("TsisPostgres", false), "");
    // psqlODBC fetches through a cursor unless the definition or the string says otherwise.
    EXPECT_EQ(P::ExtraKeys("TsisPostgresDefault", false), ";UseDeclareFetch=1;Fetch=5000");
    EXPECT_EQ(P::ExtraKeys("TsisPostgresDefault", false, true), "");
    EXPECT_EQ(P::ExtraKeys("TsisPostgresDefault", false, false, true), ";UseDeclareFetch=1");
    EXPECT_EQ(P::ExtraKeys("TsisPostgresCursor", false), "");
    EXPECT_EQ(P::ExtraKeys("NoSuchDataSource", false), "");
    EXPECT_EQ(P::ExtraKeys("", false), "");
}

TEST_F(OdbcConnectionTest, OpenAndCloseFollowTheObjectState)
{
    const std::string path = FreshSqliteFile("state");
    std::ofstream(path).flush();
    AdoConnection c;
    try
    {
        c.Close();
        FAIL();
    }
    catch (const AdoComError& e)
    {
        EXPECT_EQ(e.Error(), ado::adErrObjectClosed_HR);
    }
    c.Open("Database=" + path);
    try
    {
        c.Open("Database=" + path);
        FAIL();
    }
    catch (const AdoComError& e)
    {
        EXPECT_EQ(e.Error(), ado::adErrObjectOpen_HR);
    }
    EXPECT_EQ(c.State(), ado::adStateOpen);
    c.Close();
    c.Open("Database=" + path); // reopens after a close
    EXPECT_EQ(c.State(), ado::adStateOpen);
}

TEST_F(OdbcConnectionTest, PostgresThroughTheConnectionStringsOfTheDatabaseTypes)
{
    const odbctest::PostgresParams pg = odbctest::PostgresFromEnvironment();
    AdoConnection c;
    // The Postgres type's own shape.
    if (!OpenPostgres(c, "DSN=TsisPostgres;UID=" + pg.user + ";PWD=" + pg.password))
        GTEST_SKIP() << "no PostgreSQL test server (start it with scripts/start-postgres.sh)";
    EXPECT_TRUE(SingleText(c, "SELECT current_user::text") == std::u16string(pg.user.begin(), pg.user.end()));
    c.Close();
    // The MSSQL type's shape, through the ODBC provider.
    c.Open("Provider=MSDASQL;Persist Security Info=False;Data Source=TsisPostgres;Database=" + pg.database +
           ";User ID=" + pg.user + ";");
    EXPECT_TRUE(SingleText(c, "SELECT current_database()::text") ==
                std::u16string(pg.database.begin(), pg.database.end()));
}

TEST_F(OdbcConnectionTest, PostgresLoginFailureReportsTheServerText)
{
    AdoConnection probe;
    if (!OpenPostgres(probe, "DSN=TsisPostgres"))
        GTEST_SKIP() << "no PostgreSQL test server (start it with scripts/start-postgres.sh)";
    AdoConnection c;
    try
    {
        c.Open(std::string("DSN=TsisPostgres;UID=nosuchuser;PWD=") + kSecret);
        FAIL();
    }
    catch (const AdoComError& e)
    {
        ASSERT_FALSE(e.ProviderErrors().empty());
        EXPECT_NE(e.ProviderErrors().front().description.find("role \"nosuchuser\" does not exist"),
                  std::string::npos)
            << e.ProviderErrors().front().description;
        ExpectNoSecret(e);
    }
    EXPECT_EQ(c.State(), ado::adStateClosed);
}
