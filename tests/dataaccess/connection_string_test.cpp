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
    using namespace DatabaseType;
    struct Case
    {
        int type;
        const char *d, *u, *p; // null: not set
        const char* expected;
    } cases[] = {
        {MSSQL, "SIS", "", "",
         "Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;Trusted_Connection=yes;"},
        {MSSQL, "SIS; tsisdb", "reader", "",
         "Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;Database=tsisdb;User ID=reader;"},
        {MSSQL, "SIS;tsisdb ", "reader", "pw",
         "Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;Database=tsisdb;User "
         "ID=reader;Password=pw;"},
        // Nothing after the semicolon: no database part.
        {MSSQL, "SIS;", "reader", nullptr,
         "Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;User ID=reader;"},
        // A null user counts as empty; a password without user is not written.
        {MSSQL, "SIS", nullptr, "pw",
         "Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;Trusted_Connection=yes;"},
        {Access, "C:/sis.mdb", nullptr, nullptr, "Persist Security Info=False;Data Source=C:/sis.mdb"},
        {Access, "C:/sis.mdb", "admin", nullptr,
         "Persist Security Info=False;Data Source=C:/sis.mdb;User ID=admin"},
        {Access, "C:/sis.mdb", "admin", "",
         "Persist Security Info=False;Data Source=C:/sis.mdb;User ID=admin;Password="},
        {Informix, "ifx", "", "", "DSN=ifx;ISOLATIONLEVEL=1;"},
        {Informix, "ifx", "u", "p", "DSN=ifx;UID=u;PWD=p;ISOLATIONLEVEL=1;"},
        {Postgres, "pg", "", nullptr, "DSN=pg;UID="},
        {Postgres, "pg", nullptr, nullptr, "DSN=pg"},
        {Postgres, "pg", "u", "p", "DSN=pg;UID=u;PWD=p"},
        {DBaseODBC, "/dbf", "u", "p",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/dbf;Extended Properties=dBASE IV;"},
        {DBaseXBase, "/dbf/", "u", "p", "/dbf/"},
        {FoxProODBC, "fox", "u", "p",
         "Persist Security Info=False;Data Source=fox;Collating Sequence=machine;User ID=u;Password=p;"},
        {FoxProODBC, "fox", nullptr, nullptr,
         "Persist Security Info=False;Data Source=fox;Collating Sequence=machine;"},
        {FoxProDBF, "fox", "u", "p", "Provider=VFPOLEDB.1;Data Source=fox;Collating Sequence=MACHINE"},
        {MySQL, "my", nullptr, "p", "Data Source=my;User Id=;Password=p;"},
        {SQLite, "/tmp/sis.db", "u", "p", "Database=/tmp/sis.db"},
        {DB2, "db2", "u", "p", "DB2OLEDB"},
        {OracleODBC, "ora", "u", "p", "Data Source=ora;User ID=u;Password=p;Persist Security Info=True;"},
        {OracleODBC, "ora", nullptr, nullptr, "Data Source=ora;Persist Security Info=True;"},
        {OracleOLE, "ora", "u", nullptr,
         "Provider=OraOLEDB.Oracle;Data Source=ora;User ID=u;Persist Security Info=True;"},
        {OracleMSDAORA, "ora", "u", "p",
         "Provider=MSDAORA;Data Source=ora;User ID=u;Password=p;Persist Security Info=True;"},
        {SybaseOLE, "syb", "u", "p",
         "Provider=Sybase ASE OLE DB Provider;Data source=syb;User Id=u;Password=p;"},
        {SybaseODBC, "syb", "u", nullptr, "DSN=syb;UID=u;"},
        {Progress, "prg", "u", "p", "DSN=prg;UID=u;PWD=p"},
        {TopSpeed, "tps", nullptr, "p", "DSN=tps;PWD=p"},
        {LotusNotes, "nts", nullptr, nullptr, "DSN=nts;Uid=;Pwd=;"},
        {CADatacom, "dc", "u", "p", "DSN=dc;Uid=u;Pwd=p;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Cs(c.type, c.d, c.u, c.p), c.expected) << c.type;
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
        EXPECT_EQ(Odbc(ado),
                  c.odbc[0] ? std::string(c.odbc)
                            : "refused: A value holding \";\" cannot be given to the SQLite ODBC driver.");
    }
}

// How the connection translates an ADO connection string for unixODBC.
TEST(ConnectionString, TranslationForTheDriverManager)
{
    const std::string unavailable = "refused: The provider \"";
    const struct
    {
        const char* ado;
        std::string odbc;
    } cases[] = {
        {"Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;Trusted_Connection=yes;",
         "DSN=SIS;Trusted_Connection=yes"},
        {"Provider=MSDASQL;Persist Security Info=False;Data Source=SIS;Database=tsisdb;User "
         "ID=reader;Password=pw;",
         "DSN=SIS;DATABASE=tsisdb;UID=reader;PWD=pw"},
        {"Provider=MSDASQL.1;Data Source=SIS", "DSN=SIS"},
        // MySQL, Access, Oracle (ODBC) and FoxPro (ODBC) shapes; ADO-only keys are dropped.
        {"Data Source=my;User Id=u;Password=p;", "DSN=my;UID=u;PWD=p"},
        {"Persist Security Info=False;Data Source=acc;User ID=u", "DSN=acc;UID=u"},
        {"Data Source=ora;User ID=u;Password=p;Persist Security Info=True;", "DSN=ora;UID=u;PWD=p"},
        {"Persist Security Info=False;Data Source=fox;Collating Sequence=machine;", "DSN=fox"},
        {"Data Source=x;Extended Properties=dBASE IV;Mode=Read", "DSN=x"},
        // ODBC keys pass unchanged.
        {"DSN=pg;UID=u;PWD=p", "DSN=pg;UID=u;PWD=p"},
        {"DSN=inf;UID=u;PWD=p;ISOLATIONLEVEL=1;", "DSN=inf;UID=u;PWD=p;ISOLATIONLEVEL=1"},
        {"DSN=notes;Uid=x;Pwd=y;", "DSN=notes;Uid=x;Pwd=y"},
        {"Driver={PostgreSQL Unicode};Server=h;Port=5432", "Driver={PostgreSQL Unicode};Server=h;Port=5432"},
        // An empty login would override the one the data source stores.
        {"Data Source=ora;User ID=;Password=;Persist Security Info=True;", "DSN=ora"},
        {"DSN=pg;UID=", "DSN=pg"},
        {"DSN=notes;Uid=;Pwd=;", "DSN=notes"},
        {"Data Source=my;User Id=;Password=p;", "DSN=my;PWD=p"},
        {"Data Source=my;User Id=u;Password=;", "DSN=my;UID=u"},
        // Keys match without regard to case and blanks; values needing it are braced.
        {"provider = msdasql ; data source = SIS ; user id = u", "DSN=SIS;UID=u"},
        {"Data Source=SIS;USER ID=u;PASSWORD=p", "DSN=SIS;UID=u;PWD=p"},
        {"Data Source=SIS;Password=\"a;b\"", "DSN=SIS;PWD={a;b}"},
        {"Data Source=SIS;Password='x}y'", "DSN=SIS;PWD={x}}y}"},
        {"Data Source=SIS;Password=\"say \"\"hi\"\"\"", "DSN=SIS;PWD=say \"hi\""},
        {"Key==Name=v", "Key=Name=v"},
        // SQLite files go to the SQLite driver.
        {"Database=/data/sis.db", "Driver=SQLite3;Database=/data/sis.db;NoCreat=1;StepAPI=1"},
        {"Provider=SQLite;Data Source=/data/sis.db",
         "Driver=SQLite3;Database=/data/sis.db;NoCreat=1;StepAPI=1"},
        {"Database=/d/x.db;NoCreat=0;StepAPI=0", "Driver=SQLite3;Database=/d/x.db;NoCreat=0;StepAPI=0"},
        {"Database=\\data\\sis.db", "Driver=SQLite3;Database=/data/sis.db;NoCreat=1;StepAPI=1"},
        // That driver reads no braces: a ";" in a value would start a key of its own.
        {"Database=\"/my data/a;b.db\"",
         "refused: A value holding \";\" cannot be given to the SQLite ODBC driver."},
        {"Provider=SQLite;UID=u", "refused: No database file is named for the SQLite provider."},
        {"Provider=SQLOLEDB;DSN=sis;User ID=u", "DSN=sis;UID=u"},
        {"DSN=x;Secret1;UID=u", "refused: The connection string holds a part without \"=\"."},
        {"", ""},
        // Providers without an ODBC counterpart are refused, naming only the provider.
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x;Extended Properties=dBASE IV;",
         unavailable +
             "Microsoft.Jet.OLEDB.4.0\" is not available: it has no ODBC counterpart on this system."},
        {"Provider=VFPOLEDB.1;Data Source=/x;Collating Sequence=MACHINE",
         unavailable + "VFPOLEDB.1\" is not available: it has no ODBC counterpart on this system."},
        {"Provider=OraOLEDB.Oracle;Data Source=x;User ID=u;Password=Secret1;Persist Security Info=True;",
         unavailable + "OraOLEDB.Oracle\" is not available: it has no ODBC counterpart on this system."},
        {"Provider=MSDAORA;Data Source=x;Password=Secret1;",
         unavailable + "MSDAORA\" is not available: it has no ODBC counterpart on this system."},
        {"Provider=Sybase ASE OLE DB Provider;Data source=x;User Id=u;Password=Secret1;",
         unavailable +
             "Sybase ASE OLE DB Provider\" is not available: it has no ODBC counterpart on this system."},
        {"DB2OLEDB", unavailable + "DB2OLEDB\" is not available: it has no ODBC counterpart on this system."},
        {"Provider=SQLOLEDB;Data Source=server;Password=Secret1",
         unavailable + "SQLOLEDB\" is not available: it has no ODBC counterpart on this system."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Odbc(c.ado), c.odbc) << c.ado;
    // A user and a password given to Open replace those of the string.
    EXPECT_EQ(Odbc("Data Source=ora;User ID=a;Password=b;", "u2", "p;2"), "DSN=ora;UID=u2;PWD={p;2}");
    EXPECT_EQ(Odbc("DSN=pg;UID=a;PWD=b", "u2"), "DSN=pg;PWD=b;UID=u2");
    EXPECT_EQ(Odbc("Database=/d/x.db", "u2", "p2"), "Driver=SQLite3;Database=/d/x.db;NoCreat=1;StepAPI=1");
    EXPECT_EQ(Odbc("Database=\"/my data/ab.db\"", "", "", "/usr/lib/odbc/libsqlite3odbc.so"),
              "Driver=/usr/lib/odbc/libsqlite3odbc.so;Database=/my data/ab.db;NoCreat=1;StepAPI=1");
}

// What the string says of its data source and of how the driver fetches,
// which the driver profile completes from the data source's definition.
TEST(ConnectionString, DataSourceAndFetchingTheStringSays)
{
    const struct
    {
        const char* ado;
        const char* dsn;
        bool stepApi, declareFetch, fetchSize;
    } cases[] = {
        {"Data Source=demo;User ID=u;Persist Security Info=True;", "demo", false, false, false},
        {"DSN=demo;StepAPI=0", "demo", true, false, false},
        {"DSN=pg; usedeclarefetch =0", "pg", false, true, false},
        {"DSN=pg;Fetch=500", "pg", false, false, true},
        {"Driver={PostgreSQL Unicode};Server=h", "", false, false, false},
    };
    for (const auto& c : cases)
    {
        const AdoConnectionStringTranslation t = TranslateAdoConnectionString(c.ado);
        EXPECT_EQ(t.dsn, c.dsn) << c.ado;
        EXPECT_EQ(t.setsStepApi, c.stepApi) << c.ado;
        EXPECT_EQ(t.setsDeclareFetch, c.declareFetch) << c.ado;
        EXPECT_EQ(t.setsFetchSize, c.fetchSize) << c.ado;
    }
}
