#pragma once

#include "XDateTime.h"
#include "XString.h"

// One entry of the school-year list: the year as the database writes it and
// the text shown to the user.
class SISSchoolYear
{
public:
    SISSchoolYear(const XString& key, const XString& display);
    // The display text is the school-year text of the key.
    explicit SISSchoolYear(const XString& key);
    virtual ~SISSchoolYear() = default;

    virtual XDate EndDate() const { return endDate_; }

    const XString& Key() const { return key_; }
    const XString& Display() const { return display_; }
    const XDate& StartDate() const { return startDate_; }
    void SetStartDate(const XDate& date) { startDate_ = date; }
    void SetEndDate(const XDate& date) { endDate_ = date; }

    // "2008", "2008-09", "08-09" and the like as "2008-2009"; texts that are
    // not a year or a pair of years come back unchanged. currentYear decides
    // the century of two-digit years.
    static XString SchoolYearText(const XString& text, int currentYear);
    static XString SchoolYearText(const XString& text);

private:
    XString key_;
    XString display_;
    XDate startDate_;
    XDate endDate_;
};
