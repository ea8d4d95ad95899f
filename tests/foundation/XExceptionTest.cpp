#include <gtest/gtest.h>
#include <string>

#include "FoundationTestFolder.h"
#include "XString.h"

TEST(XExceptionTest, RaiseErrorFormatsAndCarriesTheCode)
{
    const XException e = Thrown([] { RaiseError(2, "Could not open file ( %d ): %s", 2, "/x/y.txt"); });
    EXPECT_STREQ("Could not open file ( 2 ): /x/y.txt", e.what());
    EXPECT_EQ(2, e.Code());
    EXPECT_STREQ("", e.Detail());
    // Cut at 1024 characters.
    const std::string longText(3000, 'x');
    EXPECT_EQ(std::string(1024, 'x'), Thrown([&] { RaiseError(0, "%s", longText.c_str()); }).what());
}

// Copies are made by every Thrown() of the tests.
TEST(XExceptionTest, CopiesKeepMessageCodeAndDetail)
{
    XException fromString(XString("a") + "b", 3);
    EXPECT_STREQ("ab", fromString.what());
    EXPECT_EQ(3, fromString.Code());
}
