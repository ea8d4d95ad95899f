#include "PasswordText.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

TEST(PasswordText, DecodesHexPairsToLatin1)
{
    EXPECT_EQ(PasswordText::decode(u"414243"_s), u"ABC"_s);
    EXPECT_EQ(PasswordText::decode(u"E9"_s), QString(QChar(0xE9)));
    EXPECT_EQ(PasswordText::decode(u"00FF"_s), QString(QChar(0)) + QChar(0xFF));
    EXPECT_EQ(PasswordText::decode(QString()), QString());
}

TEST(PasswordText, ForeignCharacterCountsAsThreeAndOddTailIsIgnored)
{
    // 'G' and lower-case digits are outside the alphabet: 3 * 16 + 1 = '1'.
    EXPECT_EQ(PasswordText::decode(u"G1"_s), u"1"_s);
    EXPECT_EQ(PasswordText::decode(u"4a"_s), u"C"_s);
    EXPECT_EQ(PasswordText::decode(u"41424"_s), u"AB"_s);
    EXPECT_EQ(PasswordText::decode(u"4"_s), QString());
}

TEST(PasswordText, MasksOnlyPasswordOptionValues)
{
    const QStringList keys{u"pwdencode"_s, u"pwd"_s};
    EXPECT_EQ(PasswordText::maskArguments({u"/bin/x"_s, u"run"_s, u"--pwdencode=4142"_s, u"--pwd=a=b"_s,
                                           u"--pwdconfirm=x"_s, u"--dsn=pwd"_s, u"--pwd"_s, u"pwd=1"_s},
                                          keys),
              QStringList({u"/bin/x"_s, u"run"_s, u"--pwdencode=****"_s, u"--pwd=****"_s, u"--pwdconfirm=x"_s,
                           u"--dsn=pwd"_s, u"--pwd"_s, u"pwd=1"_s}));
}

} // namespace
