#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "HealthText.h"

namespace
{

TEST(HealthText, MedicationNoteHasEachPiecePresentInItsOrder)
{
    struct Case
    {
        MedicationPieces pieces; // dosage, route, time, start, stop, comments
        const char* note;
    };
    const Case cases[] = {
        {{"5 mg", "oral", "", "0", "", ""}, "Medication:  Dosage: 5 mg  Route: oral"},
        {{"", "", "", "", "", ""}, "Medication:"},
        {{"", "", "12:15", "20260831", "0", ""}, "Medication:  Dosage Time: 12:15.  Starting: 20260831"},
        {{"0.3 mg", "injection", "emergency", "20260831", "20270618", "Call 911 after use"},
         "Medication:  Dosage: 0.3 mg  Route: injection  Dosage Time: emergency.  Starting: 20260831  "
         "Ending: 20270618  Call 911 after use"},
        {{"", "", "", "", "20270618", "After lunch"}, "Medication:  Ending: 20270618  After lunch"},
        // Only the dates treat "0" as absent.
        {{"0", "0", "0", "0", "0", "0"}, "Medication:  Dosage: 0  Route: 0  Dosage Time: 0.  0"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(MedicationNote(c.pieces).Text(), c.note);
}

TEST(HealthText, ExemptionTextAndImmunizationNote)
{
    const std::pair<const char*, const char*> exemptions[] = {
        {"", ""},
        {"X", "Exempt."},
        {"1", "Medical Exempt."},
        {"2", "Religious Exempt."},
        {"3", "Other Exempt."},
        {"4", "Pertussis Exempt."},
        {"5", "Person Exempt."},
        {"6", "Concientious Exemption."},
        {"7", ""},
        {"x", ""},
        {"12", ""},
    };
    for (const auto& [code, text] : exemptions)
        EXPECT_STREQ(ExemptionText(code).Text(), text) << code;

    EXPECT_STREQ(ImmunizationNote("X", "2").Text(), "Has had this disease.  Religious Exempt.");
    EXPECT_STREQ(ImmunizationNote("X", "7").Text(), "Has had this disease.  ");
    EXPECT_STREQ(ImmunizationNote("", "1").Text(), "Medical Exempt.");
    EXPECT_STREQ(ImmunizationNote("Y", "").Text(), "");
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
    // Records of a filtered student between two of student 1's never reach the
    // joiner, so student 1 stays one line.
    EXPECT_EQ(Allergies({{"1", "A"}, {"1", "B"}}), (Lines{"1|A, B"}));
    EXPECT_EQ(Allergies({{"2", ""}}), Lines{});
    EXPECT_EQ(Allergies({}), Lines{});
}

} // namespace
