#include "ExpEngine.h"
#include "HealthText.h"
#include "XTextFile.h"

namespace
{

void WriteLine(XTextFile& file, std::initializer_list<XString> values)
{
    for (const XString& value : values)
        file.WriteField(value);
    file.EndLine();
}

} // namespace

ExpEngine::HealthJoin ExpEngine::AddHealthJoinTables(const char* healthTable, const char* alias)
{
    HealthJoin join;
    join.health = AddSisTable(healthTable, alias, false);
    join.stu = AddSisTable("ST010", "stu", true);
    if (Alias() == "tsis")
        join.enroll = AddSisTable("CE020", "enroll", true);
    return join;
}

bool ExpEngine::AddHealthJoinFields(const HealthJoin& join)
{
    if (!AddField(join.stu, "SCH_NBR", false))
        return false;
    AddField(join.stu, "SCH_YR", true);
    AddField(join.health, "DST_NBR", true);
    if (join.enroll)
    {
        AddField(join.enroll, "DST_NBR", true);
        AddField(join.enroll, "ID_NBR", true);
    }
    return true;
}

void ExpEngine::AddHealthJoinConditions(const HealthJoin& join)
{
    AddCondition("AND", AddOperandField(join.stu, "ID_NBR"), "=", AddOperandField(join.health, "ID_NBR"), 1);
    AddCondition("AND", AddOperandField(join.stu, "DST_NBR"), "=", AddOperandField(join.health, "DST_NBR"),
                 0);
    if (join.enroll)
    {
        AddCondition("AND", AddOperandField(join.health, "ID_NBR"), "=",
                     AddOperandField(join.enroll, "ID_NBR"), 1);
        AddCondition("AND", AddOperandField(join.health, "DST_NBR"), "=",
                     AddOperandField(join.enroll, "DST_NBR"), 0);
    }
    AddSchoolConditions(join.stu, kSchoolNumber | kSchoolYear);
    AddDistrictCondition(join.health);
}

void ExpEngine::HealthConcernTypes()
{
    StartTable("Health Concern Types", "HealthConcernTypes.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* med = AddSisTable("HE094", "med", false);
    if (!med)
        return SkipMissingTable("Create Health Concern Types: Table HE094 does not exist.");
    if (!AddField(med, "DST_NBR", false))
        return FinishTable();

    const auto text = Fn(&DataAccessBase::CleanText);
    AddColumnField(med, "HLCODE", text, "MedConditTypeKey");
    AddColumnField(med, "HLCODEDESC", text, "MedConditTypeName");
    AddDistrictCondition(med);

    WriteTable();
    FinishTable();
}

void ExpEngine::StudentHealthConcerns()
{
    StartTable("Student Health Concerns", "StuHealthConcern.sef", false);
    ScopedDistinct distinct(*this);
    const HealthJoin join = AddHealthJoinTables("HE015", "concern");
    if (!join.health)
        return SkipMissingTable("Create Student Health Concerns: Table HE015 does not exist.");
    if (!AddHealthJoinFields(join))
        return FinishTable();

    const auto text = Fn(&DataAccessBase::CleanText);
    m_fields.studentKey = AddColumnField(join.health, "ID_NBR", text, "MedConditStdRef");
    AddColumnField(join.health, "HLCODE", text, "MedConditTypeRef");
    AddColumnField(join.health, "HLCODEDESC", text, "MedConditNote");
    AddColumnField(join.health, "HLCODEXT", text, "MedConditTypeRef");
    AddColumnField(join.health, "ALERT", text, "MedConditSeverity");
    AddField(join.health, "START_DT", false);
    AddField(join.health, "STOP_DT", false);
    AddHealthJoinConditions(join);

    WriteTable([this] { return FilterStudent(); });
    FinishTable();
}

void ExpEngine::StudentMedications()
{
    StartTable("Student Medications", "StuMedications.sef", false);
    ScopedDistinct distinct(*this);
    const HealthJoin join = AddHealthJoinTables("HE011", "med");
    if (!join.health)
        return SkipMissingTable("Create Student Medications: Table HE011 does not exist.");
    if (!AddHealthJoinFields(join))
        return FinishTable();

    const auto text = Fn(&DataAccessBase::CleanText);
    m_fields.studentKey = AddColumnField(join.health, "ID_NBR", text, "MedConditStdRef", true);
    AddColumnField(join.health, "MEDICATION", text, "MedConditTypeRef");
    m_fields.dosage = AddField(join.health, "DOSAGE", false);
    m_fields.dosageTime = AddField(join.health, "DOSAGE_TM", false);
    m_fields.route = AddField(join.health, "ROUTE", false);
    AddColumnField(
        join.health, "COMMENTS", [this] { return MedicationNoteValue(); }, "MedConditNote");
    m_fields.medicationStart = AddField(join.health, "START_DT", false);
    m_fields.medicationStop = AddField(join.health, "STOP_DT", false);
    AddHealthJoinConditions(join);

    WriteTable([this] { return FilterStudent(); });
    FinishTable();
}

XString ExpEngine::MedicationNoteValue()
{
    // A field that does not exist is null and reads as empty.
    MedicationPieces pieces;
    pieces.dosage = GetTrimmedText(m_fields.dosage);
    pieces.route = GetTrimmedText(m_fields.route);
    pieces.dosageTime = GetTrimmedText(m_fields.dosageTime);
    pieces.start = GetTrimmedText(m_fields.medicationStart);
    pieces.stop = GetTrimmedText(m_fields.medicationStop);
    pieces.comments = GetTrimmedText(CurrentField());
    return MedicationNote(pieces);
}

void ExpEngine::StudentImmunizations()
{
    StartTable("Student Immunizations", "StuImmunizations.sef", false);
    const HealthJoin join = AddHealthJoinTables("HE020", "med");
    if (!join.health)
        return SkipMissingTable("Create Student Immunizations: Table HE020 does not exist.");

    XTextFile file('\t', "", "");
    OpenCurrentTableFile(file);
    if (!AddHealthJoinFields(join))
        return CloseTableFile(file);

    for (const char* name : {"MedHistKey", "MedHistStdRef", "MedHistTypeRef", "MedHistTypeCategory",
                             "MedHistNote", "MedHistDate"})
        AddHeaderField(name);

    m_fields.studentKey = AddField(join.health, "ID_NBR", true);
    ODBCField* type = AddField(join.health, "IMMTYPE", false);
    ODBCField* exemption = AddField(join.health, "IMMEXMPT", false);
    ODBCField* disease = AddField(join.health, "HD_DISEASE", false);
    ODBCField* date = AddField(join.health, "IMMDATE", false);
    AddHealthJoinConditions(join);
    AddOrder(m_fields.studentKey);

    WalkTable("Immunization Information",
              [&]
              {
                  PutTotalText("Immunization Info...");
                  // Numbers every record of the query, filtered ones too.
                  long record = 0;
                  ForEachRecord(
                      [&]
                      {
                          ++record;
                          if (!FilterStudent())
                              return;
                          WriteLine(file,
                                    {XString(record), GetTrimmedText(m_fields.studentKey),
                                     GetTrimmedText(type), "IMMUN",
                                     ImmunizationNote(GetTrimmedText(disease), GetTrimmedText(exemption)),
                                     GetTrimmedTextZeroEmpty(date)});
                      });
              });

    CloseTableFile(file);
}

void ExpEngine::StudentMedical()
{
    XTextFile file('\t', "", "");
    OpenTableFile(file, "Student Medical", "StudentMed.sef");
    ScopedDistinct distinct(*this);
    for (const char* name : {"MedConditStdRef", "MedConditTypeRef", "MedConditSeverity", "MedConditNote"})
        AddHeaderField(name);

    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* enroll = AddSisTable("CE020", "enroll", true);
    ODBCTable* med = AddSisTable("HE011", "", false);
    if (!med)
        return SkipMissingTable("Create Student Med: Table HE011 does not exist.", file);
    if (!AddField(med, "SCH_NBR", false))
        return CloseTableFile(file);
    AddField(stu, "SCH_NBR", true);
    AddField(stu, "SCH_YR", true);

    m_fields.studentKey = AddField(stu, "ID_NBR", true);
    ODBCField* medication = AddField(med, "MEDICATION", false);
    ODBCField* comment = AddField(med, "MED_CMT", false);
    ODBCField* noDisplay = AddField(med, "NO_DISPLAY", false);
    for (ODBCTable* table : {stu, med, enroll})
        AddField(table, "DST_NBR", true);
    AddField(med, "ID_NBR", true);
    AddField(enroll, "ID_NBR", true);

    AddCondition("AND", AddOperandField(enroll, "DST_NBR"), "=", AddOperandField(stu, "DST_NBR"), 1);
    AddCondition("AND", AddOperandField(enroll, "ID_NBR"), "=", AddOperandField(stu, "ID_NBR"), 0);
    AddCondition("AND", AddOperandField(stu, "DST_NBR"), "=", AddOperandField(med, "DST_NBR"), 1);
    AddCondition("AND", AddOperandField(stu, "SCH_NBR"), "=", AddOperandField(med, "SCH_NBR"), 1);
    AddCondition("AND", AddOperandField(stu, "ID_NBR"), "=", AddOperandField(med, "ID_NBR"), 0);
    AddDistrictCondition(stu);
    AddSchoolConditions(stu, kSchoolNumber | kSchoolYear);
    AddOrder(m_fields.studentKey);

    WalkTable("Medical Information",
              [&]
              {
                  PutTotalText("Medical Info...");
                  ForEachRecord(
                      [&]
                      {
                          if (!FilterStudent())
                              return;
                          const XString student = GetTrimmedText(m_fields.studentKey);
                          WriteLine(file, {student, "Medication", "", GetTrimmedText(medication)});
                          const XString alert = MedicalAlert(noDisplay, comment);
                          if (Alias() == "tsis" && !alert.IsEmpty())
                              WriteLine(file, {student, "Alert", "", alert});
                      });
              });

    CloseTableFile(file);
}

XString ExpEngine::MedicalAlert(ODBCField* noDisplay, ODBCField* comment)
{
    XString hidden;
    try
    {
        hidden = GetTrimmedText(noDisplay);
    }
    catch (const std::exception&)
    {
        // An unreadable NO_DISPLAY counts as empty.
    }
    return hidden == "X" ? XString() : GetTrimmedText(comment);
}

void ExpEngine::StudentAllergy()
{
    StartTable("Student Allergy", "StudentAllergy.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* enroll = AddSisTable("CE020", "enroll", true);
    ODBCTable* health = AddSisTable("HE012", "health", false);
    if (!health)
        return SkipMissingTable("Create Student Allergy: Table HE012 does not exist.");
    if (!AddAllergyQueryFields(stu, enroll, health))
        return FinishTable();
    AddField(enroll, "ID_NBR", true);
    AddField(health, "ID_NBR", true);

    m_fields.studentKey = AddColumnField(stu, "ID_NBR", Fn(&DataAccessBase::CleanText), "StdKey", true);
    AddColumnField(
        health, "ALLERGY", [this] { return AllergyAlert(); }, "StdMedAlert");

    AddCondition("AND", AddOperandField(stu, "ID_NBR"), "=", AddOperandField(health, "ID_NBR"), 1);
    AddCondition("AND", AddOperandField(stu, "DST_NBR"), "=", AddOperandField(health, "DST_NBR"), 0);
    AddCondition("AND", AddOperandField(health, "DST_NBR"), "=", AddOperandField(enroll, "DST_NBR"), 1);
    AddCondition("AND", AddOperandField(health, "ID_NBR"), "=", AddOperandField(enroll, "ID_NBR"), 0);
    AddSchoolConditions(stu);

    WriteTable([this] { return FilterStudent(); });
    FinishTable();
}

bool ExpEngine::AddAllergyQueryFields(ODBCTable* stu, ODBCTable* enroll, ODBCTable* health)
{
    for (const char* name : {"DST_NBR", "SCH_NBR", "SCH_YR"})
        AddField(stu, name, true);
    const bool hasDistrict = AddField(health, "DST_NBR", false) != nullptr;
    AddField(enroll, "DST_NBR", true);
    if (Alias() == "tsis")
        AddField(enroll, "INACTIVE", true);
    if (Alias() == "schmax")
        AddField(stu, "END_ENR_DT", true);
    return hasDistrict;
}

XString ExpEngine::AllergyAlert()
{
    const XString allergy = GetTrimmedText(CurrentField());
    return allergy.IsEmpty() ? allergy : "Allergy: " + allergy;
}

void ExpEngine::StudentMedicalAllergy()
{
    XTextFile file('\t', "", "");
    OpenTableFile(file, "Student Medical Allergy", "StudentAllergy.sef");
    ScopedDistinct distinct(*this);
    for (const char* name : {"MedConditStdRef", "MedConditNote", "MedConditTypeRef$=\"Allergy\"",
                             "MedConditSeverity$=\"ALERT\""})
        AddHeaderField(name);

    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* enroll = AddSisTable("CE020", "enroll", true);
    ODBCTable* health = AddSisTable("HE012", "health", false);
    if (!health)
        return SkipMissingTable("Create StudentMed Allergy: Table HE012 does not exist.", file);
    const bool hasDistrict = AddAllergyQueryFields(stu, enroll, health);
    ODBCField* allergy = AddField(health, "ALLERGY", false);
    if (!hasDistrict || !allergy)
        return SkipMissingTable("StudentAllergy: Required Fields do not exist, no data to export.", file);

    m_fields.studentKey = AddField(stu, "ID_NBR", true);
    AddField(enroll, "ID_NBR", true);
    AddField(health, "ID_NBR", true);
    AddCondition("AND", AddOperandField(stu, "DST_NBR"), "=", AddOperandField(health, "DST_NBR"), 1);
    AddCondition("AND", AddOperandField(stu, "ID_NBR"), "=", AddOperandField(health, "ID_NBR"), 0);
    AddCondition("AND", AddOperandField(health, "ID_NBR"), "=", AddOperandField(enroll, "ID_NBR"), 1);
    AddCondition("AND", AddOperandField(health, "DST_NBR"), "=", AddOperandField(enroll, "DST_NBR"), 0);
    AddSchoolConditions(stu);
    AddOrder(m_fields.studentKey);

    WalkTable("Allergy Information",
              [&]
              {
                  PutTotalText("Allergy Info...");
                  AllergyJoiner joiner;
                  AllergyLine line;
                  ForEachRecord(
                      [&]
                      {
                          if (FilterStudent() &&
                              joiner.Add(GetTrimmedText(m_fields.studentKey), GetTrimmedText(allergy), line))
                              WriteLine(file, {line.student, line.allergies});
                      });
                  if (joiner.Finish(line))
                      WriteLine(file, {line.student, line.allergies});
              });

    // Closed here and again by CloseTableFile, which is harmless.
    file.Close();
    CloseTableFile(file);
}
