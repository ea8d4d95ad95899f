#include <gtest/gtest.h>
#include <string>

#include "XString.h"

TEST(XExceptionTest, RaiseErrorFormatsAndCarriesTheCode)
{
    try
    {
        RaiseError(2, "Could not open file ( %d ): %s", 2, "/x/y.txt");
        FAIL() << "RaiseError must throw";
    }
    catch (const XException& e)
    {
        EXPECT_STREQ("Could not open file ( 2 ): /x/y.txt", e.what());
        EXPECT_EQ(2, e.Code());
        EXPECT_STREQ("", e.Detail());
    }
}

TEST(XExceptionTest, RaiseErrorCutsAt1024Characters)
{
    const std::string longText(3000, 'x');
    try
    {
        RaiseError(0, "%s", longText.c_str());
        FAIL() << "RaiseError must throw";
    }
    catch (const XException& e)
    {
        EXPECT_EQ(std::string(1024, 'x'), e.what());
    }
}

TEST(XExceptionTest, CopiesKeepMessageCodeAndDetail)
{
    XException original("message", 7, "detail");
    XException copy(original);
    EXPECT_STREQ("message", copy.what());
    EXPECT_EQ(7, copy.Code());
    EXPECT_STREQ("detail", copy.Detail());
    XException fromString(XString("a") + "b", 3);
    EXPECT_STREQ("ab", fromString.what());
    EXPECT_EQ(3, fromString.Code());
}
