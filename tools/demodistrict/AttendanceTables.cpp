// Daily and period attendance for the school days up to today.
#include "DemoDistrict.h"

#include "DemoRandom.h"

namespace demo
{

void DemoDistrict::writeAttendance()
{
    const long d = profile_.number;
    static const std::vector<std::string> absenceCodes = {"A", "E", "ILL", "ILL", "E"};
    for (const DemoYear& y : years_)
    {
        const std::vector<CivilDate> days = elapsedDays(y);
        const auto& quarters = y.calendar.quarters();
        for (const DemoStudent& st : students_)
        {
            const bool enrolled = y.current || (st.ordinal >= 0 && st.gradeIndex > 0);
            if (!enrolled)
                continue;
            const DemoSchool& sc = schools_[static_cast<std::size_t>(st.school)];
            const long from = y.current ? st.enterDate : y.calendar.firstDay().yyyymmdd();
            const long to = y.current && st.leaveDate % 10000 != 0 ? st.leaveDate : 99999999L;
            for (std::size_t i = 0; i < days.size(); ++i)
            {
                const long day = days[i].yyyymmdd();
                if (day < from || day > to)
                    continue;
                DemoRandom r{tag("attendance"), static_cast<std::uint64_t>(st.id),
                             static_cast<std::uint64_t>(day)};
                const int roll = r.below(1000);
                std::string status, code;
                long halfDay = 0;
                if (roll < 30)
                {
                    status = "A";
                    code = r.pick(absenceCodes);
                    halfDay = roll < 6 ? 1 : 0;
                }
                else if (roll < 45)
                {
                    status = "T";
                    code = roll < 40 ? "T" : "TE";
                }
                // Planted: the second, third and fourth school day of the year.
                if (y.current && st.ordinal < 0 && i >= 1 && i <= 3)
                {
                    status = i == 2 ? "T" : "A";
                    code = i == 2 ? "T" : "ILL";
                    halfDay = i == 3 ? 1 : 0;
                }
                if (status.empty())
                    continue;
                // Most records are entered the same day, some the next school day.
                const long entered = r.perMille(800) || i + 1 >= days.size() ? day : days[i + 1].yyyymmdd();
                out_.row("AT020", {d, sc.number, y.schoolYear, st.id, day, code, status, halfDay, entered});

                if (!y.current || !sc.secondary)
                    continue;
                int quarter = 0;
                while (quarter < 3 && days[i] > quarters[static_cast<std::size_t>(quarter)].end)
                    ++quarter;
                for (const DemoCourse& c : courses_)
                {
                    const bool meets = c.term == "YR" || (c.term == "S1") == (quarter < 2);
                    if (!meets)
                        continue;
                    if (status == "A" && halfDay == 0)
                        out_.row("AT030", {d, sc.number, y.schoolYear, st.id, day, c.code,
                                           sectionCode(st.section), code, "A", entered});
                    else if (status == "T" && c.period == "1")
                        out_.row("AT030", {d, sc.number, y.schoolYear, st.id, day, c.code,
                                           sectionCode(st.section), code, "T", entered});
                }
            }
        }
    }
}

} // namespace demo
