#include "CalendarSpan.h"

void CalendarSpan::Add(const XString& calendarDate)
{
    if (calendarDate.IsEmpty() || calendarDate == "0")
        return;
    XDate date;
    if (!date.Parse(format_.Text(), calendarDate.Text()))
        return;
    if (start_.IsNull())
        start_ = date;
    end_ = date;
}
