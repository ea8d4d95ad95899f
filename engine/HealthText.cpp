#include "HealthText.h"

#include <utility>

XString MedicationNote(const MedicationPieces& pieces)
{
    XString note = "Medication:";
    if (!pieces.dosage.IsEmpty())
        note.Append("  Dosage: ").Append(pieces.dosage);
    if (!pieces.route.IsEmpty())
        note.Append("  Route: ").Append(pieces.route);
    if (!pieces.dosageTime.IsEmpty())
        note.Append("  Dosage Time: ").Append(pieces.dosageTime).Append(".");
    if (!pieces.start.IsEmpty() && pieces.start != "0")
        note.Append("  Starting: ").Append(pieces.start);
    if (!pieces.stop.IsEmpty() && pieces.stop != "0")
        note.Append("  Ending: ").Append(pieces.stop);
    if (!pieces.comments.IsEmpty())
        note.Append("  ").Append(pieces.comments);
    return note;
}

XString ExemptionText(const XString& code)
{
    static const std::pair<const char*, const char*> kTexts[] = {
        {"X", "Exempt."},
        {"1", "Medical Exempt."},
        {"2", "Religious Exempt."},
        {"3", "Other Exempt."},
        {"4", "Pertussis Exempt."},
        {"5", "Person Exempt."},
        {"6", "Concientious Exemption."},
    };
    for (const auto& [key, text] : kTexts)
        if (code == key)
            return text;
    return XString();
}

XString ImmunizationNote(const XString& hadDisease, const XString& exemptionCode)
{
    XString note = hadDisease == "X" ? "Has had this disease.  " : "";
    return note.Append(ExemptionText(exemptionCode));
}

bool AllergyJoiner::Add(const XString& student, const XString& allergy, AllergyLine& finished)
{
    if (student != student_)
    {
        const bool ended = !allergies_.IsEmpty();
        if (ended)
            finished = {student_, allergies_};
        student_ = student;
        allergies_ = allergy;
        return ended;
    }
    if (!allergy.IsEmpty())
    {
        if (!allergies_.IsEmpty())
            allergies_.Append(", ");
        allergies_.Append(allergy);
    }
    return false;
}

bool AllergyJoiner::Finish(AllergyLine& finished)
{
    if (allergies_.IsEmpty())
        return false;
    finished = {student_, allergies_};
    return true;
}
