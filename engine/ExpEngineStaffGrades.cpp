#include "ExpEngine.h"
#include "FamilyValueText.h"
#include "StaffGradeValueText.h"

namespace
{

bool IsProgressGradeType(const XString& type)
{
    return type == "G1" || type == "G2" || type == "G3" || type == "G4";
}

} // namespace

void ExpEngine::StaffDemographics()
{
    StartTable("Staff Demographics", "Staff.sef", false);
    ScopedDistinct distinct(*this);

    ODBCTable* staff = AddSisTable("SY035", "staff", false);
    ODBCTable* dem = AddSisTable("SY030", "DEM", false);
    ODBCTable* type = AddSisTable("SY031", "TYP", false);
    if (!staff || !dem || !type)
        return SkipMissingTable("Create Staff: Table SY030 or SY035 or SY031 do not exist.");

    const auto text = Fn(&DataAccessBase::CleanText);
    m_fields.staffKey = AddColumnField(dem, "EMP_NBR", text, "StaffKey", true);
    AddConstantColumn("", "StaffCalRef");
    AddColumnField(dem, "LST_NME", text, "StaffLastName");
    AddColumnField(dem, "FRST_NME", text, "StaffFirstName");
    AddColumnField(dem, "GENDER", text, "StaffSex");
    AddColumnField(dem, "ADDR_LNE_1", text, "StaffAddress1");
    AddColumnField(dem, "ADDR_LNE_2", text, "StaffAddress2");
    AddColumnField(dem, "CITY", text, "StaffCity");
    AddColumnField(dem, "STATE", text, "StaffState");
    AddColumnField(
        dem, "ZIP_CD", [this] { return FamilyZipText(CleanText()); }, "StaffZip");
    AddColumnField(
        dem, "HM_AREA_CD", [this] { return PhoneOf(m_fields.staffHomePhone, nullptr); }, "StaffHomePhone",
        false, "HomePhone", "Home Phone", "#customcomfield", "PHONE");
    m_fields.staffHomePhone = AddField(dem, "HM_PHNE", false);
    AddColumnField(
        dem, "BRTH_YEAR", [this] { return StaffBirthDate(); }, "StaffBirthDate");
    m_fields.staffBirthMonthDay = AddField(dem, "BRTH_MMDD", false);
    AddColumnField(staff, "EMAIL", text, "StaffEmail", false, "Email", "Email", "#customcomfield", "email");
    AddColumnField(
        staff, "WK_AREA_CD", [this] { return PhoneOf(m_fields.staffWorkPhone, m_fields.staffWorkExtension); },
        "StaffWorkPhone", false, "WorkPhone", "Work Phone", "#customcomfield", "PHONE");
    m_fields.staffWorkPhone = AddField(staff, "WK_PHNE", false);
    m_fields.staffWorkExtension = AddField(staff, "WK_EXT", false);
    AddColumnField(staff, "DEPARTMENT", text, "StaffDepartment");
    AddColumnField(staff, "BEG_EMP_DT", Fn(&DataAccessBase::ZeroAsEmpty), "StaffEnterDate");
    AddColumnField(
        staff, "END_EMP_DT", [this] { return StaffLeaveDate(); }, "StaffLeaveDate");
    AddColumnField(type, "STAFF_DESC", text, "StaffPosition");

    AddCondition("AND", AddOperandField(staff, "DST_NBR"), "=", AddOperandField(dem, "DST_NBR"), 1);
    AddCondition("AND", AddOperandField(staff, "EMP_NBR"), "=", AddOperandField(dem, "EMP_NBR"), 0);
    AddCondition("AND", AddOperandField(staff, "STAFF_TYPE"), "=", AddOperandField(type, "STAFF_TYPE"), 0);
    AddDistrictCondition(dem);

    WriteTable([this] { return FilterStaff(); });
    FinishTable();
}

XString ExpEngine::StaffBirthDate()
{
    return StaffBirthDateText(GetTrimmedText(CurrentField()), GetTrimmedText(m_fields.staffBirthMonthDay));
}

XString ExpEngine::StaffLeaveDate()
{
    return StaffLeaveDateText(GetTrimmedText(CurrentField()), Settings().dateFormat.Text(), XDate::Today());
}

void ExpEngine::StudentGrades()
{
    StartTable("Student Grades", "StudentGrades.sef", false);
    ScopedDistinct distinct(*this);

    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* grd = AddSisTable("GR060", "GRD", false);
    if (!grd)
        return SkipMissingTable("Student Grades: GR060 table not found, skipping.");

    const auto text = Fn(&DataAccessBase::CleanText);
    m_fields.studentKey = AddColumnField(grd, "ID_NBR", text, "GrdStdRef", true);
    m_fields.course = AddColumnField(
        grd, "COURSE", [this] { return SectionKey(); }, "GrdSecRef", true);
    m_fields.section = AddField(grd, "XSECTION", false);
    AddColumnField(grd, "GR_PERIOD", text, "GrdBinRef");
    m_fields.gradeType = AddColumnField(grd, "GRADE_TY", text, "GrdKind");
    AddColumnField(grd, "GRADE", text, "GrdValue");
    AddColumnField(
        grd, "CMT_NBR_1", [this] { return CommentKey(m_fields.commentGroup1); }, "GrdComment1", false,
        "Comment1", "Comment 1", "#customgradefield", "NOFORMAT");
    AddColumnField(
        grd, "CMT_NBR_2", [this] { return CommentKey(m_fields.commentGroup2); }, "GrdComment2", false,
        "Comment2", "Comment 2", "#customgradefield", "NOFORMAT");
    AddColumnField(
        grd, "CMT_NBR_3", [this] { return CommentKey(m_fields.commentGroup3); }, "GrdComment3", false,
        "Comment3", "Comment 3", "#customgradefield", "NOFORMAT");
    m_fields.commentGroup1 = AddField(grd, "CMT_GRP_1", false);
    m_fields.commentGroup2 = AddField(grd, "CMT_GRP_2", false);
    m_fields.commentGroup3 = AddField(grd, "CMT_GRP_3", false);

    AddCondition("AND", AddOperandField(stu, "ID_NBR"), "=", AddOperandField(grd, "ID_NBR"), 1);
    AddJoin(stu, "DST_NBR", grd, "DST_NBR");
    AddSchoolConditions(stu);
    AddSchoolConditions(grd);

    WriteTable([this] { return FilterGrade(); });
    FinishTable();
}

void ExpEngine::GradeComments()
{
    StartTable("Grade Comments", "GradeScores.sef", false);
    ScopedDistinct distinct(*this);

    ODBCTable* scores = AddSisTable("GR013", "scores", false);
    if (!scores)
        return SkipMissingTable("Create Grade Scores: Table GR013 does not exist.");

    // The group is stored as the first comment group, so that the key equals GrdComment1's.
    ODBCField* number = AddColumnField(
        scores, "CMT_NBR", [this] { return CommentKey(m_fields.commentGroup1); }, "GrdScoreKey", true);
    m_fields.commentGroup1 = AddField(scores, "CMT_GRP", false);
    AddColumnField(scores, "CMT_NBR", Fn(&DataAccessBase::CleanText), "GrdScoreCode");
    AddColumnField(scores, "CMT_TEXT", Fn(&DataAccessBase::CleanText), "GrdScoreDesc");

    AddSchoolConditions(scores, kSchoolYear | kDistrict);
    AddCondition("AND", number, "<>", "0");

    WriteTable();
    FinishTable();
}

void ExpEngine::GradeTypes()
{
    PutJobText("Reading Grade Types...");
    {
        ScopedDistinct distinct(*this);
        ODBCTable* types = AddSisTable("GR020", "GR020", false);
        if (!types)
        {
            Log(7, "Create Grade Types: Table GR020 does not exist.", "");
        }
        else
        {
            AddField(types, "DST_NBR", true);
            ODBCField* type = AddField(types, "GRADE_TY", true);
            ODBCField* description = AddField(types, "GRTY_DESCR", true);
            AddSchoolConditions(types);
            if (OpenTable(1))
                ForEachRecord([&] { AddGradeType(GetTrimmedText(type), GetTrimmedText(description)); });
        }
    }
    FinishTable();
}

void ExpEngine::AddGradeType(const XString& type, const XString& description)
{
    if (m_progressGrades)
    {
        if (IsProgressGradeType(type))
        {
            Log(7, "Create Grade Types: Filtering Progress Grades: " + type, "");
            return;
        }
        Log(7, "Create Grade Types: Using Grade Type: " + type, "");
    }
    AddCustomField(type, Initials(description), "#customgradefield", "GRADE");
}

bool ExpEngine::FilterGrade()
{
    if (m_progressGrades && m_fields.gradeType && IsProgressGradeType(GetTrimmedText(m_fields.gradeType)))
        return false;
    return FilterStudent();
}

XString ExpEngine::CommentKey(ODBCField* group)
{
    return GradeCommentKey(ZeroAsEmpty(), FieldText(group));
}
