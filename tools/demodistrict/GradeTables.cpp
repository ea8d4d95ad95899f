// Student grades: marking-period and progress grades this year, final grades last year.
#include "DemoDistrict.h"

#include "DemoRandom.h"

namespace demo
{

void DemoDistrict::writeGrades()
{
    const long d = profile_.number;
    static const std::vector<std::string> letters = {"A", "A", "B", "B", "B", "C", "C", "D", "F"};
    struct Comment
    {
        long number, group;
    };
    static const std::vector<Comment> comments = {{0, 0}, {0, 0}, {1, 1}, {2, 1}, {3, 1}, {7, 2}, {12, 3}};
    const DemoYear& prev = years_.front();
    const DemoYear& cur = currentYear();
    const auto& quarters = cur.calendar.quarters();

    for (const DemoStudent& st : students_)
    {
        const DemoSchool& sc = schools_[static_cast<std::size_t>(st.school)];
        for (std::size_t c = 0; c < courses_.size(); ++c)
        {
            const DemoCourse& course = courses_[c];
            const std::string sec = sectionCode(st.section);
            DemoRandom r{tag("grades"), static_cast<std::uint64_t>(st.id), c};
            auto grade = [&](long year, const std::string& period, const char* type)
            {
                const Comment c1 = r.pick(comments);
                const Comment c2 = r.perMille(150) ? r.pick(comments) : Comment{0, 0};
                out_.row("GR060", {d, sc.number, year, st.id, course.code, sec, period, type, r.pick(letters),
                                   c1.number, c2.number, 0L, c1.group, c2.group, 0L});
            };
            if (st.ordinal >= 0 && st.gradeIndex > 0)
                grade(prev.schoolYear, "4", "FG");
            for (int q = 0; q < 4; ++q)
            {
                const bool inTerm = course.term == "YR" || (course.term == "S1") == (q < 2);
                if (!inTerm)
                    continue;
                const long midpoint =
                    quarters[q].begin.plusDays(quarters[q].end.daysSince(quarters[q].begin) / 2).yyyymmdd();
                if (midpoint <= options_.today.yyyymmdd())
                    grade(cur.schoolYear, std::to_string(q + 1), "G2");
                if (quarters[q].end <= options_.today)
                    grade(cur.schoolYear, std::to_string(q + 1), "MP");
            }
        }
    }
    // Comment 12 in group 3 and in no group (0), both on one line.
    const DemoStudent* st = findStudent(kTwoPageNotes);
    out_.row("GR060", {d, schools_[0].number, cur.schoolYear, st->id, "ENG", sectionCode(st->section), "1",
                       "G2", "A", 12L, 12L, 0L, 3L, 0L, 0L});
}

} // namespace demo
