#include "DemoDistrict.h"

#include "DemoNames.h"
#include "DemoRandom.h"

#include <algorithm>
#include <cstdio>

namespace demo
{

DemoDistrict::DemoDistrict(const DemoOptions& options, SqlScriptWriter& out,
                           const DemoDistrictProfile& profile)
    : options_(options), out_(out), profile_(profile)
{
    const int start = SchoolCalendar::startYearFor(options.today);
    for (int y : {start - 1, start})
    {
        // TSIS numbers a school year by the year it starts in, SchoolMAX by the year it ends in.
        const long schYr = options.flavour == Flavour::Tsis ? y : y + 1;
        years_.push_back({SchoolCalendar(y), schYr, y == start});
    }
    planSchools();
    planStaff();
    planStudents();
}

void DemoDistrict::write()
{
    writeDistrictCodes();
    writeSchoolCodes();
    writeCalendars();
    writeSchedules();
    writeStaff();
    writeStudents();
    writeNotes();
    writeTransport();
    writeStudentSchedules();
    writeGrades();
    writeAttendance();
    writeConduct();
    writeHealth();
}

void DemoDistrict::planSchools()
{
    const std::vector<std::string> grades[] = {
        {"KG", "01", "02", "03", "04", "05"}, {"06", "07", "08"}, {"09", "10", "11", "12"}};
    for (int i = 0; i < 3; ++i)
    {
        const DemoSchoolName& n = profile_.schools[static_cast<std::size_t>(i)];
        schools_.push_back({i, n.number, n.name, n.tiesCode, grades[i], i > 0});
    }
    courses_ = {
        {"ENG", "English Language Arts", "YR", "1", "English"},
        {"MATH", "Mathematics", "YR", "2", "Mathematics"},
        {"SCI", "Science", "YR", "3", "Science"},
        {"SOC", "Social Studies", "YR", "4", "Social Studies"},
        {"ART", "Art", "S1", "5", "Fine Arts"},
        {"PE", "Physical Education", "S2", "5", "Physical Ed"},
    };
}

int DemoDistrict::sectionsPerCourse() const
{
    return std::max(2, (options_.studentsPerSchool + 24) / 25);
}

long DemoDistrict::teacherOf(int school, int course, int section) const
{
    const int perCourse = (sectionsPerCourse() + 4) / 5;
    return (school + 1) * 10000L + 100 + course * perCourse + (section - 1) / 5;
}

std::string DemoDistrict::roomOf(int course, int section) const
{
    // A wing letter per course: a room code never reads as a staff number.
    return std::string(1, static_cast<char>('A' + course)) + std::to_string(100 + section);
}

int DemoDistrict::homeroomCourse(int gradeIndex) const
{
    // Each grade of a school has its homeroom with the teacher of another course.
    return gradeIndex % static_cast<int>(courses_.size());
}

std::string DemoDistrict::sectionCode(int section) const
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", section % 100);
    return buf;
}

void DemoDistrict::planStaff()
{
    auto person = [this](long number, int school, const char* type, const std::string& dept)
    {
        DemoRandom r{tag("staff"), static_cast<std::uint64_t>(number)};
        DemoStaff s{number, school, type, dept, "", "", r.perMille(600) ? "F" : "M"};
        s.first = s.gender == "F" ? r.pick(DemoNames::femaleFirst()) : r.pick(DemoNames::maleFirst());
        s.last = r.pick(DemoNames::last());
        return s;
    };
    for (const DemoSchool& sc : schools_)
    {
        staff_.push_back(person(principalOf(sc.index), sc.index, "AD", "Administration"));
        staff_.push_back(person(assistantOf(sc.index), sc.index, "AP", "Administration"));
        staff_.push_back(person(counselorOf(sc.index), sc.index, "CN", "Guidance"));
        staff_.push_back(person(nurseOf(sc.index), sc.index, "NU", "Health"));
        const int perCourse = (sectionsPerCourse() + 4) / 5;
        for (std::size_t c = 0; c < courses_.size(); ++c)
            for (int t = 0; t < perCourse; ++t)
                staff_.push_back(person(teacherOf(sc.index, static_cast<int>(c), t * 5 + 1), sc.index, "TE",
                                        courses_[c].department));
    }
    DemoStaff cher = person(kCounselorWithoutLastName, 0, "CN", "Guidance");
    cher.first = "Cher";
    cher.last = "";
    cher.gender = "F";
    staff_.push_back(cher);
    DemoStaff sup = person(kSuperintendent, -1, "AD", "Central Office");
    sup.first = "Eleanor";
    sup.last = "Grant";
    sup.gender = "F";
    staff_.push_back(sup);
}

DemoStudent DemoDistrict::makeStudent(int school, int ordinal) const
{
    const DemoSchool& sc = schools_[static_cast<std::size_t>(school)];
    const DemoYear& cur = currentYear();
    DemoStudent s;
    s.school = school;
    s.ordinal = ordinal;
    s.id = (school + 1) * 100000L + ordinal + 1;
    DemoRandom r{tag("student"), static_cast<std::uint64_t>(s.id)};
    s.gradeIndex = ordinal % static_cast<int>(sc.grades.size());
    s.grade = sc.grades[static_cast<std::size_t>(s.gradeIndex)];
    s.gradeNumber = s.grade == "KG" ? 0 : std::stoi(s.grade);
    s.gender = r.perMille(500) ? "F" : "M";
    const auto& firsts = s.gender == "F" ? DemoNames::femaleFirst() : DemoNames::maleFirst();
    s.first = r.pick(firsts);
    s.middle = r.perMille(300) ? "" : r.pick(firsts);
    // Every sixth student is the younger sibling of the one before: same family, same name.
    s.family = s.id + 5000000;
    if (ordinal % 6 == 1)
        s.family -= 1;
    DemoRandom fr{tag("family"), static_cast<std::uint64_t>(s.family)};
    s.last = fr.pick(DemoNames::last());
    if (ordinal % 9 == 4)
    {
        s.secondFamily = s.id + 6000000;
        s.secondLivesWithNull = ordinal % 18 == 4;
    }
    const int sections = sectionsPerCourse();
    s.section = ordinal % sections + 1;
    s.homeroomTeacher = teacherOf(school, homeroomCourse(s.gradeIndex), s.section);
    s.homeroom = roomOf(homeroomCourse(s.gradeIndex), s.section);
    s.counselor = school == 0 ? kCounselorWithoutLastName : counselorOf(school);
    s.enterDate =
        (ordinal % 13 == 7 ? cur.calendar.instructionalDay(14) : cur.calendar.firstDay()).yyyymmdd();
    if (ordinal % 29 == 11)
        s.leaveDate = cur.calendar.instructionalDay(60).yyyymmdd();
    return s;
}

void DemoDistrict::planStudents()
{
    for (const DemoSchool& sc : schools_)
        for (int i = 0; i < options_.studentsPerSchool; ++i)
            students_.push_back(makeStudent(sc.index, i));
    addPlantedStudents();
}

void DemoDistrict::addPlantedStudents()
{
    const DemoYear& cur = currentYear();
    struct Planted
    {
        long id;
        const char* first;
        const char* last;
        const char* gender;
        int gradeIndex;
    };
    const Planted planted[] = {
        {kNoNames, "", "", "M", 3},
        {kYearOnlyLeaveDate, "Marcus", "Bell", "M", 4},
        {kHomeroomZero, "Tamika", "Ford", "F", 2},
        {kTwoPageNotes, "Ethan", "Kowalski", "M", 5},
        {kWithdrawn, "Grace", "Whitfield", "F", 1},
        {kAccentedBothRestricted, "Zo\xc3\xab", "Mu\xc3\xb1oz", "F", 3},
        {kSecondRestricted, "Caleb", "Dunn", "M", 0},
        {kMedicationEdges, "Priya", "Raman", "F", 4},
        {kMedicalAlert, "Jonah", "Pierce", "M", 2},
        {kBusAndAllergy, "Lucia", "Ortega", "F", 1},
    };
    const DemoSchool& sc = schools_[0];
    for (const Planted& p : planted)
    {
        DemoStudent s;
        s.id = p.id;
        s.school = 0;
        s.first = p.first;
        s.last = p.last;
        s.gender = p.gender;
        s.gradeIndex = p.gradeIndex;
        s.grade = sc.grades[static_cast<std::size_t>(p.gradeIndex)];
        s.gradeNumber = s.grade == "KG" ? 0 : std::stoi(s.grade);
        s.family = s.id + 5000000;
        s.section = 1;
        s.homeroomTeacher = teacherOf(0, homeroomCourse(s.gradeIndex), 1);
        s.homeroom = roomOf(homeroomCourse(s.gradeIndex), 1);
        s.counselor = kCounselorWithoutLastName;
        s.enterDate = cur.calendar.firstDay().yyyymmdd();
        if (p.id == kYearOnlyLeaveDate)
            s.leaveDate = (cur.calendar.startYear() + 1) * 10000L; // a year followed by 0000
        if (p.id == kHomeroomZero)
        {
            s.homeroomTeacher = s.counselor = 0;
            s.homeroom.clear();
        }
        if (p.id == kWithdrawn)
            s.leaveDate = cur.calendar.instructionalDay(20).yyyymmdd();
        if (p.id == kAccentedBothRestricted)
            s.middle = "Ren\xc3\xa9"
                       "e";
        students_.push_back(s);
    }
}

const DemoStudent* DemoDistrict::findStudent(long id) const
{
    // Generated students are stored school by school in ordinal order, the planted ones after.
    const long school = id / 100000 - 1, ordinal = id % 100000 - 1;
    const long n = options_.studentsPerSchool;
    if (school >= 0 && school < static_cast<long>(schools_.size()) && ordinal >= 0 && ordinal < n)
        return &students_[static_cast<std::size_t>(school * n + ordinal)];
    for (std::size_t i = schools_.size() * static_cast<std::size_t>(n); i < students_.size(); ++i)
        if (students_[i].id == id)
            return &students_[i];
    return nullptr;
}

std::vector<CivilDate> DemoDistrict::elapsedDays(const DemoYear& year) const
{
    std::vector<CivilDate> out;
    for (const CivilDate& d : year.calendar.instructionalDays())
        if (d <= options_.today)
            out.push_back(d);
    return out;
}

} // namespace demo
