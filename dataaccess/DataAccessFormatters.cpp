// The value formatters of DataAccessBase: each turns the query field of the
// column being written (or a given field or text) into import file text.
#include <cmath>

#include "DataAccessBase.h"
#include "PhoneFormat.h"

namespace
{
XString ReplaceBreaks(XString text, const char* set)
{
    for (const char* c = set; *c; ++c)
        text.ReplaceChar(*c, ' ');
    return text;
}

XString EmptyWhen(XString text, const char* value)
{
    return text == value ? XString() : text;
}
} // namespace

SDEWriter::ValueFunction DataAccessBase::Fn(Formatter formatter)
{
    return [this, formatter]() { return (this->*formatter)(); };
}

XString DataAccessBase::FormatDate(const XDate& date) const
{
    return date.Format(Settings().dateFormat.Text());
}

XString DataAccessBase::CleanText()
{
    XString text = GetTrimmedText(CurrentField());
    text.Trim();
    return ReplaceBreaks(text, "\t\r\n");
}

XString DataAccessBase::TrimmedText()
{
    XString text = GetTrimmedText(CurrentField());
    return text.Trim();
}

XString DataAccessBase::UpperText()
{
    return CleanText().MakeUpper();
}

XString DataAccessBase::QuotedText()
{
    return CleanText().DoubleQuoted();
}

XString DataAccessBase::ZeroAsEmpty()
{
    return EmptyWhen(CleanText(), "0");
}

XString DataAccessBase::ZeroAsEmptyOf(const XString& text)
{
    return EmptyWhen(text, "0");
}

XString DataAccessBase::ZeroAsEmptyIndirect()
{
    return ZeroAsEmpty();
}

XString DataAccessBase::NAAsEmpty()
{
    return EmptyWhen(CleanText(), "N/A");
}

XString DataAccessBase::PhoneText()
{
    XString message;
    XString text = FormatPhoneNumber(EmptyWhen(CleanText(), "N/A"), message);
    if (!message.IsEmpty())
        Log(7, message);
    return text;
}

XString DataAccessBase::CleanTextNoBreaks()
{
    return ReplaceBreaks(CleanText(), "\r\n");
}

XString DataAccessBase::CleanTextNoTabs()
{
    return ReplaceBreaks(CleanText(), "\t\r\n");
}

XString DataAccessBase::SingleLineOf(const XString& text)
{
    return ReplaceBreaks(text, "\t\r\n");
}

XString DataAccessBase::MoneyText()
{
    return "$" + XString(GetDouble(CurrentField()), 2);
}

XString DataAccessBase::DateText()
{
    return FormatDate(GetDate(CurrentField()));
}

XString DataAccessBase::DateText1900EmptyOf(DataAccessField* field)
{
    XDate date = GetDate(FieldOrCurrent(field));
    if (date == XDate(1900, 1, 1))
        return XString();
    return FormatDate(date);
}

XString DataAccessBase::DateText1900Empty()
{
    return DateText1900EmptyOf(CurrentField());
}

XString DataAccessBase::DatePlaceholderEmptyOf(DataAccessField* field)
{
    XDate date = GetDate(FieldOrCurrent(field));
    if (date.IsNull() || date == XDate(1900, 1, 1) || date == XDate(1899, 12, 30) || date.DayNumber() == 0)
        return XString();
    return FormatDate(date);
}

XString DataAccessBase::DatePlaceholderEmpty()
{
    return DatePlaceholderEmptyOf(CurrentField());
}

XString DataAccessBase::DateZeroAsEmpty()
{
    return EmptyWhen(DateText(), "0");
}

XString DataAccessBase::TimeText()
{
    return GetTime(CurrentField()).Format(Settings().timeFormat.Text());
}

XString DataAccessBase::DateTimeText()
{
    return GetDateTime(CurrentField()).Format(Settings().dateTimeFormat.Text());
}

XString DataAccessBase::DateOfDateTimeText()
{
    return GetDateTime(CurrentField()).Format(Settings().dateFormat.Text());
}

XString DataAccessBase::IntText()
{
    return XString(GetInt(CurrentField()));
}

XString DataAccessBase::IntZeroAsEmpty()
{
    return EmptyWhen(IntText(), "0");
}

bool DataAccessBase::FlagOf(DataAccessField* field)
{
    DataAccessField* f = FieldOrCurrent(field);
    return f ? GetBool(f) : false;
}

XString DataAccessBase::YesNoOfBool(bool value)
{
    return value ? "Yes" : "No";
}

XString DataAccessBase::YesNo()
{
    return GetBool(CurrentField()) ? "Yes" : "No";
}

XString DataAccessBase::NoYes()
{
    return GetBool(CurrentField()) ? "No" : "Yes";
}

XString DataAccessBase::NoYesOf(DataAccessField* field)
{
    return GetBool(FieldOrCurrent(field)) ? "No" : "Yes";
}

XString DataAccessBase::YesEmptyOfBool(bool value)
{
    return value ? "Yes" : "";
}

XString DataAccessBase::YesEmpty()
{
    return YesEmptyOf(CurrentField());
}

XString DataAccessBase::YesEmptyOf(DataAccessField* field)
{
    return GetBool(FieldOrCurrent(field)) ? "Yes" : "";
}

XString DataAccessBase::OneZero()
{
    return FlagOf(CurrentField()) ? "1" : "0";
}

XString DataAccessBase::YesNoTextAsOneZero()
{
    XString text = CleanText();
    if (text.IsEmpty() || text == "1" || text == "0")
        return text;
    if (text.CompareNoCase("yes") == 0 || text.CompareNoCase("y") == 0)
        return "1";
    if (text.CompareNoCase("no") == 0 || text.CompareNoCase("n") == 0)
        return "0";
    return XString();
}

bool DataAccessBase::YesNoTextAsBool()
{
    XString text = CleanText();
    return text == "1" || text.CompareNoCase("yes") == 0 || text.CompareNoCase("y") == 0;
}

XString DataAccessBase::RealAsWhole()
{
    double value = std::trunc(GetDouble(CurrentField()));
    // Out of the int range the value would be undefined; clamp instead.
    if (!(value > -2147483649.0))
        value = -2147483648.0;
    else if (!(value < 2147483648.0))
        value = 2147483647.0;
    return XString(static_cast<int>(value));
}

XString DataAccessBase::RealText()
{
    return XString(static_cast<double>(GetFloat(CurrentField())), 6);
}

XString DataAccessBase::RoundedRealOf(DataAccessField* field)
{
    return XString(static_cast<double>(GetFloat(FieldOrCurrent(field))), 0);
}

XString DataAccessBase::RoundedReal()
{
    return RoundedRealOf(CurrentField());
}

XString DataAccessBase::RoundedRealOfField(DataAccessField* field)
{
    return RoundedRealOf(field);
}

XString DataAccessBase::SourceCategory()
{
    static const char* const categories[] = {"activity",   "athletic", "class",
                                             "enrollment", "lunch",    "transit"};
    XString text = CleanText();
    for (const char* category : categories)
        if (text.CompareNoCase(category) == 0)
            return category;
    return text;
}

XString DataAccessBase::CachedAttendance()
{
    CreateStudentDailyAttendanceFromDB(false);
    CreateStudentPeriodAttendanceFromDB(false);
    return XString();
}

XString DataAccessBase::GsNameOf(const XString& text)
{
    return "gs_" + text;
}

XString DataAccessBase::GsName()
{
    return "gs_" + CleanText();
}

XString DataAccessBase::YesNoFlag()
{
    XString text = CleanText();
    if (text.IsEmpty())
        return text;
    if (text == "1" || text == "X")
        return "Y";
    if (text == "0")
        return "N";
    if (text.CompareNoCase("yes") == 0 || text.CompareNoCase("y") == 0)
        return "Y";
    if (text.CompareNoCase("no") == 0 || text.CompareNoCase("n") == 0)
        return "N";
    return XString();
}
