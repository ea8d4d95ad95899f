#include <gtest/gtest.h>

#include "odbc/AdoConnectionString.h"

namespace
{

std::string Odbc(const std::string& ado)
{
    const AdoConnectionStringTranslation t = TranslateAdoConnectionString(ado, "SQLite3");
    EXPECT_TRUE(t.ok) << t.error;
    return t.odbc;
}

std::string Refusal(const std::string& ado)
{
    const AdoConnectionStringTranslation t = TranslateAdoConnectionString(ado, "SQLite3");
    EXPECT_FALSE(t.ok) << t.odbc;
    return t.error;
}

} // namespace

TEST(AdoConnectionString, MsdasqlDataSourceBecomesDsn)
{
    EXPECT_EQ(Odbc("Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;Trusted_Connection=yes;"),
              "DSN=SIS;Trusted_Connection=yes");
    EXPECT_EQ(Odbc("Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;Database=tsisdb;"
                   "User ID=reader;Password=pw;"),
              "DSN=SIS;DATABASE=tsisdb;UID=reader;PWD=pw");
    EXPECT_EQ(Odbc("Provider=MSDASQL.1;Data Source=SIS"), "DSN=SIS");
}

TEST(AdoConnectionString, StringsWithoutProviderNameADataSource)
{
    // MySQL, Access, Oracle (ODBC) and FoxPro (ODBC) shapes.
    EXPECT_EQ(Odbc("Data Source=my;User Id=u;Password=p;"), "DSN=my;UID=u;PWD=p");
    EXPECT_EQ(Odbc("Persist Security Info=False;Data Source=acc;User ID=u"), "DSN=acc;UID=u");
    EXPECT_EQ(Odbc("Data Source=ora;User ID=u;Password=p;Persist Security Info=True;"),
              "DSN=ora;UID=u;PWD=p");
    EXPECT_EQ(Odbc("Persist Security Info=False;Data Source=fox;Collating Sequence=machine;"), "DSN=fox");
    EXPECT_EQ(Odbc("Data Source=x;Extended Properties=dBASE IV;Mode=Read"), "DSN=x");
}

TEST(AdoConnectionString, OdbcKeysPassUnchanged)
{
    EXPECT_EQ(Odbc("DSN=pg;UID=u;PWD=p"), "DSN=pg;UID=u;PWD=p");
    EXPECT_EQ(Odbc("DSN=inf;UID=u;PWD=p;ISOLATIONLEVEL=1;"), "DSN=inf;UID=u;PWD=p;ISOLATIONLEVEL=1");
    EXPECT_EQ(Odbc("DSN=notes;Uid=x;Pwd=y;"), "DSN=notes;Uid=x;Pwd=y");
    EXPECT_EQ(Odbc("Driver={PostgreSQL Unicode};Server=h;Port=5432"),
              "Driver={PostgreSQL Unicode};Server=h;Port=5432");
}

// An empty login would override the one the data source stores.
TEST(AdoConnectionString, EmptyUserAndPasswordLeaveTheDataSourcesOwn)
{
    // Oracle (ODBC), Postgres, Lotus Notes and MySQL shapes with empty texts.
    EXPECT_EQ(Odbc("Data Source=ora;User ID=;Password=;Persist Security Info=True;"), "DSN=ora");
    EXPECT_EQ(Odbc("DSN=pg;UID="), "DSN=pg");
    EXPECT_EQ(Odbc("DSN=notes;Uid=;Pwd=;"), "DSN=notes");
    EXPECT_EQ(Odbc("Data Source=my;User Id=;Password=p;"), "DSN=my;PWD=p");
    EXPECT_EQ(Odbc("Data Source=my;User Id=u;Password=;"), "DSN=my;UID=u");
}

TEST(AdoConnectionString, UserAndPasswordOfOpenReplaceThoseOfTheString)
{
    auto t = TranslateAdoConnectionString("Data Source=ora;User ID=a;Password=b;", "SQLite3", "u2", "p;2");
    EXPECT_EQ(t.odbc, "DSN=ora;UID=u2;PWD={p;2}");
    t = TranslateAdoConnectionString("DSN=pg;UID=a;PWD=b", "SQLite3", "u2", "");
    EXPECT_EQ(t.odbc, "DSN=pg;PWD=b;UID=u2");
    t = TranslateAdoConnectionString("Database=/d/x.db", "SQLite3", "u2", "p2");
    EXPECT_EQ(t.odbc, "Driver=SQLite3;Database=/d/x.db;NoCreat=1;StepAPI=1");
}

TEST(AdoConnectionString, NamesTheDataSourceAndWhetherItSaysHowToStep)
{
    auto t = TranslateAdoConnectionString("Data Source=demo;User ID=u;Persist Security Info=True;");
    EXPECT_EQ(t.dsn, "demo");
    EXPECT_FALSE(t.setsStepApi);
    EXPECT_FALSE(t.setsDeclareFetch);
    EXPECT_FALSE(t.setsFetchSize);
    t = TranslateAdoConnectionString("DSN=demo;StepAPI=0");
    EXPECT_EQ(t.dsn, "demo");
    EXPECT_TRUE(t.setsStepApi);
    t = TranslateAdoConnectionString("DSN=pg; usedeclarefetch =0");
    EXPECT_TRUE(t.setsDeclareFetch);
    EXPECT_FALSE(t.setsFetchSize);
    t = TranslateAdoConnectionString("DSN=pg;Fetch=500");
    EXPECT_FALSE(t.setsDeclareFetch);
    EXPECT_TRUE(t.setsFetchSize);
    EXPECT_EQ(TranslateAdoConnectionString("Driver={PostgreSQL Unicode};Server=h").dsn, "");
}

TEST(AdoConnectionString, KeysMatchWithoutRegardToCaseAndBlanks)
{
    EXPECT_EQ(Odbc("provider = msdasql ; data source = SIS ; user id = u"), "DSN=SIS;UID=u");
    EXPECT_EQ(Odbc("Data Source=SIS;USER ID=u;PASSWORD=p"), "DSN=SIS;UID=u;PWD=p");
}

TEST(AdoConnectionString, ValuesNeedingItAreBraced)
{
    EXPECT_EQ(Odbc("Data Source=SIS;Password=\"a;b\""), "DSN=SIS;PWD={a;b}");
    EXPECT_EQ(Odbc("Data Source=SIS;Password='x}y'"), "DSN=SIS;PWD={x}}y}");
    EXPECT_EQ(Odbc("Data Source=SIS;Password=\"say \"\"hi\"\"\""), "DSN=SIS;PWD=say \"hi\"");
}

TEST(AdoConnectionString, SqliteDatabaseTypeOpensTheFileThroughTheSqliteDriver)
{
    EXPECT_EQ(Odbc("Database=/data/sis.db"), "Driver=SQLite3;Database=/data/sis.db;NoCreat=1;StepAPI=1");
    EXPECT_EQ(Odbc("Provider=SQLite;Data Source=/data/sis.db"),
              "Driver=SQLite3;Database=/data/sis.db;NoCreat=1;StepAPI=1");
    EXPECT_EQ(Odbc("Database=/d/x.db;NoCreat=0;StepAPI=0"),
              "Driver=SQLite3;Database=/d/x.db;NoCreat=0;StepAPI=0");
    EXPECT_EQ(Odbc("Database=\\data\\sis.db"), "Driver=SQLite3;Database=/data/sis.db;NoCreat=1;StepAPI=1");
    const auto t =
        TranslateAdoConnectionString("Database=\"/my data/ab.db\"", "/usr/lib/odbc/libsqlite3odbc.so");
    EXPECT_EQ(t.odbc, "Driver=/usr/lib/odbc/libsqlite3odbc.so;Database=/my data/ab.db;NoCreat=1;StepAPI=1");
    // That driver reads no braces: a ";" in a value would start a key of its own.
    EXPECT_EQ(Refusal("Database=\"/my data/a;b.db\""),
              "A value holding \";\" cannot be given to the SQLite ODBC driver.");
}

TEST(AdoConnectionString, ProvidersWithoutOdbcCounterpartAreRefused)
{
    for (const char* s :
         {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x;Extended Properties=dBASE IV;",
          "Provider=VFPOLEDB.1;Data Source=/x;Collating Sequence=MACHINE",
          "Provider=OraOLEDB.Oracle;Data Source=x;User ID=u;Password=Secret1;Persist Security Info=True;",
          "Provider=MSDAORA;Data Source=x;Password=Secret1;",
          "Provider=Sybase ASE OLE DB Provider;Data source=x;User Id=u;Password=Secret1;", "DB2OLEDB",
          "Provider=SQLOLEDB;Data Source=server;Password=Secret1"})
    {
        const std::string why = Refusal(s);
        EXPECT_NE(why.find("is not available"), std::string::npos) << s;
        EXPECT_EQ(why.find("Secret1"), std::string::npos) << s;
    }
    EXPECT_NE(Refusal("Provider=OraOLEDB.Oracle;Data Source=x").find("\"OraOLEDB.Oracle\""),
              std::string::npos);
    EXPECT_NE(Refusal("DB2OLEDB").find("\"DB2OLEDB\""), std::string::npos);
}

TEST(AdoConnectionString, SqlServerProvidersWorkWithAnExplicitDsn)
{
    EXPECT_EQ(Odbc("Provider=SQLOLEDB;DSN=sis;User ID=u"), "DSN=sis;UID=u");
}

TEST(AdoConnectionString, MalformedPartsAreRefusedWithoutEchoingThem)
{
    const std::string why = Refusal("DSN=x;Secret1;UID=u");
    EXPECT_EQ(why.find("Secret1"), std::string::npos);
    EXPECT_FALSE(why.empty());
    Refusal("Provider=SQLite;UID=u"); // no file named
}

TEST(AdoConnectionString, EmptyStringIsLeftToTheDriverManager)
{
    EXPECT_EQ(Odbc(""), "");
}
