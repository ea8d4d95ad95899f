#include "ConductValueText.h"
#include "ExpEngine.h"

namespace
{
const char* const kIncidentCustom = "#customcndinfield";
const char* const kOutcomeCustom = "#customcndoutfield";
} // namespace

// ---- Value functions ----

XString ExpEngine::ConductLookup(const LookupList* list)
{
    return list ? LookupOrText(*list, CleanText()) : CleanText();
}

XString ExpEngine::StudentParticipant(int role)
{
    // The outcome's target is a student of any participant type.
    const bool target = role == ConductParticipants::Target;
    return m_conductParticipants.StudentReference(
        static_cast<ConductParticipants::Role>(role), FieldText(m_fields.participantKind),
        target ? XString() : CleanText(), GetTrimmedTextZeroEmpty(m_fields.participantId),
        [this](const XString&) { return FilterStudent(); });
}

XString ExpEngine::ParticipantName(int role)
{
    return m_conductParticipants.Name(static_cast<ConductParticipants::Role>(role), m_studentNames);
}

XString ExpEngine::StaffParticipant(const char* type, const char* addedText)
{
    if (FieldText(m_fields.participantKind) != "T" || (type && CleanText() != type))
        return XString();
    const XString id = GetTrimmedTextZeroEmpty(m_fields.participantId);
    if (!id.IsEmpty())
    {
        Log(8, addedText + id, "");
        m_staffList.Add(id, "");
    }
    return id;
}

XString ExpEngine::GetStaffPerp()
{
    return StaffParticipant("O", "GetStaffPerp: added");
}

XString ExpEngine::GetStaffVictim()
{
    return StaffParticipant("V", "GetStaffVictim: added");
}

XString ExpEngine::GetStaffWitness()
{
    return StaffParticipant("W", "GetStaffWitness: added");
}

XString ExpEngine::GetStaffTarget()
{
    return StaffParticipant(nullptr, "GetStaffTarget: added");
}

XString ExpEngine::GetStaffReferee()
{
    // The number as it is: a referee 0 is written and collected as "0".
    const XString value = CleanText();
    if (!value.IsEmpty())
    {
        Log(8, "GetStaffReferee: added" + value, "");
        m_staffList.Add(value, "");
    }
    return value;
}

XString ExpEngine::Referrer()
{
    return FieldText(m_fields.referredBy) == "T" ? CleanText() : XString();
}

XString ExpEngine::ConductStartTime()
{
    return ConductValueText::StartTime(GetTrimmedTextZeroEmpty(CurrentField()),
                                       GetTrimmedTextZeroEmpty(m_fields.startMinute),
                                       FieldText(m_fields.startAmPm));
}

XString ExpEngine::ConductEndTime()
{
    return ConductValueText::EndTime(CleanText(), FieldText(m_fields.endMinute), FieldText(m_fields.endAmPm));
}

XString ExpEngine::StateDate()
{
    return FormatDate(SisDate(CurrentField()));
}

// ---- Routines ----

void ExpEngine::AddConductCodeConditions(ODBCTable* table)
{
    AddCondition("AND", AddOperandField(table, "EVENT_CAT"), "=", "'DIS'");
    AddSchoolConditions(table, kSchoolNumber | kDistrict);
}

void ExpEngine::StateIncidents()
{
    StartTable("State Incidents", "StateIncident.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* incident = AddSisTable("EV055", "incident", false);
    if (!incident)
        return SkipMissingTable("Create State Incidents: Table EV055 does not exist.");
    const auto text = Fn(&DataAccessBase::CleanText);
    AddColumnField(incident, "ST_INC_CD", text, "CndInTypeKey");
    AddColumnField(incident, "ST_INC_DSC", text, "CndInTypeName");
    WriteTable();
    FinishTable();
}

void ExpEngine::IncidentTypes()
{
    StartTable("Incident Types", "ConductInType.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* incident = AddSisTable("EV060", "incident", false);
    if (!incident)
        return SkipMissingTable("Create Incident Types: Table EV060 does not exist.");
    AddConductCodeConditions(incident);
    const auto text = Fn(&DataAccessBase::CleanText);
    AddColumnField(incident, "EVENT_CD", text, "CndInTypeKey");
    AddColumnField(incident, "EVENT_DESC", text, "CndInTypeName");
    AddColumnField(incident, "ST_INC_CD", text, "CndInTypeStateID");
    AddColumnField(incident, "CRIT_EV", text, "CndInTypeCategory");
    AddColumnField(incident, "EV_SUSP", text, "Susp");
    WriteTable();
    FinishTable();
}

void ExpEngine::OutcomeTypes()
{
    StartTable("Outcome Types", "ConductOutType.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* outcome = AddSisTable("EV065", "outcome", false);
    if (!outcome)
        return SkipMissingTable("Create Outcome Types: Table SC065 does not exist.");
    AddConductCodeConditions(outcome);
    const auto text = Fn(&DataAccessBase::CleanText);
    AddColumnField(outcome, "RESP_CD", text, "CndOutTypeKey");
    AddColumnField(outcome, "RESP_DESC", text, "CndOutTypeName");
    WriteTable();
    FinishTable();
}

void ExpEngine::ConductIncidents()
{
    StartTable("Conduct Incidents", "ConductIncident.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* i = AddSisTable("EV010", "incident", false);
    ODBCTable* p = AddSisTable("EV020", "participant", false);
    if (!i || !p)
        return SkipMissingTable("Create Conduct Incidents: Table EV010 or EV020 does not exist.");

    const auto text = Fn(&DataAccessBase::CleanText);
    const auto zero = Fn(&DataAccessBase::ZeroAsEmpty);
    const auto lookup = [this](const LookupList* list)
    { return [this, list] { return ConductLookup(list); }; };
    const auto student = [this](int role) { return [this, role] { return StudentParticipant(role); }; };
    const auto name = [this](int role) { return [this, role] { return ParticipantName(role); }; };
    const auto of = [this](XString (ExpEngine::*fn)()) { return [this, fn] { return (this->*fn)(); }; };
    const auto custom = [this](ODBCTable* table, const char* field, SDEWriter::ValueFunction fn,
                               const char* header, const char* title, const char* label, const char* source)
    { return AddColumnField(table, field, fn, header, false, title, label, kIncidentCustom, source); };
    using CP = ConductParticipants;

    ODBCField* key = AddColumnField(i, "EV_SEQ_NBR", text, "CndInKey");
    AddColumnField(p, "PART_TYPE", student(CP::Perpetrator), "CndInPerpStdRef");
    AddColumnField(p, "PART_TYPE", student(CP::Victim), "CndInVictimStdRef");
    AddColumnField(p, "PART_TYPE", student(CP::Witness), "CndInWitnessStdRef");
    AddColumnField(p, "PART_TYPE", of(&ExpEngine::GetStaffPerp), "CndInPerpStaffRef");
    AddColumnField(p, "PART_TYPE", of(&ExpEngine::GetStaffVictim), "CndInVictimStaffRef");
    AddColumnField(p, "PART_TYPE", of(&ExpEngine::GetStaffWitness), "CndInWitnessStaffRef");
    AddColumnField(nullptr, "", name(CP::Perpetrator), "CndInPerpName");
    AddColumnField(nullptr, "", name(CP::Victim), "CndInVictimName");
    AddColumnField(nullptr, "", name(CP::Witness), "CndInWitnessName");
    custom(p, "AGE", zero, "CndInAge", "InAge", "Age", "NOFORMAT");
    custom(p, "GENDER", text, "CndInGender", "InGender", "Gender", "NOFORMAT");
    custom(p, "OTH_DST", zero, "CndInDistrict", "InDistrict", "District", "NOFORMAT");
    custom(p, "OTH_SCH", zero, "CndInSchool", "InSchool", "School", "");
    custom(
        p, "ETHN_CD", [this] { return ConductValueText::Ethnicity(CleanText()); }, "CndInEthnicity",
        "InEthnicity", "Ethnicity", "NOFORMAT");
    custom(p, "PART_STAT", lookup(&m_participantStatus), "CndInPartStatus", "InPartStatus", "Status",
           "NOFORMAT");
    custom(p, "OTH_FACT", lookup(&m_otherFactors), "CndInOtherFactors2", "InOtherFactors2", "Other Factors",
           "NOFORMAT");
    AddColumnField(i, "EVENT_CD", text, "CndInTypeRef");
    AddColumnField(i, "DATE_8", zero, "CndInDate");
    AddColumnField(i, "HOURS", of(&ExpEngine::ConductStartTime), "CndInTime");
    AddColumnField(
        i, "BUS_INC", [this] { return ConductValueText::BusFlag(CleanText()); }, "CndInRoomRef");
    // One of the two referrer columns exists: TSIS names it R-ID-NBR, SchoolMAX ID_NBR.
    AddColumnField(i, "R-ID-NBR", of(&ExpEngine::Referrer), "CndInReferrerStaffRef");
    if (ODBCField* referrer = AddColumnField(i, "ID_NBR", of(&ExpEngine::Referrer), "CndInReferrerStaffRef"))
        m_fields.staffKey = referrer;
    custom(i, "MAJOR_NBR", text, "CndInMajor", "InMajor", "Major ID", "");
    custom(i, "NBR_OFF", zero, "CndInOffend", "InOffend", "# Offender", "NOFORMAT");
    custom(i, "NBR_VICT", zero, "CndInVictim", "InVictim", "# Victims", "NOFORMAT");
    custom(i, "NBR_WIT", zero, "CndInWitness", "InWitness", "# Witness", "NOFORMAT");
    AddColumnField(i, "WPN_CD", lookup(&m_weapons), "CndInWeaponCode");
    custom(i, "OTH_WPN", lookup(&m_weapons), "CndInOtherWeaponCode", "InOtherWeaponCode", "Other Weapon",
           "NOFORMAT");
    AddColumnField(i, "PROP_TYPE", lookup(&m_damages), "CndInDamages");
    custom(i, "OTH_FACT", lookup(&m_otherFactors), "CndInOtherFactors", "InOtherFactors", "Other Factors",
           "NOFORMAT");
    custom(i, "INJURY_TY", lookup(&m_injuryTypes), "CndInInjuryType", "InInjuryType", "Injury", "NOFORMAT");
    custom(i, "INJ_TO_TY", lookup(&m_injuryTo), "CndInInjuryTo", "InInjuryTo", "Injury To", "NOFORMAT");
    AddColumnField(
        i, "LAW_REPT", [this] { return ConductValueText::XToY(CleanText()); }, "CndInPoliceCalled");
    AddColumnField(i, "LAW_RE_NBR", zero, "CndInPoliceReport");
    custom(i, "NBR_ARREST", zero, "CndInArrested", "InArrested", "# Arrested", "NOFORMAT");
    custom(
        i, "REP_FLAG", [this] { return ConductValueText::XToY(CleanText()); }, "CndInStateReport",
        "InStateReport", "State Report", "NOFORMAT");
    custom(i, "REP_DATE", of(&ExpEngine::StateDate), "CndInStateDate", "InStateDate", "State Date", "DATE");

    AddField(p, "EV_SEQ_NBR", false);
    m_fields.participantId = m_fields.studentKey = AddField(p, "ID_NBR", false);
    m_fields.participantKind = AddField(p, "PART_CD", false);
    m_fields.startMinute = AddField(i, "MINUTES", false);
    m_fields.startAmPm = AddField(i, "AM_PM", false);
    m_fields.referredBy = AddField(i, "REF_BY", false);
    for (const char* field : {"COST_V_PRO", "COST_S_PRO", "COST_V_PER", "COST_S_PER", "DST_NBR", "SCH_NBR"})
        AddField(i, field, false);
    AddField(p, "SCH_NBR", false);
    AddField(i, "SCH_YR", false);
    AddField(p, "SCH_YR", false);
    AddField(i, "EVENT_CAT", false);

    AddCondition("AND", AddOperandField(i, "SCH_NBR"), "=", SchoolNumber());
    AddCondition("AND", AddOperandField(p, "SCH_NBR"), "=", SchoolNumber());
    AddCondition("AND", AddOperandField(i, "SCH_YR"), "=", SchoolYear());
    AddCondition("AND", AddOperandField(p, "SCH_YR"), "=", SchoolYear());
    AddJoin(i, "EV_SEQ_NBR", p, "EV_SEQ_NBR");
    AddDistrictCondition(i);
    AddOrder(key, false);

    m_conductParticipants.Reset();
    WriteTable();
    FinishTable();
}

void ExpEngine::ConductOutcomes()
{
    StartTable("Conduct Outcomes", "ConductOutcome.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* o = AddSisTable("EV030", "outcome", false);
    ODBCTable* p = AddSisTable("EV020", "participant", false);
    if (!o || !p)
        return SkipMissingTable("Create Conduct Outcomes: Table EV030 or EV020 does not exist.");

    const auto text = Fn(&DataAccessBase::CleanText);
    const auto zero = Fn(&DataAccessBase::ZeroAsEmpty);
    const auto notADate = [this] { return ConductValueText::NotADate(CleanText()); };
    const auto misc = [this](const char* type)
    {
        const LookupList* list = MiscDiscipline(type);
        return [this, list] { return ConductLookup(list); };
    };
    const auto of = [this](XString (ExpEngine::*fn)()) { return [this, fn] { return (this->*fn)(); }; };
    const auto custom = [this](ODBCTable* table, const char* field, SDEWriter::ValueFunction fn,
                               const char* header, const char* title, const char* label, const char* source)
    { return AddColumnField(table, field, fn, header, false, title, label, kOutcomeCustom, source); };

    ODBCField* key = AddColumnField(o, "EV_SEQ_NBR", text, "CndOutKey");
    AddColumnField(p, "EV_SEQ_NBR", text, "CndOutInRef");
    m_fields.staffKey =
        AddColumnField(o, "EMP_NBR", of(&ExpEngine::GetStaffReferee), "CndOutRefereeStaffRef");
    AddColumnField(
        nullptr, "", [this] { return StudentParticipant(ConductParticipants::Target); },
        "CndOutTargetStdRef");
    AddColumnField(nullptr, "", of(&ExpEngine::GetStaffTarget), "CndOutTargetStaffRef");
    AddColumnField(
        nullptr, "", [this] { return ParticipantName(ConductParticipants::Target); }, "CndOutTargetName");
    AddColumnField(o, "RESP_CD", text, "CndOutTypeRef");
    AddColumnField(o, "RESP_DATE", notADate, "CndOutStartDate");
    // A second column of the same name carries the primary flag.
    AddColumnField(
        o, "PRIM_FLG", [this] { return ConductValueText::XToY(CleanText()); }, "CndOutTypeRef");
    AddColumnField(o, "SUS_DATE_F", notADate, "CndOutActualStartDate");
    AddColumnField(o, "SUS_DATE_T", notADate, "CndOutActualEndDate");
    AddColumnField(o, "SUS_HR_F", of(&ExpEngine::ConductStartTime), "CndOutActualStartTime");
    AddColumnField(o, "SUS_HR_T", of(&ExpEngine::ConductEndTime), "CndOutActualEndTime");
    custom(o, "DIS_BY", misc("DISB"), "CndOutDiscBy", "OutDiscBy", "Disc. By", "NOFORMAT");
    AddColumnField(o, "SUS_LOC", text, "CndOutRoomRef");
    AddColumnField(o, "ASGN_DAYS", text, "CndOutDuration");
    AddColumnField(o, "ACTL_DAYS", text, "CndOutActualDuration");
    custom(o, "DIFF_REAS", misc("DREA"), "CndOutDiffReason", "OutDiffReason", "Diff. Reason", "NOFORMAT");
    AddColumnField(o, "DIS_STAT", misc("REST"), "CndOutStatusRef");
    custom(o, "EDUC_REF", misc("EDRE"), "CndOutEdReferral", "OutEdReferral", "Ed Ref", "NOFORMAT");
    custom(o, "RET_ELIG", misc("ELRE"), "CndOutReturnElig", "OutReturnElig", "Can Return?", "NOFORMAT");
    custom(o, "RET_ELIGDT", zero, "CndOutReturnDate", "OutReturnDate", "Return Date", "DATE");

    for (const char* field : {"DST_NBR", "SCH_NBR"})
        AddField(o, field, false);
    AddField(p, "SCH_NBR", false);
    AddField(o, "SCH_YR", false);
    AddField(p, "SCH_YR", false);
    AddField(o, "EVENT_CAT", false);
    m_fields.participantId = m_fields.studentKey = AddField(p, "ID_NBR", false);
    AddField(o, "PART_SEQ", false);
    AddField(p, "PART_SEQ", false);
    m_fields.participantKind = AddField(p, "PART_CD", false);
    m_fields.startMinute = AddField(o, "SUS_MIN_F", false);
    m_fields.startAmPm = AddField(o, "SUS_AMPM_F", false);
    m_fields.endMinute = AddField(o, "SUS_MIN_T", false);
    m_fields.endAmPm = AddField(o, "SUS_AMPM_T", false);

    AddJoin(o, "EV_SEQ_NBR", p, "EV_SEQ_NBR");
    AddJoin(o, "PART_SEQ", p, "PART_SEQ");
    AddCondition("AND", AddOperandField(o, "SCH_NBR"), "=", SchoolNumber());
    AddCondition("AND", AddOperandField(p, "SCH_NBR"), "=", SchoolNumber());
    AddCondition("AND", AddOperandField(o, "SCH_YR"), "=", SchoolYear());
    AddCondition("AND", AddOperandField(p, "SCH_YR"), "=", SchoolYear());
    AddDistrictCondition(o);
    AddCondition("AND", AddOperandField(o, "EVENT_CAT"), "=", "'DIS'");
    AddOrder(key, false);

    m_conductParticipants.Reset();
    WriteTable();
    FinishTable();
}
