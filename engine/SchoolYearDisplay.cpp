#include "SchoolYearDisplay.h"

#include "SISSchoolYear.h"
#include "XDateTime.h"

XString SchoolYearDisplay(const XString& schoolYear, bool schoolMax, int currentYear)
{
    if (!schoolMax)
        return SISSchoolYear::SchoolYearText(schoolYear, currentYear);
    // Beyond nine digits the number would not fit an int.
    if (schoolYear.IsEmpty() || !schoolYear.IsDigits() || schoolYear.Length() > 9)
        return schoolYear;
    return SISSchoolYear::SchoolYearText(XString(schoolYear.ToInt() - 1), currentYear);
}

XString SchoolYearDisplay(const XString& schoolYear, bool schoolMax)
{
    return SchoolYearDisplay(schoolYear, schoolMax, XDate::Today().Year());
}
