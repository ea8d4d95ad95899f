#include <gtest/gtest.h>

#include "DataAccessTestLog.h"
#include "DatabaseType.h"
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
    EXPECT_EQ(Phone("555-1234"), "555-1234");
    EXPECT_EQ(Phone("5551234"), "555-1234");
    EXPECT_EQ(Phone("5551-2345"), "55512345");
    EXPECT_EQ(Phone("15555551234"), "+1-555-555-1234");
    EXPECT_EQ(Phone("445555551234"), "+44 555 555-1234");
    EXPECT_EQ(Phone("3535555551234"), "+353 555 555-1234");
    EXPECT_EQ(Phone("12345555551234"), "+1234 555 555-1234");
    EXPECT_EQ(Phone("555-555-1234 Ext9"), "555 555-1234 x9");
    EXPECT_EQ(Phone("555-555-1234x7"), "555 555-1234 x7");
    EXPECT_EQ(Phone("", &message), "");
    EXPECT_EQ(message, "");
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
    EXPECT_STREQ(da.ClassifyRelationship("Mother's").Text(), "Family");
    EXPECT_STREQ(da.ClassifyRelationship("Step-Mother").Text(), "Family");
    EXPECT_STREQ(da.ClassifyRelationship("Grand Mother").Text(), "Family");
    EXPECT_STREQ(da.ClassifyRelationship("step dad 2").Text(), "Family");
    EXPECT_STREQ(da.ClassifyRelationship("Dr.").Text(), "Health");
    EXPECT_STREQ(da.ClassifyRelationship("dentist").Text(), "Health");
    EXPECT_STREQ(da.ClassifyRelationship("Guardian").Text(), "Emergency");
    EXPECT_STREQ(da.ClassifyRelationship("Neighbor").Text(), "Contact");
    EXPECT_STREQ(da.ClassifyRelationship("").Text(), "Contact");
    EXPECT_STREQ(da.ClassifyRelationship("Mother\xe9").Text(), "Contact");
    EXPECT_EQ(da.Relationships().Count(), 18);
}

TEST(ValueFormatters, YesNoFlagAndYesNoText)
{
    CannedReader da;
    const std::pair<const char*, const char*> flags[] = {{"", ""},   {"1", "Y"},    {"0", "N"},   {"X", "Y"},
                                                         {"x", ""},  {"YES", "Y"},  {"y", "Y"},   {"No", "N"},
                                                         {"n", "N"}, {"maybe", ""}, {" 1\t", "Y"}};
    for (const auto& [in, out] : flags)
    {
        da.text = in;
        EXPECT_STREQ(da.YesNoFlag().Text(), out) << in;
    }
    const std::pair<const char*, const char*> oneZero[] = {{"", ""},   {"1", "1"},  {"0", "0"}, {"Yes", "1"},
                                                           {"Y", "1"}, {"NO", "0"}, {"n", "0"}, {"X", ""}};
    for (const auto& [in, out] : oneZero)
    {
        da.text = in;
        EXPECT_STREQ(da.YesNoTextAsOneZero().Text(), out) << in;
    }
    da.text = "yEs";
    EXPECT_TRUE(da.YesNoTextAsBool());
    da.text = "X";
    EXPECT_FALSE(da.YesNoTextAsBool());
}

TEST(ValueFormatters, TextForms)
{
    CannedReader da;
    da.text = "a\tb";
    EXPECT_STREQ(da.CleanText().Text(), "ab");
    da.text = "a\r\nb";
    EXPECT_STREQ(da.CleanText().Text(), "a  b");
    EXPECT_STREQ(da.CleanTextNoBreaks().Text(), "a  b");
    EXPECT_STREQ(da.UpperText().Text(), "A  B");
    EXPECT_STREQ(da.QuotedText().Text(), "\"a  b\"");
    EXPECT_STREQ(da.GsName().Text(), "gs_a  b");
    EXPECT_STREQ(da.SingleLineOf("x\ty\r").Text(), "x y ");
    da.text = " 0 ";
    EXPECT_STREQ(da.ZeroAsEmpty().Text(), "");
    EXPECT_STREQ(da.ZeroAsEmptyIndirect().Text(), "");
    EXPECT_STREQ(da.TrimmedText().Text(), "0");
    da.text = "N/A";
    EXPECT_STREQ(da.NAAsEmpty().Text(), "");
    da.text = "ATHLETIC";
    EXPECT_STREQ(da.SourceCategory().Text(), "athletic");
    da.text = "Lunches";
    EXPECT_STREQ(da.SourceCategory().Text(), "Lunches");
}

TEST(ValueFormatters, NumbersFlagsAndDates)
{
    CannedReader da;
    da.number = 12.5;
    EXPECT_STREQ(da.MoneyText().Text(), "$12.50");
    EXPECT_STREQ(da.RealText().Text(), "12.500000");
    EXPECT_STREQ(da.RoundedReal().Text(), "12");
    da.number = -7.9;
    EXPECT_STREQ(da.RealAsWhole().Text(), "-7");
    da.number = 0;
    EXPECT_STREQ(da.IntZeroAsEmpty().Text(), "");
    EXPECT_STREQ(da.IntText().Text(), "0");

    da.flag = true;
    EXPECT_STREQ(da.YesNo().Text(), "Yes");
    EXPECT_STREQ(da.NoYes().Text(), "No");
    EXPECT_STREQ(da.YesEmpty().Text(), "Yes");
    EXPECT_STREQ(da.OneZero().Text(), "0"); // no current column: no field to read
    da.flag = false;
    EXPECT_STREQ(da.YesEmpty().Text(), "");
    EXPECT_STREQ(da.NoYesOf(nullptr).Text(), "Yes");
    EXPECT_STREQ(da.YesNoOfBool(true).Text(), "Yes");
    EXPECT_STREQ(da.YesEmptyOfBool(false).Text(), "");

    da.date = XDate();
    EXPECT_STREQ(da.DateText().Text(), "");
    da.date = XDate(2009, 1, 15);
    EXPECT_STREQ(da.DateText().Text(), "01/15/2009");
    da.date = XDate(1900, 1, 1);
    EXPECT_STREQ(da.DateText().Text(), "01/01/1900");
    EXPECT_STREQ(da.DateText1900Empty().Text(), "");
    EXPECT_STREQ(da.DatePlaceholderEmpty().Text(), "");
    for (XDate placeholder : {XDate(1899, 12, 30), XDate(0), XDate()})
    {
        da.date = placeholder;
        EXPECT_STREQ(da.DatePlaceholderEmpty().Text(), "");
    }
    da.date = XDate(1899, 12, 30);
    EXPECT_STREQ(da.DateText1900Empty().Text(), "12/30/1899");
}

TEST(SchoolYear, Texts)
{
    EXPECT_STREQ(SISSchoolYear::SchoolYearText("2008", 2026).Text(), "2008-2009");
    EXPECT_STREQ(SISSchoolYear::SchoolYearText("2008-2009", 2026).Text(), "2008-2009");
    EXPECT_STREQ(SISSchoolYear::SchoolYearText("2008-09", 2026).Text(), "2008-2009");
    EXPECT_STREQ(SISSchoolYear::SchoolYearText("08-09", 2026).Text(), "2008-2009");
    EXPECT_STREQ(SISSchoolYear::SchoolYearText("98/99", 2026).Text(), "1998-1999");
    EXPECT_STREQ(SISSchoolYear::SchoolYearText("2008-", 2026).Text(), "2008-");
    EXPECT_STREQ(SISSchoolYear::SchoolYearText("Spring", 2026).Text(), "Spring");
    EXPECT_STREQ(SISSchoolYear::SchoolYearText("20081", 2026).Text(), "20081");
    EXPECT_STREQ(SISSchoolYear::SchoolYearText("200", 2026).Text(), "200");
    EXPECT_STREQ(SISSchoolYear::SchoolYearText("2008-200", 2026).Text(), "2008-200");
    SISSchoolYear y("2008-09", "shown");
    EXPECT_STREQ(y.Display().Text(), "shown");
    EXPECT_TRUE(y.EndDate().IsNull());
}
