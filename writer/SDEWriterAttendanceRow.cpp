// The field-name table of the attendance cache: which export field fills
// which part of a cache row.
#include "SDEWriterAttendanceRow.h"

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

AttendanceCacheRow::Field AttendanceCacheRow::Apply(const XString& name, const XString& value,
                                                    const char* dateFormat)
{
    const XString upper = name.Upper();
    if (upper == "ATTSTDREF")
        student = value;
    else if (upper == "ATTDATE")
    {
        rawDate = value;
        dateValid = date.Parse(dateFormat, value.Text()) && date.Format(dateFormat) == value;
    }
    else if (upper == "ATTPERREF" || upper == "ATTSECREF" || upper == "ATTTIMESLOT")
    {
        key = value;
        header = name;
        keyKind = KeyKind::Period;
    }
    else if (upper == "ATTTIMEFRAMEREF")
    {
        key = value;
        header = name;
        keyKind = KeyKind::TimeFrame;
    }
    else if (upper == "ATTATTCODEREF")
        code = value;
    else if (upper == "ATTATTREASONREF")
        reason = value;
    else if (upper == "ATTSTARTPERREF" || upper == "ATTENDPERREF" || upper == "ATTSTARTTIMESLOT" ||
             upper == "ATTENDTIMESLOT")
    {
        const bool period = upper.FindText("PERREF") >= 0;
        const bool start = upper.FindText("START") >= 0;
        (start ? rangeStart : rangeEnd) = value;
        hasRange = true;
        header = period ? "AttPerRef" : "AttTimeSlot";
        keyKind = period ? KeyKind::Period : KeyKind::TimeFrame;
    }
    else if (upper == "ATTEXCUSED")
        excused = value;
    else if (upper == "ATTABS")
        absent = value;
    else if (upper == "ATTTARDY")
        tardy = value;
    else if (upper == "ATTTRUANT")
        truant = value;
    else if (upper == "ATTEXCABS" || upper == "ATTUNEXCABS")
    {
        absent = value;
        SetExcused(excused, value, upper == "ATTUNEXCABS");
        return Field::Untested;
    }
    else if (upper == "ATTEXCTARDY" || upper == "ATTUNEXCTARDY")
    {
        tardy = value;
        SetExcused(excused, value, upper == "ATTUNEXCTARDY");
        return Field::Untested;
    }
    else if (upper == "ATTDISCIPLINE")
    {
        discipline = value;
        return Field::Untested;
    }
    else
        return Field::Unsupported;
    return Field::Known;
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
