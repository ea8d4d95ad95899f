#include "StaffGradeValueText.h"

XString StaffBirthDateText(const XString& year, const XString& monthDay)
{
    XString date = year + monthDay;
    return date.Length() == 8 ? date : XString();
}

XString StaffLeaveDateText(const XString& value, const char* dateFormat, const XDate& today)
{
    if (value == "0")
        return XString();
    XDate date;
    if (date.Parse(dateFormat, value.Text()) && date < today)
        return value;
    return XString();
}

XString GradeCommentKey(const XString& number, const XString& group)
{
    if (number.IsEmpty() || number == "0")
        return XString();
    return "gs_" + number + "_" + (group == "0" ? XString() : group);
}

XString Initials(const XString& text)
{
    if (text.Length() < 5)
        return text;
    XString initials = text.Left(1);
    XString rest = text.Mid(1);
    while (!rest.IsEmpty())
    {
        const int blank = rest.Find(' ');
        if (blank + 1 < rest.Length())
            initials += rest.Mid(blank + 1).Left(1);
        rest = blank < rest.Length() ? rest.Mid(blank + 1) : XString();
    }
    return initials;
}
