#pragma once

#include "DemoOptions.h"
#include "DemoRandom.h"
#include "SchoolCalendar.h"
#include "SqlScriptWriter.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace demo
{

inline constexpr int kDistrictNumber = 16;
inline constexpr int kSecondDistrictNumber = 27;

struct DemoSchoolName
{
    std::string number, name, tiesCode;
};

// What sets a district of the demo database apart. The second district reuses the first's
// student, family and staff numbers with other names and data, so a query that loses a
// district join reads the other district's rows; its school numbers, incident numbers and
// exclusion definitions differ, so queries without a district condition there stay apart.
struct DemoDistrictProfile
{
    long number;
    std::string name;
    std::vector<DemoSchoolName> schools; // elementary, middle, high
    long incidentOffset;                 // added to every EV_SEQ_NBR
    int exclusionShift;                  // moves the ordinals that carry ST013 exclusions
    std::vector<std::pair<std::string, std::string>> exclusions; // ST014 type and text
    std::uint64_t salt; // added to every random key: 0 keeps the first district's data
};

// The first district (16), then the second (27).
const std::vector<DemoDistrictProfile>& demoDistrictProfiles();

struct DemoSchool
{
    int index;
    std::string number;
    std::string name;
    std::string tiesCode;
    std::vector<std::string> grades;
    bool secondary;
};

struct DemoCourse
{
    std::string code;
    std::string name;
    std::string term; // YR, S1 or S2
    std::string period;
    std::string department;
};

struct DemoYear
{
    SchoolCalendar calendar;
    long schoolYear; // the SCH_YR value
    bool current;
};

struct DemoStudent
{
    long id = 0;
    int school = 0;
    int ordinal = -1; // -1 for the planted edge cases
    std::string first, middle, last, gender, grade;
    int gradeNumber = 0;
    int gradeIndex = 0; // position within the school's grades
    long family = 0;
    long secondFamily = 0; // 0: none
    bool secondLivesWithNull = false;
    int section = 1; // the section taken in every course
    long homeroomTeacher = 0;
    std::string homeroom; // room code, empty without a homeroom teacher
    long counselor = 0;
    long enterDate = 0;
    long leaveDate = 0;
};

struct DemoStaff
{
    long number;
    int school; // -1 for district staff
    std::string type;
    std::string department;
    std::string first, last, gender;
};

// Builds one district's rows of the demo database. All content is a function of the options
// and the profile: the calendar follows "today", the rest is fixed.
class DemoDistrict
{
public:
    DemoDistrict(const DemoOptions& options, SqlScriptWriter& out, const DemoDistrictProfile& profile);
    void write();

    // Planted student numbers (school 101, current year).
    static constexpr long kNoNames = 900001;
    static constexpr long kYearOnlyLeaveDate = 900002;
    static constexpr long kHomeroomZero = 900003;
    static constexpr long kTwoPageNotes = 900004;
    static constexpr long kWithdrawn = 900005;
    static constexpr long kAccentedBothRestricted = 900006;
    static constexpr long kSecondRestricted = 900007;
    static constexpr long kMedicationEdges = 900008;
    static constexpr long kMedicalAlert = 900009;
    static constexpr long kBusAndAllergy = 900010;

    static constexpr long kCounselorWithoutLastName = 9001;
    static constexpr long kSuperintendent = 9002;

private:
    // Model.
    void planSchools();
    void planStaff();
    void planStudents();
    DemoStudent makeStudent(int school, int ordinal) const;
    void addPlantedStudents();
    int sectionsPerCourse() const;
    long teacherOf(int school, int course, int section) const;
    std::string roomOf(int course, int section) const;
    int homeroomCourse(int gradeIndex) const;
    std::uint64_t tag(const char* text) const { return DemoRandom::tag(text) + profile_.salt; }
    std::string sectionCode(int section) const;
    const DemoYear& currentYear() const { return years_.back(); }
    long principalOf(int school) const { return (school + 1) * 10000L + 1; }
    long assistantOf(int school) const { return (school + 1) * 10000L + 2; }
    long counselorOf(int school) const { return (school + 1) * 10000L + 3; }
    long nurseOf(int school) const { return (school + 1) * 10000L + 4; }
    const DemoStudent* findStudent(long id) const;
    // Instructional days of a year up to today.
    std::vector<CivilDate> elapsedDays(const DemoYear& year) const;

    // Tables, one family per source file.
    void writeDistrictCodes();
    void writeSchoolCodes();
    void writeCalendars();
    void writeSchedules();
    void writeStaff();
    void writeStudents();
    void writeFamilies(const DemoStudent& s);
    void writeContacts(const DemoStudent& s);
    void writeNotes();
    void writeTransport();
    void writeStudentSchedules();
    void writeGrades();
    void writeAttendance();
    void writeConduct();
    void writeHealth();

    const DemoOptions& options_;
    SqlScriptWriter& out_;
    const DemoDistrictProfile& profile_;
    std::vector<DemoSchool> schools_;
    std::vector<DemoCourse> courses_;
    std::vector<DemoYear> years_; // previous, then current
    std::vector<DemoStaff> staff_;
    std::vector<DemoStudent> students_;
};

// The whole database: the tables, both districts' rows, the catalogue objects.
void writeDemoDatabase(const DemoOptions& options, SqlScriptWriter& out);

} // namespace demo
