#include "ConductValueText.h"

namespace ConductValueText
{
XString Ethnicity(const XString& code)
{
    static const char* const names[] = {"American Indian or Alaskan Native", "Asian or Pacific Islander",
                                        "Hispanic", "Black, not of Hispanic origin",
                                        "White, not of Hispanic origin"};
    if (code.Length() == 1 && code[0] >= '1' && code[0] <= '5')
        return names[code[0] - '1'];
    return code;
}

XString XToY(const XString& flag)
{
    return flag == "X" ? XString("Y") : XString();
}

XString NotADate(const XString& text)
{
    for (const char* none : {"0", "0:00", "00:00", "0::00", "N/A"})
        if (text == none)
            return XString();
    return text;
}

XString BusFlag(const XString& text)
{
    return text.IsEmpty() ? XString() : XString("BUS");
}

XString StartTime(const XString& hour, const XString& minute, const XString& amPm)
{
    if (hour.IsEmpty() && minute.IsEmpty())
        return XString();
    return hour + ":" + (minute.IsEmpty() ? XString("00") : minute) + ":00 " + amPm;
}

XString EndTime(const XString& hour, const XString& minute, const XString& amPm)
{
    // An outcome without an end time leaves it empty, never "::00 ".
    if ((hour == "0" && minute == "0") || (hour.IsEmpty() && minute.IsEmpty()))
        return XString();
    return hour + ":" + minute + ":00 " + amPm;
}
} // namespace ConductValueText

XString ConductParticipants::StudentReference(Role role, const XString& kind, const XString& type,
                                              const XString& id,
                                              const std::function<bool(const XString&)>& included)
{
    static const char* const letters[] = {"O", "V", "W"};
    switches_[role] = false;
    if (kind != "S" || (role != Target && type != letters[role]))
        return XString();
    if (id.IsEmpty())
        return id;
    studentKey_ = id;
    if (!included(id))
    {
        switches_[role] = true;
        return XString();
    }
    return id;
}

XString ConductParticipants::Name(Role role, const LookupList& names) const
{
    XString name;
    if (switches_[role])
        names.Find(studentKey_, name);
    return name;
}

void ConductParticipants::Reset()
{
    for (bool& s : switches_)
        s = false;
    studentKey_ = XString();
}
