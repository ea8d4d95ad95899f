#pragma once

#include <string>

namespace demo
{

// A calendar day as a count of days since 1970-01-01 (proleptic Gregorian).
class CivilDate
{
public:
    CivilDate() = default;
    static CivilDate fromYmd(int year, int month, int day);
    // Accepts "YYYYMMDD" or "YYYY-MM-DD"; throws std::invalid_argument otherwise.
    static CivilDate parse(const std::string& text);
    static CivilDate today();

    int year() const;
    int month() const;
    int day() const;
    // 0 = Monday ... 6 = Sunday.
    int weekday() const;
    bool isWeekday() const { return weekday() < 5; }
    // The eight-digit number a TSIS column holds, e.g. 20260902.
    long yyyymmdd() const;

    CivilDate plusDays(long n) const { return CivilDate(days_ + n); }
    long daysSince(const CivilDate& other) const { return days_ - other.days_; }

    friend bool operator==(const CivilDate& a, const CivilDate& b) { return a.days_ == b.days_; }
    friend auto operator<=>(const CivilDate& a, const CivilDate& b) { return a.days_ <=> b.days_; }

private:
    explicit CivilDate(long days) : days_(days) {}
    long days_ = 0;
};

// The n-th (1-based) given weekday of a month, or the last one when n is 0.
CivilDate nthWeekdayOfMonth(int year, int month, int weekday, int n);

} // namespace demo
