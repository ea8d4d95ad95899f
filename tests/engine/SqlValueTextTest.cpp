#include <gtest/gtest.h>

#include "SqlValueText.h"

namespace
{

TEST(SqlValueText, QuotedLiteralsDoubleSingleQuotes)
{
    EXPECT_STREQ(SqlQuoted(XString("001")).Text(), "'001'");
    EXPECT_STREQ(SqlQuoted(XString("")).Text(), "''");
    EXPECT_STREQ(SqlQuoted(XString("O'Neil")).Text(), "'O''Neil'");
    EXPECT_STREQ(SqlQuoted(XString("1' OR '1'='1")).Text(), "'1'' OR ''1''=''1'");
    EXPECT_STREQ(SqlQuoted(XString("'")).Text(), "''''");
}

TEST(SqlValueText, WholeNumbers)
{
    EXPECT_TRUE(IsWholeNumber(XString("7")));
    EXPECT_TRUE(IsWholeNumber(XString("2009")));
    EXPECT_TRUE(IsWholeNumber(XString("-3")));
    EXPECT_FALSE(IsWholeNumber(XString("")));
    EXPECT_FALSE(IsWholeNumber(XString("-")));
    EXPECT_FALSE(IsWholeNumber(XString("1 OR 1=1")));
    EXPECT_FALSE(IsWholeNumber(XString("12a")));
    EXPECT_FALSE(IsWholeNumber(XString(" 12")));
    EXPECT_FALSE(IsWholeNumber(XString("1.5")));
    EXPECT_FALSE(IsWholeNumber(XString("'1'")));
}

TEST(SqlValueText, MessageNamesTheParameter)
{
    XString m = NotWholeNumberMessage("district", XString("1 OR 1=1"), XString("Oracle (ODBC)"));
    EXPECT_STREQ(m.Text(),
                 "The parameter district must be a whole number for the database type Oracle (ODBC), "
                 "but it is \"1 OR 1=1\".");
}

} // namespace
