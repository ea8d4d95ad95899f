#include <gtest/gtest.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"

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
