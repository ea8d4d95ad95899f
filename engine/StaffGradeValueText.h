#pragma once

#include "XDateTime.h"
#include "XString.h"

// Texts of the staff and grade exports, built from values already read from
// the current record (each value as its trimmed text).

// Year followed by month-day, or "" when that is not exactly eight characters
// (a month-day stored without its leading zero gives seven).
XString StaffBirthDateText(const XString& year, const XString& monthDay);

// The leave date as stored when it reads as a date in dateFormat that lies
// before today; "" for "0", for a text that is no date, for today and later.
XString StaffLeaveDateText(const XString& value, const char* dateFormat, const XDate& today);

// "gs_" + number + "_" + group, a group "0" left empty; "" when the comment
// number is empty or "0".
XString GradeCommentKey(const XString& number, const XString& group);

// The first character and the one after each blank; a text of fewer than five
// characters unchanged.
XString Initials(const XString& text);
