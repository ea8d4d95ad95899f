#pragma once

#include <functional>

#include "LookupList.h"
#include "XString.h"

// The texts the conduct exports make of single SIS values.
namespace ConductValueText
{
// "1".."5" give the five ethnicity names; any other code stays as it is.
XString Ethnicity(const XString& code);
// "X" gives "Y", anything else "".
XString XToY(const XString& flag);
// "0", "0:00", "00:00", "0::00" and "N/A" give ""; any other text stays.
XString NotADate(const XString& text);
// "" stays "", anything else gives "BUS".
XString BusFlag(const XString& text);
// From hour and minute as zero-text: "" when both are empty, else
// hour:minute:00 and the AM/PM text, an empty minute written as "00".
XString StartTime(const XString& hour, const XString& minute, const XString& amPm);
// "" when hour and minute are both "0", else hour:minute:00 and the AM/PM text.
XString EndTime(const XString& hour, const XString& minute, const XString& amPm);
} // namespace ConductValueText

// The student participants of the current conduct record. A student who is
// not among the included students is written without his number, and the name
// column of his role shows his name instead. Each role's switch is reset when
// the role's reference column is made, so it never outlives its record.
class ConductParticipants
{
public:
    enum Role
    {
        Perpetrator,
        Victim,
        Witness,
        Target,
        kRoles
    };

    // The reference column of a role: "" unless kind is "S" and, for the three
    // incident roles, type is the role's letter ("O", "V", "W"). id is the
    // participant's number as zero-text; a number for which `included` says
    // false gives "" and sets the role's switch.
    XString StudentReference(Role role, const XString& kind, const XString& type, const XString& id,
                             const std::function<bool(const XString&)>& included);
    // The name column of a role: the student's name when the role's switch is
    // set ("" when the name list lacks him), otherwise "".
    XString Name(Role role, const LookupList& names) const;
    void Reset();

private:
    bool switches_[kRoles] = {false, false, false, false};
    XString studentKey_;
};
