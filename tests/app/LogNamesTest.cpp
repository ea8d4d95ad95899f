#include "LogNames.h"

#include <gtest/gtest.h>

namespace
{

TEST(LogNames, FolderKeepsTheCommaToUnderscoreRange)
{
    EXPECT_EQ(LogNames::folder(QStringLiteral("C:\\Logs\\My Folder/x.y-z_1")),
              QStringLiteral("C:\\Logs\\My Folder/x.y-z_1"));
    EXPECT_EQ(LogNames::folder(QStringLiteral("/tmp/a~b!c#d`e{f}")), QStringLiteral("/tmp/a_b_c_d_e_f_"));
    EXPECT_EQ(LogNames::folder(QStringLiteral("/tmp/;<=>?@[]^")), QStringLiteral("/tmp/;<=>?@[]^"));
    EXPECT_EQ(LogNames::folder(QStringLiteral("/tmp/\u00e9t\u00e9")), QStringLiteral("/tmp/_t_"));
}

TEST(LogNames, BaseNameReplacesBlanksAndSeparators)
{
    EXPECT_EQ(LogNames::baseName(QStringLiteral("TSIS SchoolMAX"), QString(), QStringLiteral("0042")),
              QStringLiteral("TSIS_SchoolMAX--0042"));
    EXPECT_EQ(LogNames::baseName(QStringLiteral("TSIS SchoolMAX"), QString(), QStringLiteral("../../x")),
              QStringLiteral("TSIS_SchoolMAX--.._.._x"));
    EXPECT_EQ(LogNames::baseName(QStringLiteral("TSIS SchoolMAX"), QStringLiteral("North ISD"),
                                 QStringLiteral("C:\\1 2")),
              QStringLiteral("TSIS_SchoolMAX-North_ISD-C:_1_2"));
}

} // namespace
