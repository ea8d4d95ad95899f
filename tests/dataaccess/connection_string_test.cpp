#include <gtest/gtest.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
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
    try
    {
        da.BuildConnectionString("D", "U", "P");
    }
    catch (const XException& e)
    {
        return e.what();
    }
    return "(nothing thrown)";
}
} // namespace

TEST(ConnectionString, DisplayNames)
{
    const char* const names[] = {"",
                                 "dBase IV (ODBC)",
                                 "dBase IV (XBase)",
                                 "FoxPro (ODBC)",
                                 "FoxPro (DBF)",
                                 "MSSQL",
                                 "MySQL",
                                 "SQLite",
                                 "DB2",
                                 "Access",
                                 "Postgres",
                                 "Oracle (ODBC)",
                                 "Oracle (OLE)",
                                 "Oracle Microsoft OLE (MSDAORA)",
                                 "Sybase (OLE)",
                                 "Sybase ODBC",
                                 "Progress",
                                 "Mimer",
                                 "Informix",
                                 "Top Speed",
                                 "Lotus Notes",
                                 "CA-Datacom"};
    for (int type = 0; type <= 21; ++type)
        EXPECT_STREQ(DatabaseType::Name(type), names[type]) << type;
    EXPECT_STREQ(DatabaseType::Name(0), "");
    EXPECT_STREQ(DatabaseType::Name(5), "MSSQL");
    EXPECT_STREQ(DatabaseType::Name(11), "Oracle (ODBC)");
    EXPECT_STREQ(DatabaseType::Name(13), "Oracle Microsoft OLE (MSDAORA)");
    EXPECT_STREQ(DatabaseType::Name(21), "CA-Datacom");
    EXPECT_STREQ(DatabaseType::Name(22), "");
    EXPECT_STREQ(DatabaseType::Name(-3), "");
    ODBCDataAccess da(0, DatabaseType::TopSpeed);
    EXPECT_STREQ(da.GetDatabaseTypeName().Text(), "Top Speed");
}

TEST(ConnectionString, Mssql)
{
    using DatabaseType::MSSQL;
    EXPECT_EQ(Cs(MSSQL, "SIS", "", ""), "Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;"
                                        "Trusted_Connection=yes;");
    EXPECT_EQ(Cs(MSSQL, "SIS; tsisdb", "reader", ""),
              "Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;Database=tsisdb;User ID=reader;");
    EXPECT_EQ(Cs(MSSQL, "SIS;tsisdb ", "reader", "pw"),
              "Provider=MSDASQL;Persist Security Info=False;Data "
              "Source=SIS;Database=tsisdb;User ID=reader;Password=pw;");
    // Nothing after the semicolon: no database part.
    EXPECT_EQ(Cs(MSSQL, "SIS;", "reader", nullptr),
              "Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;User ID=reader;");
    // A null user counts as empty; a password without user is not written.
    EXPECT_EQ(Cs(MSSQL, "SIS", nullptr, "pw"),
              "Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;Trusted_Connection=yes;");
}

TEST(ConnectionString, NullAndEmptyParts)
{
    using namespace DatabaseType;
    EXPECT_EQ(Cs(Access, "C:/sis.mdb", nullptr, nullptr),
              "Persist Security Info=False;Data Source=C:/sis.mdb");
    EXPECT_EQ(Cs(Access, "C:/sis.mdb", "admin", nullptr),
              "Persist Security Info=False;Data Source=C:/sis.mdb;User ID=admin");
    EXPECT_EQ(Cs(Access, "C:/sis.mdb", "admin", ""),
              "Persist Security Info=False;Data Source=C:/sis.mdb;User ID=admin;Password=");
    EXPECT_EQ(Cs(Informix, "ifx", "", ""), "DSN=ifx;ISOLATIONLEVEL=1;");
    EXPECT_EQ(Cs(Informix, "ifx", "u", "p"), "DSN=ifx;UID=u;PWD=p;ISOLATIONLEVEL=1;");
    EXPECT_EQ(Cs(Postgres, "pg", "", nullptr), "DSN=pg;UID=");
    EXPECT_EQ(Cs(Postgres, "pg", nullptr, nullptr), "DSN=pg");
    EXPECT_EQ(Cs(Postgres, "pg", "u", "p"), "DSN=pg;UID=u;PWD=p");
}

TEST(ConnectionString, EveryOtherType)
{
    using namespace DatabaseType;
    EXPECT_EQ(Cs(DBaseODBC, "/dbf", "u", "p"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/dbf;Extended Properties=dBASE IV;");
    EXPECT_EQ(Cs(DBaseXBase, "/dbf/", "u", "p"), "/dbf/");
    EXPECT_EQ(Cs(FoxProODBC, "fox", "u", "p"),
              "Persist Security Info=False;Data Source=fox;Collating Sequence=machine;User ID=u;Password=p;");
    EXPECT_EQ(Cs(FoxProODBC, "fox", nullptr, nullptr),
              "Persist Security Info=False;Data Source=fox;Collating Sequence=machine;");
    EXPECT_EQ(Cs(FoxProDBF, "fox", "u", "p"),
              "Provider=VFPOLEDB.1;Data Source=fox;Collating Sequence=MACHINE");
    EXPECT_EQ(Cs(MySQL, "my", nullptr, "p"), "Data Source=my;User Id=;Password=p;");
    EXPECT_EQ(Cs(SQLite, "/tmp/sis.db", "u", "p"), "Database=/tmp/sis.db");
    EXPECT_EQ(Cs(DB2, "db2", "u", "p"), "DB2OLEDB");
    EXPECT_EQ(Cs(OracleODBC, "ora", "u", "p"),
              "Data Source=ora;User ID=u;Password=p;Persist Security Info=True;");
    EXPECT_EQ(Cs(OracleODBC, "ora", nullptr, nullptr), "Data Source=ora;Persist Security Info=True;");
    EXPECT_EQ(Cs(OracleOLE, "ora", "u", nullptr),
              "Provider=OraOLEDB.Oracle;Data Source=ora;User ID=u;Persist Security Info=True;");
    EXPECT_EQ(Cs(OracleMSDAORA, "ora", "u", "p"),
              "Provider=MSDAORA;Data Source=ora;User ID=u;Password=p;Persist Security Info=True;");
    EXPECT_EQ(Cs(SybaseOLE, "syb", "u", "p"),
              "Provider=Sybase ASE OLE DB Provider;Data source=syb;User Id=u;Password=p;");
    EXPECT_EQ(Cs(SybaseODBC, "syb", "u", nullptr), "DSN=syb;UID=u;");
    EXPECT_EQ(Cs(Progress, "prg", "u", "p"), "DSN=prg;UID=u;PWD=p");
    EXPECT_EQ(Cs(TopSpeed, "tps", nullptr, "p"), "DSN=tps;PWD=p");
    EXPECT_EQ(Cs(LotusNotes, "nts", nullptr, nullptr), "DSN=nts;Uid=;Pwd=;");
    EXPECT_EQ(Cs(CADatacom, "dc", "u", "p"), "DSN=dc;Uid=u;Pwd=p;");
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
    using namespace DatabaseType;
    struct Case
    {
        int type;
        const char *d, *u, *p;
        const char* ado;
        const char* odbc; // "" when the translation refuses the string
    } cases[] = {
        {Postgres, "Demo;LoadExt=/tmp/x.so", nullptr, nullptr, "DSN={Demo;LoadExt=/tmp/x.so}",
         "DSN={Demo;LoadExt=/tmp/x.so}"},
        {Postgres, "pg", "x;Driver=/path/lib.so", "p;w}d{x",
         "DSN=pg;UID={x;Driver=/path/lib.so};PWD={p;w}}d{x}",
         "DSN=pg;UID={x;Driver=/path/lib.so};PWD={p;w}}d{x}"},
        {Postgres, "pg", "Driver=/path/lib.so", "\"q", "DSN=pg;UID=Driver=/path/lib.so;PWD={\"q}",
         "DSN=pg;UID=Driver=/path/lib.so;PWD={\"q}"},
        {MSSQL, "srv; db;Driver=/x.so", "u", "a;b",
         "Provider=MSDASQL;Persist Security Info=False;Data Source=srv;"
         "Database={db;Driver=/x.so};User ID=u;Password={a;b};",
         "DSN=srv;DATABASE={db;Driver=/x.so};UID=u;PWD={a;b}"},
        {OracleODBC, "ora", "u", " pw ",
         "Data Source=ora;User ID=u;Password={ pw };Persist Security Info=True;", "DSN=ora;UID=u;PWD={ pw }"},
        {LotusNotes, "n;LoadExt=/x.so", "u", "p", "DSN={n;LoadExt=/x.so};Uid=u;Pwd=p;",
         "DSN={n;LoadExt=/x.so};Uid=u;Pwd=p"},
        {SQLite, "/d/a{b}.db", nullptr, nullptr, "Database={/d/a{b}}.db}",
         "Driver=SQLite3;Database=/d/a{b}.db;NoCreat=1;StepAPI=1"},
        // The SQLite driver knows no braces: a ";" cannot reach it at all.
        {SQLite, "/d/x.db;LoadExt=/tmp/x.so", nullptr, nullptr, "Database={/d/x.db;LoadExt=/tmp/x.so}", ""},
    };
    for (const Case& c : cases)
    {
        const std::string ado = Cs(c.type, c.d, c.u, c.p);
        EXPECT_EQ(ado, c.ado);
        const AdoConnectionStringTranslation t = TranslateAdoConnectionString(ado, "SQLite3");
        EXPECT_EQ(t.ok ? t.odbc : "", c.odbc) << ado;
        if (!t.ok)
        {
            EXPECT_EQ(t.error, "A value holding \";\" cannot be given to the SQLite ODBC driver.");
        }
    }
}
