#pragma once

#include "XString.h"

// The texts the health exports build from several columns of one record.

// The medication columns read by the note, each the trimmed text of its column.
struct MedicationPieces
{
    XString dosage;
    XString route;
    XString dosageTime;
    XString start;
    XString stop;
    XString comments;
};

// "Medication:" followed by each piece present, each starting with two blanks;
// a start or stop date of "0" counts as absent.
XString MedicationNote(const MedicationPieces& pieces);

// The exemption code of HE020 IMMEXMPT as text; "" for an unknown code.
XString ExemptionText(const XString& code);

// The immunization note: "Has had this disease.  " when hadDisease is "X",
// then the exemption text.
XString ImmunizationNote(const XString& hadDisease, const XString& exemptionCode);

// One line of the allergies of a student.
struct AllergyLine
{
    XString student;
    XString allergies;
};

// Joins the allergies of one student's consecutive records with ", ".
// Empty allergies are skipped; a student whose allergies are all empty gets
// no line. The caller skips records of students it filters out, so they do
// not end the current student.
class AllergyJoiner
{
public:
    // Feeds one record; true when it ended a student with allergies, whose
    // line is then in `finished`.
    bool Add(const XString& student, const XString& allergy, AllergyLine& finished);
    // True when the last student has allergies; the line is then in `finished`.
    bool Finish(AllergyLine& finished);

private:
    XString student_;
    XString allergies_;
};
