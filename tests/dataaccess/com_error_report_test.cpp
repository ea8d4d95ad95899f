#include <gtest/gtest.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
#include "GoldenLines.h"
#include "ODBCDataAccess.h"
#include "odbc/AdoComError.h"

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
    AdoComError error(0x80004005u, "Microsoft OLE DB Provider for ODBC Drivers",
                      "[08001] could not connect to server",
                      {ProviderError(-2147467259, "[08001] could not connect to server"),
                       ProviderError(210, "[HY000] second diagnostic")});
    ODBCDataAccess da(0, DatabaseType::MSSQL);
    DataAccessTestLog log(da);
    XString report = da.FormatComError(error);
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
        da.FormatComError(dispatch).Text(),
        "COM Error Code = 80040e14, Code Meaning = IDispatch error #3092\r\nSource = ADODB.Recordset, "
        "Description = bad statement");
    AdoComError unknown(0x00001234u, "", "");
    EXPECT_STREQ(
        da.FormatComError(unknown).Text(),
        "COM Error Code = 00001234, Code Meaning = Unknown error 0x1234\r\nSource = , Description = ");
}

TEST(ComErrorReport, ProviderLinesAreCutAtTheirBuffer)
{
    ODBCDataAccess da(0, DatabaseType::MSSQL);
    XString report = da.FormatComError(
        AdoComError(0x80004005u, "s", "d", {ProviderError(1, std::string(2000, 'x').c_str())}));
    std::string text = report.Text();
    // One line formatted into 1000 characters: 999 of them survive, line end included.
    size_t tail = text.find("COM Error Code = ");
    ASSERT_NE(tail, std::string::npos);
    EXPECT_EQ(tail, 999u);
}

TEST(ComErrorReport, ClassifyQueryError)
{
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    for (const auto& l : GoldenLines("statements.txt", "QueryErrors", 2))
        EXPECT_EQ(da.ClassifyQueryError(l[1].c_str()), std::stoi(l[0])) << l[1];
}

// Only a password echoed as a value is masked (golden/connection_strings.txt),
// so the driver's texts and their classification stay intact.
TEST(ComErrorReport, OnlyPasswordsEchoedAsValuesAreMasked)
{
    for (const std::vector<std::string>& c : GoldenLines("connection_strings.txt", "MaskedPasswords", 4))
    {
        ODBCDataAccess da(0, GoldenType(c[0]));
        ThrownText([&] { da.Connect(da.BuildConnectionString("NoSuchDataSource", "u", c[1].c_str())); });
        AdoComError error(0x80004005u, "src", c[2]);
        EXPECT_EQ(
            std::string(da.FormatComError(error).Text()),
            "COM Error Code = 80004005, Code Meaning = Unspecified error\r\nSource = src, Description = " +
                c[3])
            << c[1];
    }
    ODBCDataAccess da(0, DatabaseType::OracleODBC);
    EXPECT_THROW(da.Connect(da.BuildConnectionString("NoSuchDataSource", "u", "031")), XException);
    EXPECT_EQ(da.ClassifyQueryError(da.FormatComError(AdoComError(0x80004005u, "s", "ORA-03113: x"))), 1629);
}
