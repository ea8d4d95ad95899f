// Staff person and employment records.
#include "DemoDistrict.h"

#include "DemoNames.h"
#include "DemoRandom.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace demo
{
namespace
{

std::string emailName(const std::string& first, const std::string& last)
{
    std::string out;
    for (char c : first + (last.empty() ? "" : "." + last))
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '.')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

void DemoDistrict::writeStaff()
{
    const long d = profile_.number;
    for (const DemoStaff& p : staff_)
    {
        DemoRandom r{tag("staff-detail"), static_cast<std::uint64_t>(p.number)};
        const DemoNames::Town& town = r.pick(DemoNames::towns());
        const std::string address = std::to_string(r.between(100, 9899)) + " " + r.pick(DemoNames::streets());
        long area = r.perMille(500) ? 301 : 240;
        const long phone = 5550000 + r.below(10000);
        const long birthYear = r.between(1962, 1998);
        char mmdd[8];
        std::snprintf(mmdd, sizeof mmdd, "%02d%02d", r.between(1, 12), r.between(1, 28));
        std::string birthMonthDay = mmdd;
        std::string zip = town.zip;
        std::string address2 = r.perMille(150) ? "Apt " + std::to_string(r.between(1, 40)) : "";

        const bool firstSchool = p.school == 0;
        if (firstSchool && (p.number == principalOf(0) || p.number == teacherOf(0, 4, 1)))
            birthMonthDay = "412"; // stored without its leading zero
        if (firstSchool && p.number == assistantOf(0))
        {
            zip = "207740000";
            area = 0;
        }
        if (firstSchool && p.number == counselorOf(0))
            zip = "207741234";

        out_.row("SY030", {d, p.number, p.last, p.first, p.gender, address, address2, town.city, "MD", zip,
                           area, phone, birthYear, birthMonthDay});

        const std::string school = p.school < 0 ? "" : schools_[static_cast<std::size_t>(p.school)].number;
        long leave = 0;
        if (firstSchool && p.number == nurseOf(0))
            leave = 20250630; // left: written as the leave date
        if (firstSchool && p.number == teacherOf(0, 1, 1))
            leave = 20991231; // leaving in the future: no leave date yet
        // Homeroom teachers, who are in the staff list: yesterday is written,
        // today and a year alone are not.
        if (firstSchool && p.number == teacherOf(0, 0, 1))
            leave = options_.today.plusDays(-1).yyyymmdd();
        if (firstSchool && p.number == teacherOf(0, 2, 1))
            leave = options_.today.yyyymmdd();
        if (firstSchool && p.number == teacherOf(0, 3, 1))
            leave = 2025;
        long workExt = r.perMille(400) ? r.between(10, 499) : 0;
        if (firstSchool && p.number == teacherOf(0, 5, 1))
            workExt = 12;
        // SchoolMAX: the assistant principal, a referee of outcomes, has no
        // employment record, so Staff.sef leaves him out.
        if (options_.flavour == Flavour::SchoolMax && firstSchool && p.number == assistantOf(0))
            continue;
        out_.row("SY035", {d, p.number, school, p.type, emailName(p.first, p.last) + "@demo.k12.md.us", 301L,
                           5552000 + (p.number % 1000), workExt, p.department,
                           static_cast<long>(r.between(1995, 2024)) * 10000 + 801, leave});
    }
}

} // namespace demo
