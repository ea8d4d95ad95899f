#pragma once

#include "XDateTime.h"
#include "XString.h"

// One attendance record as the cache stores it, filled field by field from
// the columns of an attendance export, matched by their header names.
struct AttendanceCacheRow
{
    // What a header field name meant to the cache.
    enum class Field
    {
        Known,      // mapped onto the row
        Untested,   // mapped, but never tried against a real SIS
        Unsupported // ignored
    };
    // Which list of key names a header joins.
    enum class KeyKind
    {
        None,
        Period,
        TimeFrame
    };

    XString student;
    XDate date;
    // The date as read, and whether it names a real day (not 31 November:
    // rolled over, it would take the cache key of another day's record).
    XString rawDate;
    bool dateValid = false;
    XString key;
    XString header; // as spelled in the header, e.g. "AttPerRef"
    KeyKind keyKind = KeyKind::None;
    XString code;
    XString reason;
    XString excused;
    XString absent;
    XString tardy;
    XString truant;
    XString discipline;
    // A range of periods or time slots; both ends are set from their own fields.
    bool hasRange = false;
    XString rangeStart;
    XString rangeEnd;

    // The part of a row a header field name fills; its upper-case form decides.
    enum class Role
    {
        Student,
        Date,
        PeriodKey,
        TimeFrameKey,
        Code,
        Reason,
        PeriodRangeStart,
        PeriodRangeEnd,
        SlotRangeStart,
        SlotRangeEnd,
        Excused,
        Absent,
        Tardy,
        Truant,
        ExcusedAbsent,
        UnexcusedAbsent,
        ExcusedTardy,
        UnexcusedTardy,
        Discipline,
        None
    };
    static Role RoleOf(const XString& name);
    static Field MeaningOf(Role role);

    // Takes the value of a field of the given role and header name (kept as
    // the row's header for keys). The date is read with dateFormat.
    void Apply(Role role, const XString& name, const XString& value, const char* dateFormat);
    // The same, finding the role from the name.
    Field Apply(const XString& name, const XString& value, const char* dateFormat);
    // The numbers of a range, false when an end is not a whole number.
    bool RangeBounds(long long& first, long long& last) const;
};
