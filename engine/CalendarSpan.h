#pragma once

#include "XDateTime.h"
#include "XString.h"

// The first and last day of a calendar read in date order. A day counts when
// its CAL_DT reads as a date: the SIS writes 0 (and sometimes nothing) for a
// day without a date, and such a day changes neither end.
class CalendarSpan
{
public:
    explicit CalendarSpan(const XString& dateFormat) : format_(dateFormat) {}

    void Add(const XString& calendarDate);
    const XDate& Start() const { return start_; }
    const XDate& End() const { return end_; }
    bool IsEmpty() const { return start_.IsNull(); }

private:
    XString format_;
    XDate start_;
    XDate end_;
};
