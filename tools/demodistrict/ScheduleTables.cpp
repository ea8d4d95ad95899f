// Calendars, marking periods, terms, courses, sections and student schedules.
#include "DemoDistrict.h"

namespace demo
{

void DemoDistrict::writeCalendars()
{
    const long d = profile_.number;
    for (const DemoSchool& s : schools_)
        for (const DemoYear& y : years_)
        {
            const SchoolCalendar& cal = y.calendar;
            for (const CalendarDay& day : cal.days())
                out_.row("CA005", {d, s.number, y.schoolYear, day.date.yyyymmdd(), day.dayCode,
                                   day.instructional ? "1" : "0", day.cycleDay});
            const auto& q = cal.quarters();
            for (int p = 0; p < 4; ++p)
                out_.row("CA020", {d, s.number, y.schoolYear, "SC", p + 1, q[p].begin.yyyymmdd(),
                                   q[p].end.yyyymmdd()});
            out_.row("GR025", {d, s.number, y.schoolYear, q[0].begin.yyyymmdd(), q[0].end.yyyymmdd(),
                               q[1].begin.yyyymmdd(), q[1].end.yyyymmdd(), q[2].begin.yyyymmdd(),
                               q[2].end.yyyymmdd(), q[3].begin.yyyymmdd(), q[3].end.yyyymmdd(), 0, 0, 0, 0});
            const std::pair<const char*, int> termNumbers[] = {{"YR", 1}, {"YR", 2}, {"YR", 3}, {"YR", 4},
                                                               {"S1", 1}, {"S1", 2}, {"S2", 3}, {"S2", 4}};
            for (const auto& t : termNumbers)
                out_.row("SC040", {d, s.number, y.schoolYear, "00", t.first, t.second});
        }
}

void DemoDistrict::writeSchedules()
{
    const long d = profile_.number;
    static const char* const days[] = {"M", "T", "W", "R", "F"};
    const int sections = sectionsPerCourse();
    for (const DemoSchool& s : schools_)
        for (const DemoYear& y : years_)
        {
            for (std::size_t c = 0; c < courses_.size(); ++c)
            {
                const DemoCourse& course = courses_[c];
                out_.row("SC031", {d, s.number, y.schoolYear, "00", course.code, course.name});
                for (int j = 1; j <= sections; ++j)
                {
                    const std::string sec = sectionCode(j);
                    out_.row("SC060", {d, s.number, y.schoolYear, "00", course.code, sec, course.term});
                    for (const char* day : days)
                        out_.row("SC065", {d, s.number, y.schoolYear, "00", course.code, sec, course.period,
                                           roomOf(static_cast<int>(c), j), day});
                    out_.row("SC070", {d, s.number, y.schoolYear, "00", course.code, sec,
                                       teacherOf(s.index, static_cast<int>(c), j)});
                }
            }
            // A draft of next term's master schedule, which is not version 00.
            out_.row("SC031", {d, s.number, y.schoolYear, "01", "ROBO", "Robotics (draft)"});
            out_.row("SC060", {d, s.number, y.schoolYear, "01", "ROBO", "01", "Q4"});
            out_.row("SC065", {d, s.number, y.schoolYear, "01", "ROBO", "01", "6", "LAB1", "Sa"});
            out_.row("SC070", {d, s.number, y.schoolYear, "01", "ROBO", "01", kSuperintendent});
        }
}

void DemoDistrict::writeStudentSchedules()
{
    const long d = profile_.number;
    const DemoYear& cur = currentYear();
    for (const DemoStudent& st : students_)
    {
        const DemoSchool& s = schools_[static_cast<std::size_t>(st.school)];
        for (const DemoCourse& c : courses_)
        {
            if (st.id == kWithdrawn && c.code == "MATH")
            {
                // Moved from section 01 to 02 on the tenth day.
                out_.row("SC055", {d, s.number, cur.schoolYear, "00", st.id, c.code, "01",
                                   cur.calendar.instructionalDay(9).yyyymmdd()});
                out_.row("SC055", {d, s.number, cur.schoolYear, "00", st.id, c.code, "02", 0});
                continue;
            }
            out_.row("SC055", {d, s.number, cur.schoolYear, "00", st.id, c.code, sectionCode(st.section), 0});
        }
    }
}

} // namespace demo
