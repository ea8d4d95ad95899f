// The value texts of the exports, on their edge cases: most as calls and
// their texts in golden/value_texts.txt, the stateful ones here.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ConductValueText.h"
#include "ExpEngine.h"
#include "FamilyValueText.h"
#include "GoldenSection.h"
#include "HealthText.h"
#include "SchoolYearDisplay.h"
#include "SqlValueText.h"
#include "StaffGradeValueText.h"

namespace
{
using namespace ConductValueText;
using Args = std::vector<XString>;

struct Function
{
    std::size_t arity;
    std::function<XString(const Args&)> call;
};

const std::map<std::string, Function>& Functions()
{
    static const std::map<std::string, Function> functions = {
        {"StartTime", {3, [](const Args& a) { return StartTime(a[0], a[1], a[2]); }}},
        {"EndTime", {3, [](const Args& a) { return EndTime(a[0], a[1], a[2]); }}},
        {"NotADate", {1, [](const Args& a) { return NotADate(a[0]); }}},
        {"Ethnicity", {1, [](const Args& a) { return Ethnicity(a[0]); }}},
        {"XToY", {1, [](const Args& a) { return XToY(a[0]); }}},
        {"BusFlag", {1, [](const Args& a) { return BusFlag(a[0]); }}},
        {"FamilyPhoneText", {3, [](const Args& a) { return FamilyPhoneText(a[0], a[1], a[2]); }}},
        {"FamilyZipText", {1, [](const Args& a) { return FamilyZipText(a[0]); }}},
        {"RestrictionText", {4, [](const Args& a) { return RestrictionText(a[0], a[1], a[2], a[3]); }}},
        {"LegallyResponsibleText",
         {3, [](const Args& a) { return LegallyResponsibleText(a[0], a[1], a[2]); }}},
        {"HeadRelationshipText", {3, [](const Args& a) { return HeadRelationshipText(a[0], a[1], a[2]); }}},
        {"XYesNoText", {1, [](const Args& a) { return XYesNoText(a[0]); }}},
        {"BusRouteText",
         {7,
          [](const Args& a)
          {
              LookupList stops;
              stops.Add("A", "Stop A");
              stops.Add("LIB", "Public Library");
              const XString codes[5] = {a[2], a[3], a[4], a[5], a[6]};
              return BusRouteText(a[0], a[1], codes, stops);
          }}},
        {"Initials", {1, [](const Args& a) { return Initials(a[0]); }}},
        {"StaffBirthDateText", {2, [](const Args& a) { return StaffBirthDateText(a[0], a[1]); }}},
        {"StaffLeaveDateText",
         {1, [](const Args& a) { return StaffLeaveDateText(a[0], "YYYYMMDD", XDate(2026, 10, 15)); }}},
        {"GradeCommentKey", {2, [](const Args& a) { return GradeCommentKey(a[0], a[1]); }}},
        {"MedicationNote",
         {6,
          [](const Args& a) {
              return MedicationNote({a[0], a[1], a[2], a[3], a[4], a[5]});
          }}},
        {"ExemptionText", {1, [](const Args& a) { return ExemptionText(a[0]); }}},
        {"ImmunizationNote", {2, [](const Args& a) { return ImmunizationNote(a[0], a[1]); }}},
        {"SqlQuoted", {1, [](const Args& a) { return SqlQuoted(a[0]); }}},
        {"IsWholeNumber", {1, [](const Args& a) { return XString(IsWholeNumber(a[0]) ? "true" : "false"); }}},
        {"TsisYearDisplay", {1, [](const Args& a) { return SchoolYearDisplay(a[0], false, 2026); }}},
        {"SchoolMaxYearDisplay", {1, [](const Args& a) { return SchoolYearDisplay(a[0], true, 2026); }}},
        {"NotWholeNumberMessage",
         {3, [](const Args& a) { return NotWholeNumberMessage(a[0].Text(), a[1], a[2]); }}},
    };
    return functions;
}

// The quoted values of a line (\" and \\ stand for " and \), the last one the expected text.
std::vector<std::string> QuotedValues(const std::string& line)
{
    std::vector<std::string> values;
    for (std::size_t at = line.find('"'); at != std::string::npos; at = line.find('"', at + 1))
    {
        std::string value;
        for (++at; at < line.size() && line[at] != '"'; ++at)
            value += line[at] == '\\' ? line[++at] : line[at];
        values.push_back(value);
    }
    return values;
}

// Runs every call listed under the running test's name in the golden file.
void ExpectGoldenTexts()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string section = std::string(test->test_suite_name()) + "." + test->name();
    for (const std::string& line :
         GoldenSection(TSIS_SOURCE_DIR "/tests/engine/golden/value_texts.txt", section))
    {
        const std::string name = line.substr(0, line.find(' '));
        std::vector<std::string> values = QuotedValues(line);
        const auto f = Functions().find(name);
        ASSERT_TRUE(f != Functions().end() && values.size() == f->second.arity + 1) << line;
        const std::string expected = values.back();
        values.pop_back();
        EXPECT_EQ(f->second.call(Args(values.begin(), values.end())).Std(), expected) << line;
    }
}

// A test whose calls are those under its name in the golden file.
#define GOLDEN_TEXTS(suite, name)                                                                            \
    TEST(suite, name)                                                                                        \
    {                                                                                                        \
        ExpectGoldenTexts();                                                                                 \
    }

GOLDEN_TEXTS(ConductValueText, StartAndEndTime)
GOLDEN_TEXTS(ConductValueText, NotADateEthnicityFlags)
GOLDEN_TEXTS(FamilyValueText, Phone)
GOLDEN_TEXTS(FamilyValueText, Zip)
GOLDEN_TEXTS(FamilyValueText, RelationshipsAndRestrictions)
GOLDEN_TEXTS(FamilyValueText, BusRoute)
GOLDEN_TEXTS(StaffGradeValueText, Initials)
GOLDEN_TEXTS(StaffGradeValueText, BirthDateIsEightCharactersOrEmpty)
GOLDEN_TEXTS(StaffGradeValueText, LeaveDateOnlyBeforeToday)
GOLDEN_TEXTS(StaffGradeValueText, CommentKeys)
GOLDEN_TEXTS(HealthText, MedicationNoteHasEachPiecePresentInItsOrder)
GOLDEN_TEXTS(HealthText, ExemptionTextAndImmunizationNote)
GOLDEN_TEXTS(SqlValueText, QuotedLiteralsDoubleSingleQuotes)
GOLDEN_TEXTS(SqlValueText, WholeNumbers)
GOLDEN_TEXTS(SqlValueText, MessageNamesTheParameter)
GOLDEN_TEXTS(SchoolYearDisplay, TsisYearsAreNormalised)
GOLDEN_TEXTS(SchoolYearDisplay, SchoolMaxYearsNameTheEndingYear)

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

// Legal notes and custody notes draw from one counter: keys stay unique
// across the tables of a run.
TEST(FamilyValueText, NoteKeysContinueFromTableToTable)
{
    ExpEngine engine;
    engine.SetOptionWord(1); // no existence checks: no database here
    engine.StartTable("Student Legal Notes", "", false);
    for (const char* key : {"UK_1", "UK_2", "UK_3"})
        EXPECT_STREQ(engine.UniqueNoteKey().Text(), key);
    engine.FinishTable();
    engine.StartTable("Student Custody Protection", "", false);
    EXPECT_STREQ(engine.UniqueNoteKey().Text(), "UK_4");
    engine.FinishTable();
}

// The records a routine passes on (filtered students already left out).
std::vector<std::string> Allergies(const std::vector<std::pair<const char*, const char*>>& records)
{
    AllergyJoiner joiner;
    AllergyLine line;
    std::vector<std::string> lines;
    for (const auto& [student, allergy] : records)
        if (joiner.Add(student, allergy, line))
            lines.push_back(std::string(line.student.Text()) + "|" + line.allergies.Text());
    if (joiner.Finish(line))
        lines.push_back(std::string(line.student.Text()) + "|" + line.allergies.Text());
    return lines;
}

TEST(HealthText, AllergiesOfAStudentAreJoinedSkippingEmptyOnes)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(Allergies({{"1", "A"}, {"1", ""}, {"1", "B"}, {"2", ""}, {"3", "C"}}),
              (Lines{"1|A, B", "3|C"}));
    // The first allergy empty, later ones not.
    EXPECT_EQ(Allergies({{"1", ""}, {"1", ""}, {"1", "B"}, {"1", "D"}}), (Lines{"1|B, D"}));
    EXPECT_EQ(Allergies({{"2", ""}}), Lines{});
    EXPECT_EQ(Allergies({}), Lines{});
}

} // namespace
