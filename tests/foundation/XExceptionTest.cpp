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
