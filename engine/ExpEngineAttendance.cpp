// The attendance family: the attendance codes of a full export, and the
// period and daily attendance that an attendance update reads into the cache.
#include "ExpEngine.h"
#include "FamilyValueText.h"

XString ExpEngine::ExcusedPair()
{
    const XString text = CleanText();
    if (text == "X")
        return "0\t0";
    if (text == "E")
        return "1\t0";
    return "0\t1";
}

XString ExpEngine::AbsentValue(DataAccessField* halfDays)
{
    if (CleanText() != "A")
        return "0";
    return halfDays && FieldText(halfDays) == "1" ? "0.5" : "1";
}

XString ExpEngine::TardyValue()
{
    return CleanText() == "T" ? "1" : "0";
}

bool ExpEngine::IncludesStudent(const XString& student)
{
    return m_includedStudents.Contains(student);
}

void ExpEngine::AttendanceCodes()
{
    StartTable("Attendance Codes", "AttCodes.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* attcode = AddSisTable("AT015", "attcode", false);
    if (!attcode)
        return SkipMissingTable("Create Attendance Codes : Table AT015 does not exist.");
    AddSchoolConditions(attcode, kSchoolNumber | kDistrict);

    const auto text = Fn(&DataAccessBase::CleanText);
    AddColumnField(attcode, "REAS_CD", text, "AttCodeKey");
    AddColumnField(attcode, "REAS_DSCR", text, "AttCodeDesc");
    // The pair holds a TAB and fills AttCodeUnexcAbs too, whose column writes nothing.
    AddColumnField(
        attcode, "EXCSD_ABS", [this] { return ExcusedPair(); }, "AttCodeExcAbs");
    AddColumnField(attcode, "ABS_TOT", nullptr, "AttCodeUnexcAbs");
    AddColumnField(
        attcode, "TRU_RPT", [this] { return XYesNoText(CleanText()); }, "AttCodeTruant");

    WriteTable();
    FinishTable();
}

void ExpEngine::StudentPeriodAttendance(const XDate& schoolStart, const XDate& schoolEnd)
{
    SetMssqlDateSwitch(true);
    StartAttTable(kPeriodAttTable, true, false);
    ScopedDistinct distinct(*this);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* sec = AddSisTable("SC065", "SEC", false);
    ODBCTable* att = AddSisTable("AT030", "ATT", false);
    if (!att || !sec)
        return SkipMissingTable("Create Student Period Attendance: Table AT020 does not exist.");
    SetChangeDateField(AddOperandField(att, "MNT_DT"));
    for (ODBCTable* table : {stu, att, sec})
        AddSchoolConditions(table, kSchoolNumber | kSchoolYear);
    for (ODBCTable* table : {stu, att, sec})
        AddDistrictCondition(table);

    const auto text = Fn(&DataAccessBase::CleanText);
    m_fields.studentKey = AddColumnField(att, "ID_NBR", text, "AttStdRef");
    SetAttendanceDateField(AddColumnField(att, "CAL_DT", Fn(&DataAccessBase::ZeroAsEmpty), "AttDate"));
    AddColumnField(sec, "PERIOD", text, "AttPerRef");
    AddColumnField(att, "REAS_CD", text, "AttAttCodeRef");
    AddColumnField(
        att, "ATT_STAT", [this] { return AbsentValue(nullptr); }, "AttAbs");
    AddColumnField(
        att, "ATT_STAT", [this] { return TardyValue(); }, "AttTardy");

    AddJoin(stu, "ID_NBR", att, "ID_NBR");
    AddJoin(stu, "DST_NBR", att, "DST_NBR");
    AddJoin(sec, "DST_NBR", att, "DST_NBR");
    AddJoin(att, "COURSE", sec, "COURSE");
    AddJoin(att, "XSECTION", sec, "XSECTION");

    ReadAttendance(schoolStart, schoolEnd);
    Log(8, "Period Attendance Finished", "");
}

void ExpEngine::StudentDailyAttendance(const XDate& schoolStart, const XDate& schoolEnd)
{
    StartAttTable(kDailyAttTable, false, false);
    ScopedDistinct distinct(*this);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* att = AddSisTable("AT020", "ATT", false);
    if (!att)
    {
        SkipMissingTable("Create Student Daily Attendance: Table AT020 does not exist.");
        SetMssqlDateSwitch(true);
        return;
    }
    SetChangeDateField(AddOperandField(att, "MNT_DT"));

    const auto text = Fn(&DataAccessBase::CleanText);
    m_fields.studentKey = AddColumnField(att, "ID_NBR", text, "AttStdRef");
    SetAttendanceDateField(AddColumnField(att, "CAL_DT", Fn(&DataAccessBase::ZeroAsEmpty), "AttDate"));
    AddColumnField(att, "REAS_CD", text, "AttAttCodeRef");
    ODBCField* halfDays = AddField(att, "HALF_DAYS", false);
    AddColumnField(
        att, "ATT_STAT", [this, halfDays] { return AbsentValue(halfDays); }, "AttAbs");
    AddColumnField(
        att, "ATT_STAT", [this] { return TardyValue(); }, "AttTardy");

    AddJoin(stu, "DST_NBR", att, "DST_NBR");
    AddJoin(stu, "ID_NBR", att, "ID_NBR");
    AddJoin(stu, "SCH_NBR", att, "SCH_NBR");
    AddJoin(stu, "SCH_YR", att, "SCH_YR");
    AddSchoolConditions(stu);

    ReadAttendance(schoolStart, schoolEnd);
    SetMssqlDateSwitch(true);
}

void ExpEngine::ReadAttendance(const XDate& schoolStart, const XDate& schoolEnd)
{
    try
    {
        WriteAttendanceTable(
            schoolStart, schoolEnd, [this] { return FilterStudent(); }, false);
    }
    catch (...)
    {
        // The filter fields belong to this query only.
        ResetAttendanceFilter();
        throw;
    }
    FinishTable();
    ResetAttendanceFilter();
}

void ExpEngine::ExportAttendance()
{
    XTextFile updateFile('\t', "", "");
    try
    {
        StartUpdate(updateFile);
        StudentPeriodAttendance(m_schoolStartDate, m_schoolEndDate);
        StudentDailyAttendance(m_schoolStartDate, m_schoolEndDate);
        WriteCachedAttendance();
        FinishUpdate();
    }
    catch (...)
    {
        // Nothing is marked as sent, and an update file not yet complete goes.
        DiscardUpdate();
        throw;
    }
}
