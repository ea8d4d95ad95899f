#include <gtest/gtest.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"
#include "odbc/AdoConnection.h"

namespace
{
AdoProviderError ProviderError(long number, const char* description)
{
    AdoProviderError e;
    e.number = number;
    e.description = description;
    e.source = "Microsoft OLE DB Provider for ODBC Drivers";
    return e;
}
} // namespace

TEST(ComErrorReport, TwoProviderErrorsThenTheComErrorLine)
{
    AdoConnection connection;
    connection.SetErrors({ProviderError(-2147467259, "[08001] could not connect to server"),
                          ProviderError(210, "[HY000] second diagnostic")});
    AdoComError error(0x80004005u, "Microsoft OLE DB Provider for ODBC Drivers",
                      "[08001] could not connect to server");
    ODBCDataAccess da(0, DatabaseType::MSSQL);
    DataAccessTestLog log(da);
    XString report = da.FormatComError(&connection, error);
    const char* expected =
        "Error number: 80004005\t[08001] could not connect to server\r\n"
        "Error number: d2\t[HY000] second diagnostic\r\n"
        "COM Error Code = 80004005, Code Meaning = Unspecified error\r\n"
        "Source = Microsoft OLE DB Provider for ODBC Drivers, Description = [08001] could not "
        "connect to server";
    EXPECT_STREQ(report.Text(), expected);
    EXPECT_TRUE(log.Has(8, expected));
}

TEST(ComErrorReport, WithoutConnectionOrProviderErrors)
{
    ODBCDataAccess da(0, DatabaseType::MSSQL);
    AdoComError dispatch(0x80040E14u, "ADODB.Recordset", "bad statement");
    EXPECT_STREQ(
        da.FormatComError(nullptr, dispatch).Text(),
        "COM Error Code = 80040e14, Code Meaning = IDispatch error #3092\r\nSource = ADODB.Recordset, "
        "Description = bad statement");
    AdoConnection empty;
    AdoComError unknown(0x00001234u, "", "");
    EXPECT_STREQ(
        da.FormatComError(&empty, unknown).Text(),
        "COM Error Code = 00001234, Code Meaning = Unknown error 0x1234\r\nSource = , Description = ");
}

TEST(ComErrorReport, ProviderLinesAreCutAtTheirBuffer)
{
    AdoConnection connection;
    connection.SetErrors({ProviderError(1, std::string(2000, 'x').c_str())});
    ODBCDataAccess da(0, DatabaseType::MSSQL);
    XString report = da.FormatComError(&connection, AdoComError(0x80004005u, "s", "d"));
    std::string text = report.Text();
    // One line formatted into 1000 characters: 999 of them survive, line end included.
    size_t tail = text.find("COM Error Code = ");
    ASSERT_NE(tail, std::string::npos);
    EXPECT_EQ(tail, 999u);
}

TEST(ComErrorReport, ClassifyQueryError)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    EXPECT_EQ(da.ClassifyQueryError("ORA-03113: end-of-file on communication channel"), 1629);
    EXPECT_EQ(da.ClassifyQueryError("x ORA-03135: connection lost contact"), 1629);
    EXPECT_EQ(da.ClassifyQueryError("ORA-12170: TNS:Connect timeout occurred"), 12170);
    EXPECT_EQ(da.ClassifyQueryError("ORA-12170 then ORA-03113"), 1629);
    EXPECT_EQ(da.ClassifyQueryError("ORA-00942: table or view does not exist"), 1);
    EXPECT_EQ(da.ClassifyQueryError(""), 1);
}

// A driver may quote the login back; the password of the kept connection
// string never travels on, whatever characters it holds.
TEST(ComErrorReport, ThePasswordOfTheConnectionStringIsMasked)
{
    for (const char* password : {"s3cret", "**", "*"})
    {
        ODBCDataAccess da(0, DatabaseType::OracleOLE);
        EXPECT_THROW(da.Connect(da.BuildConnectionString("ora", "u", password)), XException);
        AdoComError error(0x80004005u, "src", std::string("login of u with ") + password + " refused");
        EXPECT_STREQ(da.FormatComError(nullptr, error).Text(),
                     "COM Error Code = 80004005, Code Meaning = Unspecified error\r\n"
                     "Source = src, Description = login of u with **** refused")
            << password;
    }
}
