#include <QByteArray>
#include <QString>
#include <clocale>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

#include "FoundationTestFolder.h"
#include "XString.h"

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

namespace
{
XString Edited(const char* text, const std::function<void(XString&)>& edit)
{
    XString s(text);
    edit(s);
    return s;
}
} // namespace

// Each text made or edited against the bytes it must hold.
TEST(XStringTest, MadeAndEditedTexts)
{
    using S = XString&;
    const XString abcd("abcd");
    const struct
    {
        XString got;
        const char* want;
    } cases[] = {
        {XString(-42), "-42"},
        {XString(0), "0"},
        {XString(9223372036854775807LL), "9223372036854775807"},
        {XString(static_cast<long long>(-9223372036854775807LL - 1)), "-9223372036854775808"},
        {XString(3.14159, 2), "3.14"},
        {XString(3.14159, 0), "3"},
        {XString(2.5f, 3), "2.500"},
        {XString('x'), "x"},
        // A null text is the empty one, never a null pointer.
        {XString(static_cast<const char*>(nullptr)), ""},
        {Edited("abc", [](S s) { s = static_cast<const char*>(nullptr); }), ""},
        {Edited("", [](S s) { s.Append(static_cast<const char*>(nullptr)); }), ""},
        // Substrings clamp.
        {XString("abc").Mid(5), ""},
        {XString("abc").Mid(3), ""},
        {XString("abc").Mid(1), "bc"},
        {XString("abc").Left(10), "abc"},
        {XString("abc").Left(2), "ab"},
        {XString("abc").Left(0), ""},
        {XString("abc").Sub(1, 2), "b"},
        {XString("abc").Sub(1, 10), "bc"},
        {XString("abc").Sub(2, 1), ""},
        {Edited("abc", [](S s) { s.Truncate(10); }), "abc"},
        {Edited("abc", [](S s) { s.Truncate(1); }), "a"},
        // Removing text scans again from the start.
        {Edited("aabb", [](S s) { s.RemoveText("ab"); }), ""},
        {Edited("a-b-c", [](S s) { s.RemoveText("-"); }), "abc"},
        {Edited("same", [](S s) { s.RemoveText(""); }), "same"},
        {Edited("a\tb\rc\nd", [](S s) { s.RemoveChars("\t\r\n"); }), "abcd"},
        {Edited("a\x01z\x1f!", [](S s) { s.RemoveRange('\x00', '\x1f'); }), "az!"},
        // Signed characters: bytes from 0x80 are below 0.
        {Edited("a\xe9z", [](S s) { s.RemoveRange('\x80', '\x1f'); }), "az"},
        {Edited("  a b  ", [](S s) { s.Trim(); }), "a b"},
        {Edited("   \t ", [](S s) { s.Trim(); }), ""},
        {Edited("xxabcxx", [](S s) { s.TrimLeft("x"); }), "abcxx"},
        {Edited("xxabcxx", [](S s) { s.TrimRight("x"); }), "xxabc"},
        {Edited("acd", [](S s) { s.Insert("b", 1); }), "abcd"},
        {Edited("abcd", [](S s) { s.Insert("!", 99); }), "abcd!"},
        {Edited("abcd!", [](S s) { s.ReplaceChar('!', '?'); }), "abcd?"},
        {Edited("abcd?", [](S s) { s.MakeUpper(); }), "ABCD?"},
        {XString("ABCD?").Lower(), "abcd?"},
        {XString("x").DoubleQuoted(), "\"x\""},
        {XString("x").SingleQuoted(), "'x'"},
        // Assigning a string's own text is safe; a length stops at the first zero byte.
        {Edited("abcdef", [](S s) { s.Assign(s.Text()); }), "abcdef"},
        {Edited("abcdef", [](S s) { s.Assign(s.Text() + 2); }), "cdef"},
        {Edited("", [](S s) { s.Assign("xy\0z", 4); }), "xy"},
        {Edited("a",
                [](S s)
                {
                    s.Append("b").Append(XString("c"));
                    s += 'd';
                }),
         "abcd"},
        {"x" + abcd, "xabcd"},
        {abcd + "y", "abcdy"},
        {abcd + abcd, "abcdabcd"},
        // Formatting cuts at the size less one.
        {Edited("", [](S s) { s.Format(20, "%d-%s", 7, "x"); }), "7-x"},
        {Edited("", [](S s) { s.Format(5, "%s", "abcdefghij"); }), "abcd"},
        {Edited("x", [](S s) { s.Format(0, "%s", "abc"); }), ""},
    };
    for (const auto& c : cases)
    {
        EXPECT_STREQ(c.want, c.got.Text());
        EXPECT_EQ(static_cast<int>(std::strlen(c.want)), c.got.Length()) << c.want;
    }
    const XString upper = Edited("abcd?", [](S s) { s.MakeUpper(); });
    EXPECT_STREQ("abcd?", upper.Lower().Text());
    EXPECT_STREQ("ABCD?", upper.Text()); // Lower leaves the string as it is
}

TEST(XStringTest, SearchingComparingAndNumbers)
{
    XString s("hello world");
    EXPECT_EQ(4, s.Find('o'));
    EXPECT_EQ(s.Length(), s.Find('z'));
    EXPECT_EQ(0, XString().Find('a'));
    EXPECT_EQ(6, s.FindText("world"));
    EXPECT_EQ(-1, s.FindText("xyz"));
    EXPECT_EQ(-1, s.FindText(nullptr));

    EXPECT_EQ(0, XString("abc").Compare("abc"));
    EXPECT_EQ('c' - 'd', XString("abc").Compare("abd"));
    EXPECT_GT(XString("abc").Compare("ab"), 0);
    EXPECT_LT(XString("").Compare("a"), 0);
    EXPECT_LT(XString("\xe9").Compare("a"), 0); // signed: 0xE9 sorts before "a"
    EXPECT_EQ(0, XString("Hello").CompareNoCase("hELLO"));
    EXPECT_NE(0, XString("Hello").CompareNoCase("help"));
    XString a("b"), b("a");
    EXPECT_GT(CompareXStrings(&a, &b), 0);
    EXPECT_TRUE(XString() == static_cast<const char*>(nullptr));
    EXPECT_TRUE(XString("x") != "y");
    EXPECT_TRUE("x" == XString("x"));

    for (const char* digits : {"", "0123"})
        EXPECT_TRUE(XString(digits).IsDigits() && XString(digits).IsDecimal()) << digits;
    for (const char* decimal : {".5", "12.5"})
        EXPECT_TRUE(!XString(decimal).IsDigits() && XString(decimal).IsDecimal()) << decimal;
    for (const char* neither : {"12a", "-1", "1.2.3", "1.2a"})
        EXPECT_TRUE(!XString(neither).IsDigits() && !XString(neither).IsDecimal()) << neither;

    for (const auto& [text, number] : {std::pair{"42abc", 42}, {"  -7", -7}, {"abc", 0}, {"", 0}})
        EXPECT_EQ(number, XString(text).ToInt()) << text;
    EXPECT_DOUBLE_EQ(12.5, XString("12.5").ToDouble());
    EXPECT_FLOAT_EQ(0.1f, XString("0.1").ToFloat());
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

    // A buffer without room for the terminator is refused.
    const XException e = Thrown([&] { s.WinToWChar(buffer, s.Length()); });
    EXPECT_STREQ("XString::WinToWChar error", e.what());
    EXPECT_NE(0, e.Code());
}
