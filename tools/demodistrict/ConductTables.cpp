// Discipline incidents, their participants and outcomes.
#include "DemoDistrict.h"

#include "DemoRandom.h"

namespace demo
{
namespace
{

struct Incident
{
    long seq;
    const char* code;
    long date;
    const char *hours, *minutes, *ampm, *bus, *refBy;
    long referrer;
    const char* weapon;
    const char* otherWeapon;
    const char* factor;
    const char* injury;
    const char* injuryTo;
    bool police;
};

struct Participant
{
    long id;
    const char* kind; // S student, T staff
    const char* role; // O offender, V victim, W witness
    int age;
    std::string gender;
    std::string otherDistrict, otherSchool;
    std::string ethnicity;
};

struct Outcome
{
    int participant;
    const char* category;
    long referee;
    const char* response;
    long date;
    const char* primary;
    std::string suspendFrom, suspendTo; // dates as eight digits, "0", or texts such as "0::00" and "N/A"
    const char *fromHour, *fromMinute, *fromAmPm, *toHour, *toMinute, *toAmPm;
    const char* by;
    const char* place;
    long assigned, actual;
    const char *diffReason, *status, *referral, *returnEligible;
    long returnDate;
};

} // namespace

void DemoDistrict::writeConduct()
{
    const long d = profile_.number;
    auto incident = [&](const std::string& school, long year, const Incident& i,
                        const std::vector<Participant>& parts, const std::vector<Outcome>& outcomes)
    {
        long offenders = 0, victims = 0, witnesses = 0;
        for (const Participant& p : parts)
        {
            offenders += std::string(p.role) == "O";
            victims += std::string(p.role) == "V";
            witnesses += std::string(p.role) == "W";
        }
        const long seq = i.seq + profile_.incidentOffset;
        out_.row("EV010", {d,
                           school,
                           year,
                           seq,
                           "DIS",
                           i.code,
                           i.date,
                           i.hours,
                           i.minutes,
                           i.ampm,
                           i.bus,
                           i.refBy,
                           i.referrer, // R-ID-NBR in TSIS
                           i.referrer, // ID_NBR in SchoolMAX
                           std::to_string(i.seq % 1000),
                           offenders,
                           victims,
                           witnesses,
                           i.weapon,
                           i.otherWeapon,
                           i.injury[0] ? "SP" : "",
                           i.factor,
                           i.injury,
                           i.injuryTo,
                           i.police ? "X" : "",
                           i.police ? "PR-" + std::to_string(i.seq % 10000) : "0",
                           0L,
                           i.police ? "X" : "",
                           i.police ? i.date : 0L,
                           0L,
                           i.injury[0] ? 150L : 0L,
                           0L,
                           0L});
        for (std::size_t n = 0; n < parts.size(); ++n)
        {
            const Participant& p = parts[n];
            out_.row("EV020",
                     {d, school, year, seq, static_cast<long>(n + 1), p.id, p.kind, p.role, p.age, p.gender,
                      p.otherDistrict, p.otherSchool, p.ethnicity, std::string(p.kind) == "S" ? "EN" : "NE",
                      std::string(p.role) == "O" ? i.factor : ""});
        }
        for (const Outcome& o : outcomes)
            out_.row("EV030",
                     {d,          school,           year,        seq,       o.participant, o.category,
                      o.referee,  o.response,       o.date,      o.primary, o.suspendFrom, o.suspendTo,
                      o.fromHour, o.fromMinute,     o.fromAmPm,  o.toHour,  o.toMinute,    o.toAmPm,
                      o.by,       o.place,          o.assigned,  o.actual,  o.diffReason,  o.status,
                      o.referral, o.returnEligible, o.returnDate});
    };
    auto student = [&](long id, const char* role, const char* ethnicity)
    {
        // A district built smaller than the default may lack a planted participant.
        static const DemoStudent absent{};
        const DemoStudent* found = findStudent(id);
        const DemoStudent* s = found ? found : &absent;
        const bool here = s->school == 0;
        return Participant{id,
                           "S",
                           role,
                           s->gradeNumber + 6,
                           s->gender,
                           here ? "" : std::to_string(profile_.number),
                           here ? "0" : schools_[static_cast<std::size_t>(s->school)].number,
                           ethnicity};
    };
    auto staff = [](long id, const char* role) { return Participant{id, "T", role, 0, "", "", "0", ""}; };

    // Planted incidents at the first school this year, holding every case the conduct exports
    // tell apart.
    const DemoYear& cur = currentYear();
    const std::string first = schools_[0].number;
    const CivilDate dayA = cur.calendar.instructionalDay(4), dayB = cur.calendar.instructionalDay(11),
                    dayC = cur.calendar.instructionalDay(19), dayD = cur.calendar.instructionalDay(23),
                    dayE = cur.calendar.instructionalDay(26);
    auto date = [](const CivilDate& day) { return std::to_string(day.yyyymmdd()); };
    const long otherSchoolStudent = 200001, secondOtherSchoolStudent = 200002;
    // Someone who is neither a homeroom teacher nor a counselor of a student.
    const long counselor = counselorOf(0), nurse = nurseOf(0);
    // A plain outcome: everything but the participant, referee, response, date and disciplinarian empty.
    auto plain = [](int participant, const char* category, long referee, const char* response, long when,
                    const char* by, const char* status)
    {
        return Outcome{participant, category, referee, response, when, "", "0", "0",    "", "", "", "",
                       "",          "",       by,      "",       0,    0,  "",  status, "", "", 0};
    };
    // Time with an empty minute; a weapon code of another category (not in the list); a student
    // of another school as victim.
    incident(first, cur.schoolYear,
             {100001, "FIGHT", dayA.yyyymmdd(), "10", "", "AM", "", "T", teacherOf(0, 0, 1), "NO", "ZZ", "GA",
              "MI", "ST", true},
             {student(kMedicalAlert, "O", "4"), student(otherSchoolStudent, "V", "9"),
              student(kSecondRestricted, "W", "2")},
             {{1,
               "DIS",
               principalOf(0),
               "OSS",
               dayA.plusDays(1).yyyymmdd(),
               "X",
               date(dayA.plusDays(3)),
               date(dayA.plusDays(5)),
               "8",
               "30",
               "AM",
               "0",
               "0",
               "",
               "PR",
               "Home",
               3,
               3,
               "",
               "CO",
               "AE",
               "Y",
               dayA.plusDays(6).yyyymmdd()},
              plain(2, "DIS", assistantOf(0), "CON", dayA.plusDays(1).yyyymmdd(), "AP", "PE")});
    // Referred by a student; an offender without names; staff victim and staff witness 0.
    incident(
        first, cur.schoolYear,
        {100002, "DISR", dayB.yyyymmdd(), "3", "15", "PM", "X", "S", kNoNames, "", "", "", "", "", false},
        {student(kNoNames, "O", "1"), staff(nurse, "V"), staff(0, "W")},
        {{1,  "DIS", assistantOf(0), "DET",      0, "X", "0",  "0",  "", "", "", "",
          "", "",    "AP",           "Room 110", 1, 1,   "RD", "CO", "", "", 0},
         plain(2, "DIS", principalOf(0), "CON", dayB.plusDays(2).yyyymmdd(), "PR", "CO")});
    // An outcome of another category, which the outcomes leave out.
    incident(first, cur.schoolYear,
             {100003, "TRUA", dayC.yyyymmdd(), "8", "05", "AM", "", "T", teacherOf(0, 1, 1), "", "", "", "",
              "", false},
             {student(kWithdrawn, "O", "5")},
             {plain(1, "ATT", principalOf(0), "LTR", dayC.plusDays(1).yyyymmdd(), "", ""),
              {1,
               "DIS",
               assistantOf(0),
               "DET",
               dayC.plusDays(1).yyyymmdd(),
               "X",
               "0",
               "0",
               "",
               "",
               "",
               "",
               "",
               "",
               "AP",
               "Room 110",
               2,
               1,
               "MD",
               "PE",
               "",
               "",
               0}});
    // No AM/PM; a staff offender and a staff witness; a second student of another school; the
    // referee 0; suspension dates that are no dates; outcome times with an empty or "0" hour.
    incident(first, cur.schoolYear,
             {100004, "WEAP", dayD.yyyymmdd(), "11", "45", "", "", "T", principalOf(0), "KN", "", "", "", "",
              true},
             {staff(counselor, "O"), student(kAccentedBothRestricted, "V", "3"),
              student(secondOtherSchoolStudent, "W", "7"), staff(nurse, "W")},
             {{1,    "DIS",   0,     "ISS", dayD.yyyymmdd(),
               "X",  "0::00", "N/A", "0",   "15",
               "PM", "0",     "00",  "",    "PR",
               "",   2,       2,     "",    "PE",
               "HI", "N",     0},
              {3,
               "DIS",
               principalOf(0),
               "OSS",
               dayD.plusDays(1).yyyymmdd(),
               "",
               "N/A",
               "0::00",
               "",
               "",
               "",
               "",
               "",
               "",
               "PR",
               "Home",
               1,
               1,
               "",
               "CO",
               "",
               "Y",
               dayD.plusDays(2).yyyymmdd()}});
    // A zero hour and minute; referred by staff number 0.
    incident(first, cur.schoolYear,
             {100005, "SUBS", dayE.yyyymmdd(), "0", "0", "PM", "", "T", 0, "", "", "DR", "", "", false},
             {student(kBusAndAllergy, "O", "")},
             {plain(1, "DIS", assistantOf(0), "CON", dayE.yyyymmdd(), "AP", "CO")});

    // Generated incidents, a few per school and year.
    static const std::vector<const char*> codes = {"FIGHT", "DISR", "DISR", "TRUA", "WEAP", "SUBS"};
    static const std::vector<const char*> responses = {"ISS", "OSS", "DET", "DET", "CON"};
    const int n = options_.studentsPerSchool;
    for (const DemoSchool& sc : schools_)
        for (const DemoYear& y : years_)
        {
            const std::vector<CivilDate> days = elapsedDays(y);
            if (days.empty())
                continue;
            const int count = std::max(2, n / 8);
            for (int k = 0; k < count; ++k)
            {
                const long seq = (sc.index + 1) * 100000L + (y.current ? 100 : 50000) + k;
                DemoRandom r{tag("incident"), static_cast<std::uint64_t>(seq),
                             static_cast<std::uint64_t>(y.schoolYear)};
                const CivilDate day = days[static_cast<std::size_t>(r.below(static_cast<int>(days.size())))];
                const char* code = r.pick(codes);
                const bool weapon = std::string(code) == "WEAP";
                static const char* const hours[] = {"8", "9", "10", "11", "12", "1", "2"};
                const int h = r.below(7);
                auto pickStudent = [&]()
                {
                    const long id = (sc.index + 1) * 100000L + r.below(n) + 1;
                    const DemoStudent* s = findStudent(id);
                    return Participant{id,        "S", "O", s->gradeNumber + 6,
                                       s->gender, "",  "0", std::to_string(1 + r.below(5))};
                };
                std::vector<Participant> parts{pickStudent()};
                if (r.perMille(400))
                {
                    Participant v = pickStudent();
                    v.role = "V";
                    if (v.id != parts[0].id)
                        parts.push_back(v);
                }
                if (r.perMille(200))
                    parts.push_back(staff(teacherOf(sc.index, r.below(6), 1), "W"));
                const long referee = r.perMille(500) ? principalOf(sc.index) : assistantOf(sc.index);
                const char* response = r.pick(responses);
                const bool suspended = std::string(response).find("SS") != std::string::npos;
                const int length = suspended ? 1 + r.below(5) : 0;
                incident(sc.number, y.schoolYear,
                         {seq, code, day.yyyymmdd(), hours[h], r.perMille(500) ? "00" : "30",
                          h < 4 ? "AM" : "PM", r.perMille(100) ? "X" : "", "T",
                          teacherOf(sc.index, r.below(6), 1), weapon ? "KN" : "", "",
                          r.perMille(100) ? "DR" : "", std::string(code) == "FIGHT" ? "MI" : "",
                          std::string(code) == "FIGHT" ? "ST" : "", weapon},
                         parts,
                         {{1,
                           "DIS",
                           referee,
                           response,
                           day.plusDays(1).yyyymmdd(),
                           "X",
                           suspended ? std::to_string(day.plusDays(1).yyyymmdd()) : "0",
                           suspended ? std::to_string(day.plusDays(length).yyyymmdd()) : "0",
                           suspended ? "8" : "",
                           suspended ? "00" : "",
                           suspended ? "AM" : "",
                           suspended ? "3" : "",
                           suspended ? "00" : "",
                           suspended ? "PM" : "",
                           referee == principalOf(sc.index) ? "PR" : "AP",
                           suspended ? "Home" : "",
                           length,
                           length,
                           "",
                           "CO",
                           "",
                           suspended ? "Y" : "",
                           suspended ? day.plusDays(length + 1).yyyymmdd() : 0L}});
            }
        }
}

} // namespace demo
