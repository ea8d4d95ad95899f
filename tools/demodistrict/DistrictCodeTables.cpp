// District and school code tables: schools, relationship, staff type, term, bus location,
// conduct, health, grade comment and attendance codes.
#include "DemoDistrict.h"

namespace demo
{

void DemoDistrict::writeDistrictCodes()
{
    const long d = profile_.number;
    out_.row("SY005", {d, profile_.name});
    for (const DemoSchool& s : schools_)
        out_.row("SY010", {d, s.number, s.name, s.tiesCode});

    // Tables of code and description.
    auto pairs = [&](const char* table, std::initializer_list<std::pair<const char*, const char*>> rows)
    {
        for (const auto& r : rows)
            out_.row(table, {d, r.first, r.second});
    };
    pairs("CE035", {{"M", "Mother"},
                    {"F", "Father"},
                    {"GM", "Grandmother"},
                    {"GF", "Grandfather"},
                    {"ST", "Stepparent"},
                    {"GU", "Guardian"},
                    {"AU", "Aunt"},
                    {"UN", "Uncle"},
                    {"FO", "Foster Parent"}});
    pairs("SY031", {{"TE", "Teacher"},
                    {"CN", "Counselor"},
                    {"AD", "Administrator"},
                    {"AP", "Assistant Principal"},
                    {"NU", "School Nurse"}});

    const char* const terms[][3] = {{"YR", "FY", "Full Year"},    {"S1", "SEM1", "Semester 1"},
                                    {"S2", "SEM2", "Semester 2"}, {"Q1", "QTR1", "Quarter 1"},
                                    {"Q2", "QTR2", "Quarter 2"},  {"Q3", "QTR3", "Quarter 3"},
                                    {"Q4", "QTR4", "Quarter 4"}};
    for (const auto& t : terms)
        out_.row("SC082", {d, t[0], t[1], t[2]});

    pairs("TR060", {{"A", "Stop A"},
                    {"B", "Stop B"},
                    {"C", "Stop C"},
                    {"D", "Stop D"},
                    {"E", "Stop E"},
                    {"F", "Stop F"},
                    {"MN", "Main Office"},
                    {"LIB", "Public Library"}});
    pairs("EV055", {{"S01", "Attacks, threats, fighting"},
                    {"S02", "Disrespect, insubordination, disruption"},
                    {"S03", "Attendance"},
                    {"S04", "Weapons"},
                    {"S05", "Dangerous substances"}});

    auto codes = [&](const char* table, std::initializer_list<std::pair<const char*, const char*>> rows)
    {
        for (const auto& r : rows)
            out_.row(table, {d, "DIS", r.first, r.second});
    };
    codes("EV070", {{"KN", "Knife"}, {"FA", "Firearm"}, {"OT", "Other object"}, {"NO", "No weapon"}});
    codes("EV075", {{"EN", "Enrolled in this school"}, {"OS", "Other school"}, {"NE", "Not a student"}});
    codes("EV080",
          {{"AL", "Alcohol related"}, {"DR", "Drug related"}, {"GA", "Gang related"}, {"HA", "Hate crime"}});
    codes("EV081", {{"SP", "School property"}, {"PP", "Personal property"}});
    codes("EV082", {{"MI", "Minor injury"}, {"SE", "Serious bodily injury"}});
    codes("EV083", {{"ST", "Student"}, {"SF", "Staff member"}});
    // A weapon code of another category, which the code list must not pick up.
    out_.row("EV070", {d, "ATT", "ZZ", "Not a discipline code"});

    const char* const misc[][3] = {{"DISB", "PR", "Principal"},
                                   {"DISB", "AP", "Assistant Principal"},
                                   {"DREA", "RD", "Reduced on appeal"},
                                   {"DREA", "MD", "Medical reasons"},
                                   {"REST", "CO", "Completed"},
                                   {"REST", "PE", "Pending"},
                                   {"EDRE", "AE", "Alternative education"},
                                   {"EDRE", "HI", "Home instruction"},
                                   {"ELRE", "Y", "Eligible to return"},
                                   {"ELRE", "N", "Not eligible to return"},
                                   {"OTHR", "XX", "Unused type"}};
    for (const auto& m : misc)
        out_.row("EV090", {d, m[0], m[1], m[2]});

    pairs("HE094", {{"AST", "Asthma"},
                    {"DIA", "Diabetes"},
                    {"EPI", "Epilepsy"},
                    {"ALG", "Severe allergy"},
                    {"ADD", "ADHD"},
                    {"VIS", "Vision impairment"},
                    {"HRT", "Heart condition"}});

    struct Comment
    {
        int number, group;
        const char* text;
    };
    const Comment comments[] = {{0, 1, "(no comment)"},
                                {1, 1, "Excellent work"},
                                {2, 1, "Good effort"},
                                {3, 1, "Needs to complete homework"},
                                {7, 2, "Participates in class"},
                                {9, 2, "Must improve test scores"},
                                {12, 3, "Shows excellent effort"},
                                {12, 0, "Shows effort (no group)"}};
    for (const DemoYear& y : years_)
        for (const Comment& c : comments)
            out_.row("GR013", {d, y.schoolYear, c.number, c.group, c.text});

    for (const auto& [type, text] : profile_.exclusions)
        out_.row("ST014", {d, type, text});
}

void DemoDistrict::writeSchoolCodes()
{
    const long d = profile_.number;
    struct AttCode
    {
        const char *code, *text, *excused, *total, *truant;
    };
    const AttCode attCodes[] = {{"A", "Unexcused Absence", "", "1", "X"},
                                {"E", "Excused Absence", "E", "1", ""},
                                {"ILL", "Illness", "E", "1", ""},
                                {"SUS", "Suspension", "E", "1", ""},
                                {"T", "Tardy", "X", "0", ""},
                                {"TE", "Excused Tardy", "X", "0", ""},
                                {"CUT", "Class Cut", "", "1", "X"}};
    const char* const events[][5] = {{"FIGHT", "Fighting", "S01", "Y", "Y"},
                                     {"DISR", "Classroom disruption", "S02", "N", "N"},
                                     {"TRUA", "Truancy", "S03", "N", "N"},
                                     {"WEAP", "Weapon possession", "S04", "Y", "Y"},
                                     {"SUBS", "Controlled substance", "S05", "Y", "Y"}};
    const char* const responses[][2] = {{"ISS", "In-school suspension"},
                                        {"OSS", "Out-of-school suspension"},
                                        {"DET", "Detention"},
                                        {"CON", "Parent conference"}};
    for (const DemoSchool& s : schools_)
    {
        for (const AttCode& a : attCodes)
            out_.row("AT015", {d, s.number, a.code, a.text, a.excused, a.total, a.truant});
        for (const auto& e : events)
            out_.row("EV060", {d, s.number, "DIS", e[0], e[1], e[2], e[3], e[4]});
        out_.row("EV060", {d, s.number, "ATT", "LATE", "Chronic lateness", "", "N", "N"});
        for (const auto& r : responses)
            out_.row("EV065", {d, s.number, "DIS", r[0], r[1]});
        out_.row("EV065", {d, s.number, "ATT", "LTR", "Attendance letter"});
        for (const DemoYear& y : years_)
        {
            out_.row("GR020", {d, s.number, y.schoolYear, "MP", "Marking Period Grade"});
            out_.row("GR020", {d, s.number, y.schoolYear, "G2", "Progress Report Grade"});
            out_.row("GR020", {d, s.number, y.schoolYear, "G2", "Progress Grade"});
            out_.row("GR020", {d, s.number, y.schoolYear, "FG", "Final Grade"});
            out_.row("GR020", {d, s.number, y.schoolYear, "EXAM", "Exam"});
            out_.row("GR020", {d, s.number, y.schoolYear, "SE", "Semester  Exam"}); // two blanks
        }
    }
}

} // namespace demo
