#include "LogNames.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

TEST(LogNames, FolderKeepsTheCommaToUnderscoreRange)
{
    EXPECT_EQ(LogNames::folder(u"C:\\Logs\\My Folder/x.y-z_1"_s), u"C:\\Logs\\My Folder/x.y-z_1"_s);
    EXPECT_EQ(LogNames::folder(u"/tmp/a~b!c#d`e{f}"_s), u"/tmp/a_b_c_d_e_f_"_s);
    EXPECT_EQ(LogNames::folder(u"/tmp/;<=>?@[]^"_s), u"/tmp/;<=>?@[]^"_s);
    EXPECT_EQ(LogNames::folder(u"/tmp/\u00e9t\u00e9"_s), u"/tmp/_t_"_s);
}

TEST(LogNames, BaseNameReplacesBlanksAndSeparators)
{
    EXPECT_EQ(LogNames::baseName(u"TSIS SchoolMAX"_s, QString(), u"0042"_s), u"TSIS_SchoolMAX--0042"_s);
    EXPECT_EQ(LogNames::baseName(u"TSIS SchoolMAX"_s, QString(), u"../../x"_s), u"TSIS_SchoolMAX--.._.._x"_s);
    EXPECT_EQ(LogNames::baseName(u"TSIS SchoolMAX"_s, u"North ISD"_s, u"C:\\1 2"_s),
              u"TSIS_SchoolMAX-North_ISD-C:_1_2"_s);
}

} // namespace
