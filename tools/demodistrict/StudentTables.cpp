// Students, their enrolment, families, contacts, exclusions, notes and buses.
#include "DemoDistrict.h"

#include "DemoNames.h"
#include "DemoRandom.h"

#include <cctype>
#include <cstdio>

namespace demo
{
namespace
{

std::string lowerAlnum(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

struct Home
{
    std::string address1, address2, city, zip;
    long area, phone;
};

Home homeFor(DemoRandom& r)
{
    const DemoNames::Town& town = r.pick(DemoNames::towns());
    Home h{std::to_string(r.between(100, 19999)) + " " + r.pick(DemoNames::streets()),
           r.perMille(120) ? "Apt " + std::to_string(r.between(1, 300)) : "",
           town.city,
           town.zip,
           r.perMille(500) ? 301L : 240L,
           5550000L + r.below(10000)};
    return h;
}

} // namespace

void DemoDistrict::writeStudents()
{
    const long d = profile_.number;
    const DemoYear& prev = years_.front();
    const DemoYear& cur = currentYear();
    for (const DemoStudent& st : students_)
    {
        const DemoSchool& sc = schools_[static_cast<std::size_t>(st.school)];
        DemoRandom r{tag("student-detail"), static_cast<std::uint64_t>(st.id)};
        const std::string lockNumber = sc.secondary ? std::to_string(1000 + st.id % 9000) : "";
        char combo[16] = "";
        if (sc.secondary)
            std::snprintf(combo, sizeof combo, "%02d-%02d-%02d", r.below(40), r.below(40), r.below(40));
        if (st.ordinal >= 0 && st.gradeIndex > 0)
        {
            const int lastYear = homeroomCourse(st.gradeIndex - 1);
            out_.row("ST010", {d, sc.number, prev.schoolYear, st.id,
                               sc.grades[static_cast<std::size_t>(st.gradeIndex - 1)],
                               teacherOf(st.school, lastYear, st.section), roomOf(lastYear, st.section),
                               st.counselor, lockNumber, std::string(combo),
                               prev.calendar.firstDay().yyyymmdd(), prev.calendar.lastDay().yyyymmdd()});
        }
        out_.row("ST010", {d, sc.number, cur.schoolYear, st.id, st.grade, st.homeroomTeacher, st.homeroom,
                           st.counselor, lockNumber, std::string(combo), st.enterDate, st.leaveDate});

        const int birthYear = cur.calendar.startYear() - 6 - st.gradeNumber;
        const CivilDate birth = CivilDate::fromYmd(birthYear, 9, 2).plusDays(r.below(365));
        char stateId[16];
        std::snprintf(stateId, sizeof stateId, "16%08lu", static_cast<unsigned long>(r.next() % 100000000UL));
        const std::string email = sc.secondary && !st.first.empty()
                                      ? lowerAlnum(st.first) + "." + lowerAlnum(st.last) +
                                            std::to_string(st.id % 1000) + "@students.demo.k12.md.us"
                                      : "";
        const std::string ethnic = std::to_string(r.below(6)); // 0: not reported
        static const std::vector<std::string> languages = {"EN", "EN", "EN", "SP", "FR", "VI", "AM"};
        out_.row("CE020", {d,
                           st.id,
                           std::string(stateId),
                           st.last,
                           st.first,
                           st.middle,
                           st.gender,
                           birth.yyyymmdd(),
                           email,
                           ethnic,
                           st.leaveDate != 0 && st.leaveDate % 10000 != 0 ? "X" : "",
                           r.perMille(120) ? "504" : "",
                           r.pick(languages),
                           r.perMille(100) ? "GT" : "",
                           r.perMille(600) ? "BUS" : "WALK",
                           "",
                           "",
                           "",
                           "",
                           "",
                           r.perMille(900) ? "PHOTO-OK" : "NO-PHOTO"});
        writeFamilies(st);
        writeContacts(st);

        // The second district marks other students, so a lost district condition shows.
        const int shifted = st.ordinal < 0 ? -1 : st.ordinal + profile_.exclusionShift;
        if (st.id == kAccentedBothRestricted || (shifted >= 0 && shifted % 37 == 5))
            out_.row("ST013", {d, st.id, "CP"});
        if (shifted >= 0 && shifted % 11 == 3)
            out_.row("ST013", {d, st.id, "MR"});
    }
}

void DemoDistrict::writeFamilies(const DemoStudent& st)
{
    const long d = profile_.number;
    DemoRandom fr{tag("family"), static_cast<std::uint64_t>(st.family)};
    const std::string last = fr.pick(DemoNames::last()); // the draw makeStudent takes the name from
    const bool planted = st.ordinal < 0;
    const bool twoParents = planted || fr.perMille(650);
    const bool grandmother = !twoParents && fr.perMille(150);
    const bool motherFirst = twoParents || grandmother || fr.perMille(650);
    Home home = homeFor(fr);
    switch (st.id)
    {
    case kYearOnlyLeaveDate:
        home.area = 0;
        break;
    case kHomeroomZero:
        home.phone = 0;
        break;
    case kTwoPageNotes:
        home.zip = "207740000";
        break;
    case kWithdrawn:
        home.zip = "207741234";
        break;
    case kAccentedBothRestricted:
        home.zip = "0";
        home.address2 = "  ";
        break;
    default:
        break;
    }

    // The family's own rows are written once, with its eldest student.
    const bool owner = st.family == st.id + 5000000;
    if (owner)
    {
        out_.row("CE010", {d, st.family, home.address1, home.address2, home.city, "MD", home.zip, home.area,
                           home.phone});
        const int heads = twoParents ? 2 : 1;
        for (int h = 1; h <= heads; ++h)
        {
            const bool female = h == 1 ? motherFirst : false;
            std::string first = female ? fr.pick(DemoNames::femaleFirst()) : fr.pick(DemoNames::maleFirst());
            const std::string title = female ? (grandmother ? "Mrs." : "Ms.") : "Mr.";
            const long cell = 5550000L + fr.below(10000);
            const long work = fr.perMille(700) ? 5551000L + fr.below(9000) : 0;
            const long ext = work != 0 && fr.perMille(300) ? fr.between(100, 999) : 0;
            out_.row("CE015",
                     {d, st.family, h, last, first, fr.perMille(300) ? fr.pick(DemoNames::maleFirst()) : "",
                      title, lowerAlnum(first) + "." + lowerAlnum(last) + "@mail.example.com", "WORK",
                      work == 0 ? 0L : 202L, work, ext, "CELL", home.area == 0 ? 240L : home.area, cell,
                      "HOME", home.area, home.phone});
        }
    }

    std::string rel1 = twoParents || motherFirst ? "M" : "F";
    if (grandmother)
        rel1 = "GM";
    std::string rel2 = twoParents ? "F" : "";
    std::string legal = twoParents ? "3" : "1";
    std::string restrict1, restrict2;
    if (st.id == kAccentedBothRestricted)
        restrict1 = restrict2 = "X";
    if (st.id == kSecondRestricted)
    {
        rel1 = "XX"; // a code without a description
        legal = "1";
        restrict2 = "X";
    }
    out_.row("CE810", {d, st.id, st.family, "X", "X", legal, rel1, rel2, restrict1, restrict2});

    if (st.secondFamily != 0)
    {
        DemoRandom sr{tag("second-family"), static_cast<std::uint64_t>(st.secondFamily)};
        const Home other = homeFor(sr);
        out_.row("CE010", {d, st.secondFamily, other.address1, other.address2, other.city, "MD", other.zip,
                           other.area, other.phone});
        const std::string first = sr.pick(DemoNames::maleFirst());
        out_.row("CE015", {d, st.secondFamily, 1, last, first, "", "Mr.",
                           lowerAlnum(first) + "." + lowerAlnum(last) + "@mail.example.com", "CELL",
                           other.area, 5550000L + sr.below(10000), 0L, "", 0L, 0L, "", 0L, 0L});
        out_.row("CE810", {d, st.id, st.secondFamily, "",
                           st.secondLivesWithNull ? SqlValue(nullptr) : SqlValue(""), "", "F", "", "", ""});
    }
}

void DemoDistrict::writeContacts(const DemoStudent& st)
{
    const long d = profile_.number;
    DemoRandom r{tag("contacts"), static_cast<std::uint64_t>(st.id)};
    const int count = st.ordinal < 0 ? 1 : 1 + r.below(2);
    for (int seq = 1; seq <= count; ++seq)
    {
        const bool female = r.perMille(600);
        const std::string name =
            (female ? r.pick(DemoNames::femaleFirst()) : r.pick(DemoNames::maleFirst())) + " " +
            r.pick(DemoNames::last());
        const Home h = homeFor(r);
        const bool email = r.perMille(500);
        out_.row("ST015", {d,
                           st.id,
                           seq,
                           name,
                           email ? lowerAlnum(name) + "@mail.example.com" : "",
                           "HOME",
                           h.area,
                           h.phone,
                           "CELL",
                           240L,
                           5550000L + r.below(10000),
                           seq == 1 ? "WORK" : "",
                           seq == 1 ? 202L : 0L,
                           seq == 1 ? 5553000L + r.below(1000) : 0L,
                           "",
                           0L,
                           0L,
                           h.address1,
                           h.address2,
                           h.city,
                           "MD",
                           seq == 2 ? h.zip + "4321" : h.zip});
    }
}

void DemoDistrict::writeNotes()
{
    const long d = profile_.number;
    // Two pages: the first note's title is the keyword that starts the second page.
    out_.row("SY055", {d, "PER", kTwoPageNotes, 1, 1, "Medical", "Carries an inhaler in the backpack."});
    out_.row("SY055", {d, "PER", kTwoPageNotes, 1, 2, "", "The nurse keeps a spare inhaler."});
    out_.row("SY055", {d, "PER", kTwoPageNotes, 2, 1, "Custody", "Pick-up only by mother or grandmother."});
    out_.row("SY055", {d, "PER", kNoNames, 1, 1, "General", "Record under review; names missing."});
    out_.row("SY055", {d, "PER", kMedicalAlert, 1, 1, "", "Sits near the door."});
    out_.row("SY055",
             {d, "FAM", kTwoPageNotes + 5000000, 1, 1, "Family", "A family note, not a student note."});

    static const std::vector<std::string> keywords = {"", "General", "Academic", "Behavior", "Medical"};
    static const std::vector<std::string> texts = {"Parent requests a call before any field trip.",
                                                   "Works well in small groups.",
                                                   "Needs extra time on tests.",
                                                   "Speaks with the counselor weekly.",
                                                   "Has a twin at another school.",
                                                   "Prefers to be called by a nickname."};
    for (const DemoStudent& st : students_)
    {
        if (st.ordinal < 0 || st.ordinal % 10 != 3)
            continue;
        DemoRandom r{tag("notes"), static_cast<std::uint64_t>(st.id)};
        const int lines = 1 + r.below(3);
        for (int l = 1; l <= lines; ++l)
            out_.row("SY055", {d, "PER", st.id, 1, l, l == 1 ? r.pick(keywords) : "", r.pick(texts)});
    }
}

void DemoDistrict::writeTransport()
{
    const long d = profile_.number;
    for (const DemoYear& y : years_)
    {
        const long begin = y.calendar.firstDay().yyyymmdd(), end = y.calendar.lastDay().yyyymmdd();
        for (const DemoStudent& st : students_)
        {
            if (!y.current && st.ordinal < 0)
                continue;
            const DemoSchool& sc = schools_[static_cast<std::size_t>(st.school)];
            if (st.id == kBusAndAllergy)
            {
                out_.row("TR015",
                         {d,  sc.number, y.schoolYear, st.id, "12", "12", "Main St", "A", "",    "",
                          "", "",        "Main St",    "A",   "MN", "",   "",        "",  begin, end});
                continue;
            }
            if (st.ordinal < 0 || st.school == 2 || st.ordinal % 5 == 0)
                continue;
            DemoRandom r{tag("bus"), static_cast<std::uint64_t>(st.id),
                         static_cast<std::uint64_t>(y.schoolYear)};
            static const std::vector<std::string> stops = {"A", "B", "C", "D", "E", "F", "Q"};
            const std::string bus = std::to_string(10 + r.below(20));
            const std::string street = r.pick(DemoNames::streets());
            const std::string stop = r.pick(stops);
            out_.row("TR015", {d,      sc.number, y.schoolYear,
                               st.id,  bus,       r.perMille(900) ? bus : bus + "A",
                               street, stop,      r.perMille(200) ? "LIB" : "",
                               "",     "",        "",
                               street, stop,      "",
                               "",     "",        "",
                               begin,  end});
        }
    }
}

} // namespace demo
