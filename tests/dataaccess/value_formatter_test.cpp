#include <gtest/gtest.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
#include "GoldenLines.h"
#include "ODBCDataAccess.h"
#include "PhoneFormat.h"
#include "SISSchoolYear.h"

namespace
{
// Hands the formatters canned values instead of a database's.
class CannedReader : public ODBCDataAccess
{
public:
    CannedReader() : ODBCDataAccess(0, DatabaseType::MSSQL) {}
    XString GetTrimmedText(DataAccessField*) override
    {
        XString t(text);
        t.Trim();
        t.RemoveChars("\t");
        return t;
    }
    double GetDouble(DataAccessField*) override { return number; }
    float GetFloat(DataAccessField*) override { return static_cast<float>(number); }
    int GetInt(DataAccessField*) override { return static_cast<int>(number); }
    bool GetBool(DataAccessField*) override { return flag; }
    XDate GetDate(DataAccessField*) override { return date; }

    XString text;
    double number = 0;
    bool flag = false;
    XDate date;
};

std::string Phone(const char* text, std::string* message = nullptr)
{
    XString m;
    XString result = FormatPhoneNumber(text, m);
    if (message)
        *message = m.Text();
    return result.Text();
}
} // namespace

TEST(PhoneFormat, DigitCountsAndExtensions)
{
    std::string message = "unset";
    EXPECT_EQ(Phone("(555) 555-1234 ext 12", &message), "555 555-1234 x12");
    EXPECT_EQ(message, "");
    EXPECT_EQ(Phone("", &message), "");
    EXPECT_EQ(message, "");
    for (const auto& l : GoldenLines("value_formats.txt", "Phone", 2))
        EXPECT_EQ(Phone(l[0].c_str()), l[1]);
}

TEST(PhoneFormat, UnparsableTextStaysAsItIs)
{
    std::string message;
    EXPECT_EQ(Phone("12345", &message), "12345");
    EXPECT_EQ(message,
              "Phone number: 12345, cannot parse into right format.  This means that the phone number "
              "in your database is not in phone number format.");
    EXPECT_EQ(Phone("123456789012345", &message), "123456789012345");
    EXPECT_NE(message, "");
    EXPECT_EQ(Phone("call 555 1234 ext 2", &message), "call 555 1234 ext 2");
    EXPECT_NE(message, "");
}

TEST(ValueFormatters, PhoneTextLogsItsMessage)
{
    CannedReader da;
    DataAccessTestLog log(da);
    da.text = "N/A";
    EXPECT_STREQ(da.PhoneText().Text(), "");
    da.text = "12345";
    EXPECT_STREQ(da.PhoneText().Text(), "12345");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].level, 7);
    EXPECT_EQ(log.lines[0].method, "");
}

TEST(ValueFormatters, Relationships)
{
    CannedReader da;
    for (const auto& l : GoldenLines("value_formats.txt", "Relationship", 2))
        EXPECT_EQ(da.ClassifyRelationship(l[0].c_str()).Text(), l[1]) << l[0];
    EXPECT_STREQ(da.ClassifyRelationship("Mother\xe9").Text(), "Contact");
    EXPECT_EQ(da.Relationships().Count(), 18);
}

TEST(ValueFormatters, YesNoFlagAndYesNoText)
{
    CannedReader da;
    for (const auto& l : GoldenLines("value_formats.txt", "YesNoFlag", 2))
    {
        da.text = l[0].c_str();
        EXPECT_EQ(da.YesNoFlag().Text(), l[1]) << l[0];
    }
    for (const auto& l : GoldenLines("value_formats.txt", "YesNoTextAsOneZero", 2))
    {
        da.text = l[0].c_str();
        EXPECT_EQ(da.YesNoTextAsOneZero().Text(), l[1]) << l[0];
    }
    da.text = "yEs";
    EXPECT_TRUE(da.YesNoTextAsBool());
    da.text = "X";
    EXPECT_FALSE(da.YesNoTextAsBool());
}

// Each formatter on the value the canned reader gives.
TEST(ValueFormatters, TextNumberFlagAndDateForms)
{
    using F = XString (DataAccessBase::*)();
    using D = DataAccessBase;
    const struct
    {
        const char* text;
        double number;
        bool flag;
        XDate date;
        F format;
        const char* expected;
    } cases[] = {
        {"a\tb", 0, false, {}, &D::CleanText, "ab"},
        {"a\r\nb", 0, false, {}, &D::CleanText, "a  b"},
        {"a\r\nb", 0, false, {}, &D::CleanTextNoBreaks, "a  b"},
        {"a\r\nb", 0, false, {}, &D::UpperText, "A  B"},
        {"a\r\nb", 0, false, {}, &D::QuotedText, "\"a  b\""},
        {"a\r\nb", 0, false, {}, &D::GsName, "gs_a  b"},
        {" 0 ", 0, false, {}, &D::ZeroAsEmpty, ""},
        {" 0 ", 0, false, {}, &D::ZeroAsEmptyIndirect, ""},
        {" 0 ", 0, false, {}, &D::TrimmedText, "0"},
        {"N/A", 0, false, {}, &D::NAAsEmpty, ""},
        {"ATHLETIC", 0, false, {}, &D::SourceCategory, "athletic"},
        {"Lunches", 0, false, {}, &D::SourceCategory, "Lunches"},
        {"", 12.5, false, {}, &D::MoneyText, "$12.50"},
        {"", 12.5, false, {}, &D::RealText, "12.500000"},
        {"", 12.5, false, {}, &D::RoundedReal, "12"},
        {"", -7.9, false, {}, &D::RealAsWhole, "-7"},
        {"", 0, false, {}, &D::IntZeroAsEmpty, ""},
        {"", 0, false, {}, &D::IntText, "0"},
        {"", 0, true, {}, &D::YesNo, "Yes"},
        {"", 0, true, {}, &D::NoYes, "No"},
        {"", 0, true, {}, &D::YesEmpty, "Yes"},
        {"", 0, true, {}, &D::OneZero, "0"}, // no current column: no field to read
        {"", 0, false, {}, &D::YesEmpty, ""},
        {"", 0, false, {}, &D::DateText, ""},
        {"", 0, false, XDate(2009, 1, 15), &D::DateText, "01/15/2009"},
        {"", 0, false, XDate(1900, 1, 1), &D::DateText, "01/01/1900"},
        {"", 0, false, XDate(1900, 1, 1), &D::DateText1900Empty, ""},
        {"", 0, false, XDate(1900, 1, 1), &D::DatePlaceholderEmpty, ""},
        {"", 0, false, XDate(1899, 12, 30), &D::DatePlaceholderEmpty, ""},
        {"", 0, false, XDate(0), &D::DatePlaceholderEmpty, ""},
        {"", 0, false, XDate(), &D::DatePlaceholderEmpty, ""},
        {"", 0, false, XDate(1899, 12, 30), &D::DateText1900Empty, "12/30/1899"},
    };
    for (const auto& c : cases)
    {
        CannedReader da;
        da.text = c.text;
        da.number = c.number;
        da.flag = c.flag;
        da.date = c.date;
        const XString out = (da.*c.format)();
        EXPECT_STREQ(out.Text(), c.expected) << c.text << " " << c.number << " " << c.flag;
    }
    CannedReader da;
    EXPECT_STREQ(da.SingleLineOf("x\ty\r").Text(), "x y ");
    EXPECT_STREQ(da.NoYesOf(nullptr).Text(), "Yes");
    EXPECT_STREQ(da.YesNoOfBool(true).Text(), "Yes");
    EXPECT_STREQ(da.YesEmptyOfBool(false).Text(), "");
}

TEST(SchoolYear, Texts)
{
    for (const auto& l : GoldenLines("value_formats.txt", "SchoolYearText", 2))
        EXPECT_EQ(SISSchoolYear::SchoolYearText(l[0].c_str(), 2026).Text(), l[1]) << l[0];
    SISSchoolYear y("2008-09", "shown");
    EXPECT_STREQ(y.Display().Text(), "shown");
    EXPECT_TRUE(y.EndDate().IsNull());
}
