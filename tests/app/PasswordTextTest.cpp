#include "PasswordText.h"

#include <gtest/gtest.h>

namespace
{

TEST(PasswordText, DecodesHexPairsToLatin1)
{
    EXPECT_EQ(PasswordText::decode(QStringLiteral("414243")), QStringLiteral("ABC"));
    EXPECT_EQ(PasswordText::decode(QStringLiteral("E9")), QString(QChar(0xE9)));
    EXPECT_EQ(PasswordText::decode(QStringLiteral("00FF")), QString(QChar(0)) + QChar(0xFF));
    EXPECT_EQ(PasswordText::decode(QString()), QString());
}

TEST(PasswordText, ForeignCharacterCountsAsThreeAndOddTailIsIgnored)
{
    // 'G' and lower-case digits are outside the alphabet: 3 * 16 + 1 = '1'.
    EXPECT_EQ(PasswordText::decode(QStringLiteral("G1")), QStringLiteral("1"));
    EXPECT_EQ(PasswordText::decode(QStringLiteral("4a")), QStringLiteral("C"));
    EXPECT_EQ(PasswordText::decode(QStringLiteral("41424")), QStringLiteral("AB"));
    EXPECT_EQ(PasswordText::decode(QStringLiteral("4")), QString());
}

TEST(PasswordText, MasksOnlyPasswordOptionValues)
{
    const QStringList keys{QStringLiteral("pwdencode"), QStringLiteral("pwd")};
    EXPECT_EQ(
        PasswordText::maskArguments({QStringLiteral("/bin/x"), QStringLiteral("run"),
                                     QStringLiteral("--pwdencode=4142"), QStringLiteral("--pwd=a=b"),
                                     QStringLiteral("--pwdconfirm=x"), QStringLiteral("--dsn=pwd"),
                                     QStringLiteral("--pwd"), QStringLiteral("pwd=1")},
                                    keys),
        QStringList({QStringLiteral("/bin/x"), QStringLiteral("run"), QStringLiteral("--pwdencode=****"),
                     QStringLiteral("--pwd=****"), QStringLiteral("--pwdconfirm=x"),
                     QStringLiteral("--dsn=pwd"), QStringLiteral("--pwd"), QStringLiteral("pwd=1")}));
}

} // namespace
