// The calendar and master schedule: calendar days, rotation days, terms and
// their dates, grading periods, courses, sections with their rooms and
// teachers, and the students' sections. A course key is "C" + COURSE and a
// section key "C" + COURSE + "-" + section, on both sides of every reference.
#include "CalendarSpan.h"
#include "ExpEngine.h"
#include "RotationDays.h"
#include "ScopedQuerySwitch.h"
#include "TermDateAssembler.h"
#include "XTextFile.h"

XString ExpEngine::CourseKey()
{
    return "C" + FieldText(m_fields.course);
}

XString ExpEngine::SectionKey()
{
    return "C" + FieldText(m_fields.course) + "-" + FieldText(m_fields.section);
}

XString ExpEngine::DayDescription()
{
    XString text = CleanText();
    return text.IsDigits() ? XString() : text;
}

void ExpEngine::AddScheduleConditions(ODBCTable* table)
{
    AddSchoolConditions(table, kSchoolNumber | kSchoolYear);
    AddCondition("AND", AddOperandField(table, "VERSION"), "=", "'00'");
    AddDistrictCondition(table);
}

void ExpEngine::SetSchoolDatesFromCalendar(ODBCField* date)
{
    CalendarSpan span(Settings().dateFormat);
    if (OpenTable(1))
        ForEachRecord([&] { span.Add(GetTrimmedText(date)); });
    if (!span.IsEmpty())
    {
        m_schoolStartDate = span.Start();
        Log(8, "Create Calendar: Set Start Date to: " + FormatDate(m_schoolStartDate), "");
        m_schoolEndDate = span.End();
    }
    Log(8, "Create Calendar: Set End Date to: " + FormatDate(m_schoolEndDate), "");
}

void ExpEngine::Calendar()
{
    StartTable("Calendar", "Calendar.sef");
    ScopedDistinct distinct(*this);
    ODBCTable* cal = AddSisTable("CA005", "CAL", false);
    if (!cal)
        return SkipMissingTable("Create Calendar: Table CA005 does not exist.");
    AddSchoolConditions(cal);
    AddConstantColumn("", "CalKey");
    ODBCField* date = AddColumnField(cal, "CAL_DT", Fn(&DataAccessBase::ZeroAsEmpty), "CalDate");
    AddColumnField(cal, "INST_F", Fn(&DataAccessBase::CleanText), "CalDateAttValue");
    AddColumnField(
        cal, "DAY_CD", [this] { return DayDescription(); }, "CalDateDesc");
    AddColumnField(cal, "CYCLE_DAY", Fn(&DataAccessBase::CleanText), "CalDateDayRef");
    if (date)
    {
        AddOrder(date, false);
        SetSchoolDatesFromCalendar(date);
    }
    WriteTable();
    FinishTable();
}

void ExpEngine::Days()
{
    StartTable("Days", "Days.sef");
    RotationDays rotation(m_days);
    ODBCTable* sec = AddSisTable("SC065", "SEC", false);
    if (!sec)
        return SkipMissingTable("Create Days: Table SC065 does not exist.");
    for (const char* name : {"DayKey", "DayOrder", "DayCalRef"})
        AddHeaderField(name);
    XTextFile file('\t', "", "");
    OpenCurrentTableFile(file);

    AddScheduleConditions(sec);
    ODBCField* day = AddField(sec, "CYCLE_DAY", false);
    WalkTable("Days",
              [&]
              {
                  ForEachRecord([&] { rotation.Add(FieldText(day)); });
                  for (const auto& [key, order] : rotation.Lines())
                  {
                      file.WriteField(key);
                      file.WriteField(order);
                      file.WriteField("");
                      file.EndLine();
                  }
              });
    CloseTableFile(file);
}

void ExpEngine::Terms()
{
    StartTable("Terms", "Terms.sef");
    ScopedDistinct distinct(*this);
    ODBCTable* trm = AddSisTable("SC082", "TRM", false);
    ODBCTable* sec = AddSisTable("SC060", "SEC", false);
    if (!trm || !sec)
        return SkipMissingTable("Create Terms: Table SC082 or SC060 do not exist.");
    const auto text = Fn(&DataAccessBase::CleanText);
    AddColumnField(trm, "SC_CODE", text, "TermKey");
    AddConstantColumn("", "TermCalRef");
    AddColumnField(trm, "SC_CD_ABBR", text, "TermCode");
    AddColumnField(trm, "SC_DESC", text, "TermName");
    AddJoin(trm, "SC_CODE", sec, "TERM_CD");
    AddJoin(trm, "DST_NBR", sec, "DST_NBR");
    AddDistrictCondition(trm);
    AddSchoolConditions(sec, kSchoolNumber | kSchoolYear);
    AddCondition("AND", AddOperandField(sec, "VERSION"), "=", "'00'");
    WriteTable();
    FinishTable();
}

void ExpEngine::TermDates()
{
    StartTable("Term Dates", "TermDates.sef");
    ODBCTable* terms = AddSisTable("SC082", "terms", false);
    ODBCTable* termNum = AddSisTable("SC040", "termNum", false);
    ODBCTable* termDate = AddSisTable("CA020", "termDate", false);
    ODBCTable* sections = AddSisTable("SC060", "sections", false);
    if (!terms || !termNum || !termDate || !sections)
        return SkipMissingTable("Create Term Dates: Table SC082 or SC060 or SC040 or SC020 do not exist.");
    for (const char* name : {"TermKey", "TermCalRef", "TermName", "TermStartDate", "TermEndDate"})
        AddHeaderField(name);
    XTextFile file('\t', "", "");
    OpenCurrentTableFile(file);

    ODBCField* code = AddField(termNum, "TERM_CD", false);
    ODBCField* number = AddField(termNum, "TERM_NBR", false);
    ODBCField* name = AddField(terms, "SC_DESC", false);
    ODBCField* begin = AddField(termDate, "BEG_PRD_DT", false);
    ODBCField* end = AddField(termDate, "END_PRD_DT", false);
    AddJoin(termDate, "SCH_NBR", termNum, "SCH_NBR");
    AddJoin(termDate, "SCH_YR", termNum, "SCH_YR");
    AddJoin(termDate, "DST_NBR", termNum, "DST_NBR");
    AddJoin(termDate, "PRD_NBR", termNum, "TERM_NBR");
    AddJoin(termNum, "TERM_CD", terms, "SC_CODE");
    AddJoin(termNum, "DST_NBR", terms, "DST_NBR");
    AddJoin(terms, "SC_CODE", sections, "TERM_CD");
    AddDistrictCondition(termDate);
    AddSchoolConditions(termNum, kSchoolNumber | kSchoolYear);
    AddCondition("AND", AddOperandField(termNum, "VERSION"), "=", "'00'");
    AddCondition("AND", AddOperandField(termDate, "CAL_TY"), "=", "'SC'");
    AddOrder(code, false);
    AddOrder(number, false);

    auto writeLine = [&file](const TermDateLine& line)
    {
        file.WriteField(line.code);
        file.WriteField("");
        file.WriteField(line.name);
        file.WriteField(line.start);
        file.WriteField(line.end);
        file.EndLine();
    };
    PutTotalText("Term Dates...");
    WalkTable("Term Dates",
              [&]
              {
                  TermDateAssembler assembler;
                  TermDateLine finished;
                  ForEachRecord(
                      [&]
                      {
                          if (assembler.Add(FieldText(code), FieldText(name), FieldText(begin),
                                            FieldText(end), finished))
                              writeLine(finished);
                      });
                  writeLine(assembler.Current());
              });
    CloseTableFile(file);
}

void ExpEngine::GradingPeriods()
{
    XTextFile file('\t', "", "");
    OpenTableFile(file, "Grading Periods", "Bins.sef");
    for (const char* name : {"BinKey", "BinStartDate", "BinEndDate"})
        AddHeaderField(name);
    ODBCTable* bin = AddSisTable("GR025", "BIN", false);
    if (!bin)
        return SkipMissingTable("Create Bins: Table GR025 do not exist.", file);
    AddSchoolConditions(bin);
    ODBCField* starts[6];
    ODBCField* ends[6];
    for (int n = 1; n <= 6; ++n)
    {
        starts[n - 1] = AddField(bin, "BEG_DT_" + XString(n), false);
        ends[n - 1] = AddField(bin, "CUTOFF_DT" + XString(n), false);
    }
    if (OpenTable(1) && GetFirstRecord())
    {
        for (int n = 1; n <= 6; ++n)
        {
            const XString start = GetTrimmedTextZeroEmpty(starts[n - 1]);
            const XString end = GetTrimmedTextZeroEmpty(ends[n - 1]);
            Log(7, "Create Bin " + XString(n) + ": Start: " + start + " End: " + end, "");
            // A bin with one date is written with the other left empty.
            if (start.IsEmpty() && end.IsEmpty())
                continue;
            file.WriteField(XString(n));
            file.WriteField(start);
            file.WriteField(end);
            file.EndLine();
        }
    }
    CloseTableFile(file);
}

void ExpEngine::Courses()
{
    StartTable("Courses", "Courses.sef");
    ScopedDistinct distinct(*this);
    ODBCTable* crs = AddSisTable("SC031", "CRS", false);
    if (!crs)
        return SkipMissingTable("Create Courses: Table SC031 does not exist.");
    AddSchoolConditions(crs);
    AddCondition("AND", AddOperandField(crs, "VERSION"), "=", "'00'");
    m_fields.course = AddColumnField(
        crs, "COURSE", [this] { return CourseKey(); }, "CrsKey");
    AddColumnField(crs, "CRS_DESCR", Fn(&DataAccessBase::CleanText), "CrsName");
    WriteTable();
    FinishTable();
}

void ExpEngine::Sections()
{
    StartTable("Sections", "Sections.sef");
    ScopedDistinct distinct(*this);
    ODBCTable* sec = AddSisTable("SC060", "SEC", false);
    if (!sec)
        return SkipMissingTable("Create Sections: Table SC060 does not exist.");
    AddScheduleConditions(sec);
    m_fields.course = AddColumnField(
        sec, "COURSE", [this] { return SectionKey(); }, "SecKey");
    // The course reference sits on the section column; its value is the course key.
    m_fields.section = AddColumnField(
        sec, "XSECTION", [this] { return CourseKey(); }, "SecCrsRef");
    AddColumnField(sec, "TERM_CD", Fn(&DataAccessBase::CleanText), "SecTermRef");
    WriteTable();
    FinishTable();
}

void ExpEngine::SectionTeachers()
{
    StartTable("Section Teachers", "SectionStaff.sef");
    ScopedDistinct distinct(*this);
    ODBCTable* sec = AddSisTable("SC070", "SEC", false);
    if (!sec)
        return SkipMissingTable("Create Courses: Table SC070 does not exist.");
    AddScheduleConditions(sec);
    AddField(sec, "DST_NBR", false);
    m_fields.section = AddField(sec, "XSECTION", false);
    m_fields.course = AddColumnField(
        sec, "COURSE", [this] { return SectionKey(); }, "SecKey");
    m_fields.staffKey = AddColumnField(sec, "EMP_NBR", Fn(&DataAccessBase::CleanText), "SecStaffRef");
    WriteTable([this] { return FilterSectionTeacher(); });
    FinishTable();
}

bool ExpEngine::FilterSectionTeacher()
{
    if (!m_fields.staffKey)
    {
        Log(8, "FilterStaff: Staff Key Field not defined.", "");
        return false;
    }
    m_staffList.Add(GetTrimmedText(m_fields.staffKey), "");
    return true;
}

void ExpEngine::SectionRooms()
{
    StartTable("Section Rooms", "SectionRooms.sef");
    ScopedDistinct distinct(*this);
    ODBCTable* sec = AddSisTable("SC065", "SEC", false);
    if (!sec)
        return SkipMissingTable("Create Courses: Table SC065 does not exist.");
    AddScheduleConditions(sec);
    const auto text = Fn(&DataAccessBase::CleanText);
    m_fields.course = AddColumnField(
        sec, "COURSE", [this] { return SectionKey(); }, "SecKey");
    AddColumnField(sec, "PERIOD", text, "SecStartBlock");
    AddColumnField(sec, "ROOM", text, "SecRoom");
    AddColumnField(sec, "CYCLE_DAY", text, "SecDayRef");
    m_fields.section = AddField(sec, "XSECTION", false);
    WriteTable();
    FinishTable();
}

void ExpEngine::StudentSchedule()
{
    // A long query on a slow server; the defaults return however the routine ends.
    struct RaisedTimeouts
    {
        ExpEngine& engine;
        explicit RaisedTimeouts(ExpEngine& e) : engine(e)
        {
            engine.SetConnectionTimeout(120);
            engine.SetCommandTimeout(360);
        }
        ~RaisedTimeouts()
        {
            engine.SetConnectionTimeout(15);
            engine.SetCommandTimeout(30);
        }
    } raised(*this);
    StudentScheduleTable();
}

void ExpEngine::StudentScheduleTable()
{
    StartTable("Student Schedule", "StudentSched.sef");
    ScopedDistinct distinct(*this);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* sc = AddSisTable("SC055", "SC", false);
    if (!sc)
        return SkipMissingTable("Student Schedule: SC055 table not found, skipping.");
    m_fields.studentKey = AddColumnField(sc, "ID_NBR", Fn(&DataAccessBase::CleanText), "StdKey");
    m_fields.course = AddColumnField(
        sc, "COURSE", [this] { return SectionKey(); }, "StdSecRef");
    m_fields.section = AddField(sc, "SECT_ASG", false);
    ODBCField* dropDate = AddField(sc, "DATE_DROP", false);
    AddJoin(stu, "DST_NBR", sc, "DST_NBR");
    AddJoin(stu, "ID_NBR", sc, "ID_NBR");
    AddJoin(stu, "SCH_NBR", sc, "SCH_NBR");
    AddJoin(stu, "SCH_YR", sc, "SCH_YR");
    AddSchoolConditions(stu, {sc});
    AddCondition("AND", AddOperandField(sc, "VERSION"), "=", "'00'");
    if (dropDate)
        AddCondition("AND", dropDate, "=", "0");
    WriteTable([this] { return FilterStudent(); });
    FinishTable();
}
