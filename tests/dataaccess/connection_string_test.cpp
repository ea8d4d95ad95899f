#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
#include "GoldenLines.h"
#include "ODBCDataAccess.h"
#include "odbc/AdoConnectionString.h"

namespace
{
std::string Cs(int type, const char* d, const char* u, const char* p)
{
    ODBCDataAccess da(0, type);
    return da.BuildConnectionString(d, u, p).Text();
}

std::string Thrown(int type)
{
    ODBCDataAccess da(0, type);
    return ThrownText([&] { da.BuildConnectionString("D", "U", "P"); });
}

// The ODBC string a connection string becomes, or "refused: " and why.
std::string Odbc(const std::string& ado, const std::string& user = "", const std::string& password = "",
                 const std::string& sqliteDriver = "SQLite3")
{
    const AdoConnectionStringTranslation t = TranslateAdoConnectionString(ado, sqliteDriver, user, password);
    EXPECT_TRUE(t.ok ? t.error.empty() : t.odbc.empty()) << ado;
    return t.ok ? t.odbc : "refused: " + t.error;
}

} // namespace

TEST(ConnectionString, DisplayNames)
{
    const std::string names =
        "|dBase IV (ODBC)|dBase IV (XBase)|FoxPro (ODBC)|FoxPro (DBF)|MSSQL|MySQL|SQLite|"
        "DB2|Access|Postgres|Oracle (ODBC)|Oracle (OLE)|Oracle Microsoft OLE (MSDAORA)|"
        "Sybase (OLE)|Sybase ODBC|Progress|Mimer|Informix|Top Speed|Lotus Notes|CA-Datacom|";
    std::string::size_type from = 0;
    for (int type = 0; type <= 21; ++type)
    {
        const std::string::size_type to = names.find('|', from);
        EXPECT_EQ(DatabaseType::Name(type), names.substr(from, to - from)) << type;
        from = to + 1;
    }
    EXPECT_STREQ(DatabaseType::Name(22), "");
    EXPECT_STREQ(DatabaseType::Name(-3), "");
    ODBCDataAccess da(0, DatabaseType::TopSpeed);
    EXPECT_STREQ(da.GetDatabaseTypeName().Text(), "Top Speed");
}

TEST(ConnectionString, EveryType)
{
    for (const std::vector<std::string>& c : GoldenLines("connection_strings.txt", "EveryType", 5))
        EXPECT_EQ(Cs(GoldenType(c[0]), GoldenArg(c[1]), GoldenArg(c[2]), GoldenArg(c[3])), c[4]) << c[0];
}

TEST(ConnectionString, UndefinedTypesThrow)
{
    EXPECT_EQ(Thrown(0), "Can't build connection string for unknown database type.");
    EXPECT_EQ(Thrown(17), "Database type not yet defined for BuildConnectionString, please define.");
    EXPECT_EQ(Thrown(22), "Database type not yet defined for BuildConnectionString, please define.");
}

TEST(ConnectionString, LogsTheTypeButNeverThePassword)
{
    ODBCDataAccess da(0, DatabaseType::FoxProDBF);
    DataAccessTestLog log(da);
    da.BuildConnectionString("fox", "user", "Secret-99");
    EXPECT_TRUE(log.Has(8, "Build Connection String for: FoxPro (DBF)"));
    EXPECT_TRUE(log.Has(8, "Build Connection String: Fox Pro DBF Driver"));
    EXPECT_FALSE(log.AnyContains("Secret-99"));
    EXPECT_FALSE(log.AnyContains("Provider="));
}

// A value holding ";", "{" or "}" is braced, so no key can come from inside
// it; the translation for the drivers reads it back as one value.
TEST(ConnectionString, ValuesAreBracedSoNoKeyComesFromInsideThem)
{
    for (const std::vector<std::string>& c : GoldenLines("connection_strings.txt", "Braced", 6))
    {
        const std::string ado = Cs(GoldenType(c[0]), GoldenArg(c[1]), GoldenArg(c[2]), GoldenArg(c[3]));
        EXPECT_EQ(ado, c[4]);
        EXPECT_EQ(Odbc(ado), c[5]);
    }
}

// How the connection translates an ADO connection string for unixODBC.
TEST(ConnectionString, TranslationForTheDriverManager)
{
    for (const std::vector<std::string>& c : GoldenLines("connection_strings.txt", "Translation", 2))
        EXPECT_EQ(Odbc(c[0]), c[1]) << c[0];
    // A user and a password given to Open replace those of the string.
    EXPECT_EQ(Odbc("Data Source=ora;User ID=a;Password=b;", "u2", "p;2"), "DSN=ora;UID=u2;PWD={p;2}");
    EXPECT_EQ(Odbc("DSN=pg;UID=a;PWD=b", "u2"), "DSN=pg;PWD=b;UID=u2");
    EXPECT_EQ(Odbc("Database=/d/x.db", "u2", "p2"), "Driver=SQLite3;Database=/d/x.db;NoCreat=1;StepAPI=1");
    EXPECT_EQ(Odbc("Database=\"/my data/ab.db\"", "", "", "/usr/lib/odbc/libsqlite3odbc.so"),
              "Driver=/usr/lib/odbc/libsqlite3odbc.so;Database=/my data/ab.db;NoCreat=1;StepAPI=1");
}

TEST(ConnectionString, DataSourceAndFetchingTheStringSays)
{
    for (const std::vector<std::string>& c : GoldenLines("connection_strings.txt", "TheStringSays", 3))
    {
        const AdoConnectionStringTranslation t = TranslateAdoConnectionString(c[0]);
        EXPECT_EQ(t.dsn, c[1]) << c[0];
        const std::string sets{t.setsStepApi ? '1' : '0', t.setsDeclareFetch ? '1' : '0',
                               t.setsFetchSize ? '1' : '0'};
        EXPECT_EQ(sets, c[2]) << c[0];
    }
}
