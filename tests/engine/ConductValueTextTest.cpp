// The conduct value texts that are easy to get wrong.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ConductValueText.h"

namespace
{
using namespace ConductValueText;

TEST(ConductValueText, StartAndEndTime)
{
    struct Case
    {
        const char *hour, *minute, *amPm, *start, *end;
    };
    // Hour and minute reach the start time as zero-text ("0" already empty),
    // the end time as plain text.
    const Case cases[] = {
        {"10", "", "AM", "10:00:00 AM", "10::00 AM"},
        {"3", "15", "PM", "3:15:00 PM", "3:15:00 PM"},
        {"8", "05", "", "8:05:00 ", "8:05:00 "},
        {"", "", "AM", "", ""},
        {"", "", "", "", ""},
        {"", "30", "PM", ":30:00 PM", ":30:00 PM"},
        {"0", "0", "AM", "0:0:00 AM", ""},
        {"0", "00", "", "0:00:00 ", "0:00:00 "},
        {"0", "", "", "0:00:00 ", "0::00 "},
    };
    for (const Case& c : cases)
    {
        EXPECT_STREQ(StartTime(c.hour, c.minute, c.amPm).Text(), c.start) << c.hour << "|" << c.minute;
        EXPECT_STREQ(EndTime(c.hour, c.minute, c.amPm).Text(), c.end) << c.hour << "|" << c.minute;
    }
}

TEST(ConductValueText, NotADateEthnicityFlags)
{
    struct Case
    {
        XString (*fn)(const XString&);
        const char *in, *out;
    };
    const Case cases[] = {
        {NotADate, "0", ""},
        {NotADate, "0:00", ""},
        {NotADate, "00:00", ""},
        {NotADate, "0::00", ""},
        {NotADate, "N/A", ""},
        {NotADate, "n/a", "n/a"},
        {NotADate, "00", "00"},
        {NotADate, "", ""},
        {NotADate, "20261015", "20261015"},
        {Ethnicity, "1", "American Indian or Alaskan Native"},
        {Ethnicity, "2", "Asian or Pacific Islander"},
        {Ethnicity, "3", "Hispanic"},
        {Ethnicity, "4", "Black, not of Hispanic origin"},
        {Ethnicity, "5", "White, not of Hispanic origin"},
        {Ethnicity, "9", "9"},
        {Ethnicity, "0", "0"},
        {Ethnicity, "12", "12"},
        {Ethnicity, "", ""},
        {XToY, "X", "Y"},
        {XToY, "x", ""},
        {XToY, "Y", ""},
        {XToY, "", ""},
        {BusFlag, "", ""},
        {BusFlag, "X", "BUS"},
        {BusFlag, "N", "BUS"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.fn(c.in).Text(), c.out) << c.in;
}

TEST(ConductParticipants, NameSwitchesOverTwoRecords)
{
    LookupList names;
    names.Add("5", "Ann Lee");
    names.Add("7", "Bo Ray");
    const std::set<std::string> includedIds = {"6"};
    auto included = [&](const XString& id) { return includedIds.count(id.Std()) > 0; };

    struct Record
    {
        const char *kind, *type, *id;
        const char* refs[ConductParticipants::kRoles]; // perpetrator, victim, witness, target
        const char* names[ConductParticipants::kRoles];
    };
    const Record records[] = {
        // An offender left out: his name instead of his number, only in his role.
        {"S", "O", "5", {"", "", "", ""}, {"Ann Lee", "", "", "Ann Lee"}},
        // The next record's included victim resets the offender's switch.
        {"S", "V", "6", {"", "6", "", "6"}, {"", "", "", ""}},
        // A witness left out whom the name list does not know.
        {"S", "W", "8", {"", "", "", ""}, {"", "", "", ""}},
        {"S", "W", "7", {"", "", "", ""}, {"", "", "Bo Ray", "Bo Ray"}},
        // Staff and empty numbers touch no switch.
        {"T", "O", "5", {"", "", "", ""}, {"", "", "", ""}},
        {"S", "O", "", {"", "", "", ""}, {"", "", "", ""}},
    };
    ConductParticipants participants;
    for (const Record& r : records)
    {
        for (int role = 0; role < ConductParticipants::kRoles; ++role)
        {
            const auto rl = static_cast<ConductParticipants::Role>(role);
            EXPECT_STREQ(participants.StudentReference(rl, r.kind, r.type, r.id, included).Text(),
                         r.refs[role])
                << r.type << r.id << " role " << role;
        }
        for (int role = 0; role < ConductParticipants::kRoles; ++role)
            EXPECT_STREQ(participants.Name(static_cast<ConductParticipants::Role>(role), names).Text(),
                         r.names[role])
                << r.type << r.id << " role " << role;
    }
}
} // namespace
