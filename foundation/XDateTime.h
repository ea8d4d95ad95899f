#pragma once

#include "XString.h"

// Dates, times and their pair. One pattern language serves formatting and
// parsing: runs of one letter (either case) such as YYYY, YY, Y, MMMM, MMM, MM,
// M, DDDD, DDD, DD, D, WWW, WW, W for dates and HH, NN, SS, LLL, AA for times;
// every other character is copied. Names are English.

// Calendar date as a day number since 1600-01-01 (day 0); -1 is null.
class XDate
{
public:
    static constexpr int kNull = -1;

    XDate() = default;
    explicit XDate(int dayNumber) : day_(dayNumber < 0 ? kNull : dayNumber) {}
    XDate(int year, int month, int day) { SetYMD(year, month, day); }

    static XDate Today(); // through XClock

    // Years before 1600, month 0 or day 0 give null; days and months beyond
    // their ranges roll over (30 February is 2 or 1 March). True when not null.
    bool SetYMD(int year, int month, int day);
    bool GetYMD(int& year, int& month, int& day) const; // false (and zeros) for null
    int Year() const;
    int Month() const;
    int Day() const;
    int DayNumber() const { return day_; }
    void SetDayNumber(int dayNumber) { day_ = dayNumber < 0 ? kNull : dayNumber; }
    bool IsNull() const { return day_ < 0; }
    void SetNull() { day_ = kNull; }
    int Weekday() const; // 0 Monday .. 6 Sunday; -1 for null

    // Plain day arithmetic; for non-null dates.
    XDate operator+(int days) const { return XDate(day_ + days); }
    XDate operator-(int days) const { return XDate(day_ - days); }
    XDate& operator+=(int days) { return *this = *this + days; }
    XDate& operator-=(int days) { return *this = *this - days; }
    int operator-(const XDate& other) const { return day_ - other.day_; }

    // Calendar arithmetic returning the new date; a null date counts as 1600-01-01.
    [[nodiscard]] XDate Add(int years, int months, int days) const;
    [[nodiscard]] XDate Subtract(int years, int months, int days) const;

    bool operator==(const XDate& o) const { return day_ == o.day_; }
    bool operator!=(const XDate& o) const { return day_ != o.day_; }
    bool operator<(const XDate& o) const { return day_ < o.day_; }
    bool operator<=(const XDate& o) const { return day_ <= o.day_; }
    bool operator>(const XDate& o) const { return day_ > o.day_; }
    bool operator>=(const XDate& o) const { return day_ >= o.day_; }

    XString Format(const char* pattern) const;         // "" for null
    bool Parse(const char* pattern, const char* text); // true when year, month and day were found; else null
    XString FormatIso() const { return Format("YYYY-MM-DD"); }
    bool ParseIso(const char* text) { return Parse("YYYY-MM-DD", text); }

    static bool IsLeapYear(int year);
    static int DaysInMonth(int year, int month);
    static const char* MonthName(int month); // 1..12, "" otherwise
    static const char* DayName(int weekday); // 0 Monday .. 6 Sunday, "" otherwise

private:
    int day_ = kNull;
};

// Time of day in milliseconds since midnight (0 .. 86 399 999); -1 is null.
class XTime
{
public:
    static constexpr int kNull = -1;
    static constexpr int kMsPerDay = 86400000;

    XTime() = default;
    explicit XTime(int milliseconds)
        : ms_(milliseconds < 0 || milliseconds >= kMsPerDay ? kNull : milliseconds)
    {
    }
    XTime(int hour, int minute, int second, int millisecond = 0);

    int Milliseconds() const { return ms_; }
    void SetMilliseconds(int milliseconds) { *this = XTime(milliseconds); }
    bool IsNull() const { return ms_ < 0; }
    void SetNull() { ms_ = kNull; }
    int Hour() const { return ms_ < 0 ? 0 : ms_ / 3600000; }
    int Minute() const { return ms_ < 0 ? 0 : ms_ / 60000 % 60; }
    int Second() const { return ms_ < 0 ? 0 : ms_ / 1000 % 60; }
    int Millisecond() const { return ms_ < 0 ? 0 : ms_ % 1000; }

    bool operator==(const XTime& o) const { return ms_ == o.ms_; }
    bool operator!=(const XTime& o) const { return ms_ != o.ms_; }
    bool operator<(const XTime& o) const { return ms_ < o.ms_; }
    bool operator<=(const XTime& o) const { return ms_ <= o.ms_; }
    bool operator>(const XTime& o) const { return ms_ > o.ms_; }
    bool operator>=(const XTime& o) const { return ms_ >= o.ms_; }

    XString Format(const char* pattern) const;         // "" for null
    bool Parse(const char* pattern, const char* text); // true when a time was read; else null

private:
    int ms_ = kNull;
};

// A date and a time of day; null when both parts are null.
class XDateTime
{
public:
    XDateTime() = default;
    explicit XDateTime(const XDate& date) : date_(date) {}
    XDateTime(const XDate& date, const XTime& time) : date_(date), time_(time) {}

    static XDateTime Now(); // through XClock
    // Automation date: 0.0 is null; whole days from 1899-12-30 plus the
    // fraction of a day, rounded to the millisecond.
    static XDateTime FromOleDate(double value);

    const XDate& Date() const { return date_; }
    const XTime& Time() const { return time_; }
    void SetDate(const XDate& date) { date_ = date; }
    void SetTime(const XTime& time) { time_ = time; }
    bool IsNull() const { return date_.IsNull() && time_.IsNull(); }
    void SetNull()
    {
        date_.SetNull();
        time_.SetNull();
    }

    // Date runs first, then time runs over the result; "" when either part is null.
    XString Format(const char* pattern) const;
    // Both parts parse the whole text; true unless both end null.
    bool Parse(const char* pattern, const char* text);
    // Date by "YYYY-MM-DD", time by "HH:NN:SS.LLL" from the twelfth character.
    bool ParseIso(const char* text);

    [[nodiscard]] XDateTime Add(int years, int months, int days, int hours = 0, int minutes = 0,
                                int seconds = 0, int milliseconds = 0) const;
    [[nodiscard]] XDateTime Subtract(int years, int months, int days, int hours = 0, int minutes = 0,
                                     int seconds = 0, int milliseconds = 0) const;

    bool operator==(const XDateTime& o) const { return date_ == o.date_ && time_ == o.time_; }
    bool operator!=(const XDateTime& o) const { return !(*this == o); }
    bool operator<(const XDateTime& o) const
    {
        return date_ < o.date_ || (date_ == o.date_ && time_ < o.time_);
    }
    bool operator<=(const XDateTime& o) const { return !(o < *this); }
    bool operator>(const XDateTime& o) const { return o < *this; }
    bool operator>=(const XDateTime& o) const { return !(*this < o); }

private:
    XDate date_;
    XTime time_;
};
