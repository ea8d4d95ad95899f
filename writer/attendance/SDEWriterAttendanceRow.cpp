// The field-name table of the attendance cache: which export field fills
// which part of a cache row.
#include "attendance/SDEWriterAttendanceRow.h"

namespace
{
// "Y"/"N" for the excused flag of the four combined fields; an empty value leaves it alone.
void SetExcused(XString& excused, const XString& value, bool zeroMeansExcused)
{
    if (value.IsEmpty())
        return;
    const bool zero = value == "0";
    excused = (zero == zeroMeansExcused) ? "Y" : "N";
}
} // namespace

AttendanceCacheRow::Role AttendanceCacheRow::RoleOf(const XString& name)
{
    static const struct
    {
        const char* name;
        Role role;
    } kRoles[] = {
        {"ATTSTDREF", Role::Student},
        {"ATTDATE", Role::Date},
        {"ATTPERREF", Role::PeriodKey},
        {"ATTSECREF", Role::PeriodKey},
        {"ATTTIMESLOT", Role::PeriodKey},
        {"ATTTIMEFRAMEREF", Role::TimeFrameKey},
        {"ATTATTCODEREF", Role::Code},
        {"ATTATTREASONREF", Role::Reason},
        {"ATTSTARTPERREF", Role::PeriodRangeStart},
        {"ATTENDPERREF", Role::PeriodRangeEnd},
        {"ATTSTARTTIMESLOT", Role::SlotRangeStart},
        {"ATTENDTIMESLOT", Role::SlotRangeEnd},
        {"ATTEXCUSED", Role::Excused},
        {"ATTABS", Role::Absent},
        {"ATTTARDY", Role::Tardy},
        {"ATTTRUANT", Role::Truant},
        {"ATTEXCABS", Role::ExcusedAbsent},
        {"ATTUNEXCABS", Role::UnexcusedAbsent},
        {"ATTEXCTARDY", Role::ExcusedTardy},
        {"ATTUNEXCTARDY", Role::UnexcusedTardy},
        {"ATTDISCIPLINE", Role::Discipline},
    };
    const XString upper = name.Upper();
    for (const auto& entry : kRoles)
        if (upper == entry.name)
            return entry.role;
    return Role::None;
}

AttendanceCacheRow::Field AttendanceCacheRow::MeaningOf(Role role)
{
    switch (role)
    {
    case Role::ExcusedAbsent:
    case Role::UnexcusedAbsent:
    case Role::ExcusedTardy:
    case Role::UnexcusedTardy:
    case Role::Discipline:
        return Field::Untested;
    case Role::None:
        return Field::Unsupported;
    default:
        return Field::Known;
    }
}

AttendanceCacheRow::Field AttendanceCacheRow::Apply(const XString& name, const XString& value,
                                                    const char* dateFormat)
{
    const Role role = RoleOf(name);
    Apply(role, name, value, dateFormat);
    return MeaningOf(role);
}

void AttendanceCacheRow::Apply(Role role, const XString& name, const XString& value, const char* dateFormat)
{
    switch (role)
    {
    case Role::Student:
        student = value;
        break;
    case Role::Date:
        rawDate = value;
        dateValid = date.Parse(dateFormat, value.Text()) && date.Format(dateFormat) == value;
        break;
    case Role::PeriodKey:
    case Role::TimeFrameKey:
        key = value;
        header = name;
        keyKind = role == Role::PeriodKey ? KeyKind::Period : KeyKind::TimeFrame;
        break;
    case Role::Code:
        code = value;
        break;
    case Role::Reason:
        reason = value;
        break;
    case Role::PeriodRangeStart:
    case Role::PeriodRangeEnd:
    case Role::SlotRangeStart:
    case Role::SlotRangeEnd:
    {
        const bool period = role == Role::PeriodRangeStart || role == Role::PeriodRangeEnd;
        const bool start = role == Role::PeriodRangeStart || role == Role::SlotRangeStart;
        (start ? rangeStart : rangeEnd) = value;
        hasRange = true;
        header = period ? "AttPerRef" : "AttTimeSlot";
        keyKind = period ? KeyKind::Period : KeyKind::TimeFrame;
        break;
    }
    case Role::Excused:
        excused = value;
        break;
    case Role::Absent:
        absent = value;
        break;
    case Role::Tardy:
        tardy = value;
        break;
    case Role::Truant:
        truant = value;
        break;
    case Role::ExcusedAbsent:
    case Role::UnexcusedAbsent:
        absent = value;
        SetExcused(excused, value, role == Role::UnexcusedAbsent);
        break;
    case Role::ExcusedTardy:
    case Role::UnexcusedTardy:
        tardy = value;
        SetExcused(excused, value, role == Role::UnexcusedTardy);
        break;
    case Role::Discipline:
        discipline = value;
        break;
    case Role::None:
        break;
    }
}

bool AttendanceCacheRow::RangeBounds(long long& first, long long& last) const
{
    auto whole = [](const XString& text) { return !text.IsEmpty() && text.IsDigits(); };
    if (!whole(rangeStart) || !whole(rangeEnd))
        return false;
    first = rangeStart.ToInt64();
    last = rangeEnd.ToInt64();
    return true;
}
