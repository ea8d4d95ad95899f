#include <gtest/gtest.h>

#include "DemoSqlite.h"

namespace
{

class TsisDemoSqliteExtension : public ::testing::Test
{
protected:
    // The value of the expression, "error: ..." when it fails.
    std::string eval(const std::string& expression) const
    {
        try
        {
            return db_.value("SELECT " + expression);
        }
        catch (const std::runtime_error& e)
        {
            return std::string("error: ") + e.what();
        }
    }

    const DemoSqlite db_{"", TSIS_BINARY_DIR "/tools/libtsisdemo_sqlite.so"};
};

TEST_F(TsisDemoSqliteExtension, ToDateGivesTheEightDigitNumber)
{
    // The literal the Oracle dialect writes into attendance filters.
    EXPECT_EQ(eval("TO_DATE( '20090115', 'YYYYMMDD' )"), "20090115");
    EXPECT_EQ(eval("to_date('01/15/2009', 'MM/DD/YYYY')"), "20090115");
    EXPECT_EQ(eval("to_date('2009-01-15', 'yyyy-mm-dd')"), "20090115");
    // A text would sort after every number: the result is an integer.
    EXPECT_EQ(eval("20261015 >= TO_DATE('20261001', 'YYYYMMDD')"), "1");
    EXPECT_EQ(eval("typeof(to_date('20261001', 'YYYYMMDD'))"), "integer");
    EXPECT_EQ(eval("to_date(NULL, 'YYYYMMDD')"), "<null>");
}

TEST_F(TsisDemoSqliteExtension, TextThatDoesNotMatchTheFormatIsAnError)
{
    for (const char* call : {"to_date('2009115', 'YYYYMMDD')", "to_date('200901150', 'YYYYMMDD')",
                             "to_date('20091315', 'YYYYMMDD')", "to_date('01-15-2009', 'MM/DD/YYYY')"})
        EXPECT_NE(eval(call).find("does not match"), std::string::npos) << call;
    EXPECT_NE(eval("to_date('20090115')").find("error"), std::string::npos);
}

} // namespace
