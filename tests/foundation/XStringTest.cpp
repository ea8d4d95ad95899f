#include <QString>
#include <QByteArray>
#include <clocale>
#include <cstring>
#include <gtest/gtest.h>

#include "FoundationTestFolder.h"
#include "XString.h"

TEST(XStringTest, NullTextIsEmptyNeverNull)
{
    XString s(static_cast<const char*>(nullptr));
    EXPECT_EQ(0, s.Length());
    ASSERT_NE(nullptr, s.Text());
    EXPECT_STREQ("", s.Text());
    EXPECT_TRUE(s == static_cast<const char*>(nullptr));
    EXPECT_TRUE(s == "");

    XString t("abc");
    t = static_cast<const char*>(nullptr);
    EXPECT_STREQ("", t.Text());
    t.Append(static_cast<const char*>(nullptr));
    EXPECT_STREQ("", t.Text());
}

TEST(XStringTest, ConstructionFromNumbers)
{
    EXPECT_STREQ("-42", XString(-42).Text());
    EXPECT_STREQ("0", XString(0).Text());
    EXPECT_STREQ("9223372036854775807", XString(9223372036854775807LL).Text());
    EXPECT_STREQ("-9223372036854775808", XString(static_cast<long long>(-9223372036854775807LL - 1)).Text());
    EXPECT_STREQ("3.14", XString(3.14159, 2).Text());
    EXPECT_STREQ("3", XString(3.14159, 0).Text());
    EXPECT_STREQ("2.500", XString(2.5f, 3).Text());
    EXPECT_STREQ("x", XString('x').Text());
}

namespace
{
// Switches LC_NUMERIC to a decimal-comma locale, compiling one into a
// temporary folder when none is installed. False when that is impossible.
bool UseDecimalCommaLocale(FoundationTestFolder& tmp)
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
        if (std::setlocale(LC_NUMERIC, name))
            return true;
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + tmp.Path("de_DE.UTF-8") + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 &&
        !FoundationTestFolder::Exists(tmp.Path("de_DE.UTF-8/LC_NUMERIC")))
        return false;
    qputenv("LOCPATH", QByteArray(tmp.Path().c_str()));
    const bool ok = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    qunsetenv("LOCPATH");
    return ok;
}
} // namespace

TEST(XStringTest, NumbersIgnoreProcessLocale)
{
    FoundationTestFolder tmp;
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!UseDecimalCommaLocale(tmp))
        GTEST_SKIP() << "no decimal-comma locale available";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ("1,5", probe); // the locale really is in effect
    EXPECT_STREQ("1.50", XString(1.5, 2).Text());
    EXPECT_STREQ("2.25", XString().Format(20, "%.2f", 2.25).Text());
    EXPECT_DOUBLE_EQ(2.75, XString("2.75").ToDouble());
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(XStringTest, SubstringsClamp)
{
    XString s("abc");
    EXPECT_STREQ("", s.Mid(5).Text());
    EXPECT_STREQ("", s.Mid(3).Text());
    EXPECT_STREQ("bc", s.Mid(1).Text());
    EXPECT_STREQ("abc", s.Left(10).Text());
    EXPECT_STREQ("ab", s.Left(2).Text());
    EXPECT_STREQ("", s.Left(0).Text());
    EXPECT_STREQ("b", s.Sub(1, 2).Text());
    EXPECT_STREQ("bc", s.Sub(1, 10).Text());
    EXPECT_STREQ("", s.Sub(2, 1).Text());
    s.Truncate(10);
    EXPECT_STREQ("abc", s.Text());
    s.Truncate(1);
    EXPECT_STREQ("a", s.Text());
}

TEST(XStringTest, Searching)
{
    XString s("hello world");
    EXPECT_EQ(4, s.Find('o'));
    EXPECT_EQ(s.Length(), s.Find('z'));
    EXPECT_EQ(0, XString().Find('a'));
    EXPECT_EQ(6, s.FindText("world"));
    EXPECT_EQ(-1, s.FindText("xyz"));
    EXPECT_EQ(-1, s.FindText(nullptr));
}

TEST(XStringTest, RemoveTextRescansFromStart)
{
    XString s("aabb");
    s.RemoveText("ab");
    EXPECT_STREQ("", s.Text());

    XString t("a-b-c");
    t.RemoveText("-");
    EXPECT_STREQ("abc", t.Text());

    XString u("unchanged");
    u.RemoveText("");
    EXPECT_STREQ("unchanged", u.Text());
}

TEST(XStringTest, RemoveCharsAndRange)
{
    XString s("a\tb\rc\nd");
    s.RemoveChars("\t\r\n");
    EXPECT_STREQ("abcd", s.Text());

    XString t("a\x01z\x1f!");
    t.RemoveRange('\x00', '\x1f');
    EXPECT_STREQ("az!", t.Text());

    // Signed characters: bytes from 0x80 are below 0.
    XString u("a\xe9z");
    u.RemoveRange('\x80', '\x1f');
    EXPECT_STREQ("az", u.Text());
}

TEST(XStringTest, TrimKeepsInnerBlanks)
{
    XString s("  a b  ");
    s.Trim();
    EXPECT_STREQ("a b", s.Text());

    XString blanks("   \t ");
    blanks.Trim();
    EXPECT_STREQ("", blanks.Text());

    XString set("xxabcxx");
    set.TrimLeft("x");
    EXPECT_STREQ("abcxx", set.Text());
    set.TrimRight("x");
    EXPECT_STREQ("abc", set.Text());
}

TEST(XStringTest, EditingInPlace)
{
    XString s("acd");
    s.Insert("b", 1);
    EXPECT_STREQ("abcd", s.Text());
    s.Insert("!", 99);
    EXPECT_STREQ("abcd!", s.Text());
    s.ReplaceChar('!', '?');
    EXPECT_STREQ("abcd?", s.Text());
    s.MakeUpper();
    EXPECT_STREQ("ABCD?", s.Text());
    EXPECT_STREQ("abcd?", s.Lower().Text());
    EXPECT_STREQ("ABCD?", s.Text());
    EXPECT_STREQ("\"x\"", XString("x").DoubleQuoted().Text());
    EXPECT_STREQ("'x'", XString("x").SingleQuoted().Text());
}

TEST(XStringTest, AssignOwnTextIsSafe)
{
    XString s("abcdef");
    s.Assign(s.Text());
    EXPECT_STREQ("abcdef", s.Text());
    s.Assign(s.Text() + 2);
    EXPECT_STREQ("cdef", s.Text());
    s.Assign("xy\0z", 4);
    EXPECT_STREQ("xy", s.Text());
    EXPECT_EQ(2, s.Length());
}

TEST(XStringTest, ComparisonIsSignedBytewise)
{
    EXPECT_EQ(0, XString("abc").Compare("abc"));
    EXPECT_EQ('c' - 'd', XString("abc").Compare("abd"));
    EXPECT_GT(XString("abc").Compare("ab"), 0);
    EXPECT_LT(XString("").Compare("a"), 0);
    // 0xE9 is negative as a signed character, so it sorts before "a".
    EXPECT_LT(XString("\xe9").Compare("a"), 0);
    EXPECT_EQ(0, XString("Hello").CompareNoCase("hELLO"));
    EXPECT_NE(0, XString("Hello").CompareNoCase("help"));
    XString a("b"), b("a");
    EXPECT_GT(CompareXStrings(&a, &b), 0);
    EXPECT_TRUE(XString("x") != "y");
    EXPECT_TRUE("x" == XString("x"));
}

TEST(XStringTest, Concatenation)
{
    XString s("a");
    s.Append("b").Append(XString("c"));
    s += 'd';
    EXPECT_STREQ("abcd", s.Text());
    EXPECT_STREQ("xabcd", ("x" + s).Text());
    EXPECT_STREQ("abcdy", (s + "y").Text());
    EXPECT_STREQ("abcdabcd", (s + s).Text());
}

TEST(XStringTest, DigitsAndDecimals)
{
    EXPECT_TRUE(XString("").IsDigits());
    EXPECT_TRUE(XString("").IsDecimal());
    EXPECT_TRUE(XString("0123").IsDigits());
    EXPECT_FALSE(XString("12a").IsDigits());
    EXPECT_FALSE(XString("-1").IsDigits());
    EXPECT_TRUE(XString(".5").IsDecimal());
    EXPECT_TRUE(XString("12.5").IsDecimal());
    EXPECT_FALSE(XString("1.2.3").IsDecimal());
    EXPECT_FALSE(XString("1.2a").IsDecimal());
    EXPECT_FALSE(XString("12.5").IsDigits());
}

TEST(XStringTest, NumberConversions)
{
    EXPECT_EQ(42, XString("42abc").ToInt());
    EXPECT_EQ(-7, XString("  -7").ToInt());
    EXPECT_EQ(0, XString("abc").ToInt());
    EXPECT_EQ(0, XString("").ToInt());
    EXPECT_DOUBLE_EQ(12.5, XString("12.5").ToDouble());
    EXPECT_FLOAT_EQ(0.1f, XString("0.1").ToFloat());
}

TEST(XStringTest, FormatCutsAtSizeMinusOne)
{
    XString s;
    s.Format(20, "%d-%s", 7, "x");
    EXPECT_STREQ("7-x", s.Text());
    EXPECT_EQ(3, s.Length());

    s.Format(5, "%s", "abcdefghij");
    EXPECT_STREQ("abcd", s.Text());
    EXPECT_EQ(4, s.Length());

    s.Format(0, "%s", "abc");
    EXPECT_STREQ("", s.Text());
}

TEST(XStringTest, QtStringsCrossThroughWindows1252)
{
    // e acute, right single quotation mark, en dash and euro sign: the last three
    // live in 0x80..0x9F, where Latin-1 has control characters.
    const QString q = QString::fromUtf8("caf\xc3\xa9 \xe2\x80\x99\xe2\x80\x93\xe2\x82\xac");
    const XString x(q);
    EXPECT_STREQ("caf\xe9 \x92\x96\x80", x.Text());
    EXPECT_EQ(q, x.ToQString());
    EXPECT_EQ("\xe2\x80\x99", XString("\x92").ToQString().toUtf8().toStdString());
    EXPECT_TRUE(XString::FitsCodePage(q));

    // A letter outside the code page: the closest one crosses, and the text is
    // known not to fit.
    const QString polish = QString::fromUtf8("\xc5\x81\xc3\xb3"
                                             "d\xc5\xba");
    EXPECT_STREQ("L\xf3"
                 "dz",
                 XString(polish).Text());
    EXPECT_FALSE(XString::FitsCodePage(polish));
}

TEST(XStringTest, WideConversionUsesWindows1252)
{
    const char16_t wide[] = u"\u20ac 5 caf\u00e9 \u0416";
    XString s = XString::FromWide(wide, -1, 0);
    // Euro sign 0x80, e acute 0xE9, and a Cyrillic letter Windows-1252 cannot hold.
    EXPECT_STREQ("\x80 5 caf\xe9 ?", s.Text());
    EXPECT_EQ(XString::FromWide(wide, 3, 1252), "\x80 5");
    EXPECT_STREQ("", XString::FromWide(nullptr).Text());

    // Letters outside the code page become their closest letter, "?" only when
    // none exists (an emoji, a Chinese character); a ligature becomes its letters.
    EXPECT_STREQ("Dvor\xe1k Lukasz", XString::FromWide(u"Dvo\u0159\u00e1k \u0141ukasz").Text());
    EXPECT_STREQ("x?y?fi", XString::FromWide(u"x\U0001F600y\u4e2d\ufb01").Text());

    // A letter followed by a combining accent is composed.
    const char16_t decomposed[] = u"e\u0301";
    EXPECT_STREQ("\xe9", XString::FromWide(decomposed).Text());

    char16_t buffer[16];
    s.WinToWChar(buffer, 16);
    EXPECT_EQ(u'\u20ac', buffer[0]);
    EXPECT_EQ(u'\u00e9', buffer[7]);
    EXPECT_EQ(u'?', buffer[9]);
    EXPECT_EQ(u'\0', buffer[s.Length()]);

    try
    {
        s.WinToWChar(buffer, s.Length());
        FAIL() << "a buffer without room for the terminator must be refused";
    }
    catch (const XException& e)
    {
        EXPECT_STREQ("XString::WinToWChar error", e.what());
        EXPECT_NE(0, e.Code());
    }
}
