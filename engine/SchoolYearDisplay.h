#pragma once

#include "XString.h"

// The text the school-year list shows for an SCH_YR value. TSIS writes the
// year as it is shown ("2008-09" and the like, normalised to "2008-2009");
// SchoolMAX writes the year in which the school year ends, so its 2009 is
// shown as "2008-2009". A SchoolMAX value that is not a number is shown
// unchanged.
XString SchoolYearDisplay(const XString& schoolYear, bool schoolMax, int currentYear);
XString SchoolYearDisplay(const XString& schoolYear, bool schoolMax);
