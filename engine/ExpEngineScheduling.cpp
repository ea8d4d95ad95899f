// The calendar and master schedule: calendar days, rotation days, terms and
// their dates, grading periods, courses, sections with their rooms and
// teachers, and the students' sections. A course key is "C" + COURSE and a
// section key "C" + COURSE + "-" + section, on both sides of every reference.
#include <cctype>

#include "CalendarSpan.h"
#include "ExpEngine.h"
#include "RotationDays.h"
#include "TermDateAssembler.h"
#include "XTextFile.h"

namespace
{

bool DigitsOnly(const XString& text)
{
    for (int i = 0; i < text.Length(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

} // namespace

XString ExpEngine::CourseKey()
{
    return "C" + FieldText(m_courseField);
}

XString ExpEngine::SectionKey()
{
    return "C" + FieldText(m_courseField) + "-" + FieldText(m_sectionField);
}

XString ExpEngine::DayDescription()
{
    XString text = CleanText();
    return DigitsOnly(text) ? XString() : text;
}

void ExpEngine::AddScheduleConditions(ODBCTable* table)
{
    AddCondition("AND", AddOperandField(table, "SCH_NBR"), "=", SchoolNumber());
    AddCondition("AND", AddOperandField(table, "SCH_YR"), "=", SchoolYear());
    AddCondition("AND", AddOperandField(table, "VERSION"), "=", "'00'");
    if (!DistrictNumber().IsEmpty())
        AddCondition("AND", AddOperandField(table, "DST_NBR"), "=", DistrictNumber());
}

void ExpEngine::SetSchoolDatesFromCalendar(ODBCField* date)
{
    CalendarSpan span(Settings().dateFormat);
    if (OpenTable(1))
        for (bool more = GetFirstRecord(); more; more = GetNextRecord())
            span.Add(GetTrimmedText(date));
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
    StartTable("Calendar", "Calendar.sef", false);
    SetDistinct(true);
    ODBCTable* cal = AddSisTable("CA005", "CAL", false);
    if (!cal)
    {
        Log(7, "Create Calendar: Table CA005 does not exist.", "");
    }
    else
    {
        AddSchoolConditions(cal);
        AddColumnField(nullptr, "", nullptr, "CalKey", false, XString(), XString(), XString(), XString(),
                       SDEColumn::Constant);
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
        WriteTable(nullptr);
    }
    SetDistinct(false);
    FinishTable();
}

void ExpEngine::Days()
{
    static const char* const kSubject = "Days";
    StartTable("Days", "Days.sef", false);
    RotationDays rotation(m_days);
    ODBCTable* sec = AddSisTable("SC065", "SEC", false);
    if (!sec)
    {
        Log(7, "Create Days: Table SC065 does not exist.", "");
        FinishTable();
        return;
    }
    for (const char* name : {"DayKey", "DayOrder", "DayCalRef"})
        AddHeaderField(name);

    XTextFile file('\t', "", "");
    XFileSpec path(SDEFolder());
    path.SetFileName(CurrentFileName());
    file.Open(path, XFile::kWrite);

    AddScheduleConditions(sec);
    ODBCField* day = AddField(sec, "CYCLE_DAY", false);
    try
    {
        if (day && OpenTable(1))
            for (bool more = GetFirstRecord(); more; more = GetNextRecord())
                rotation.Add(FieldText(day));
        for (const auto& [key, order] : rotation.Lines())
        {
            file.WriteField(key);
            file.WriteField(order);
            file.WriteField("");
            file.EndLine();
        }
    }
    catch (const std::exception& e)
    {
        RaiseError(0, "Failed with error [%s] while writing %s.", e.what(), kSubject);
    }
    catch (const char* thrown)
    {
        RaiseError(0, "Failed with error [%s] while writing %s.", thrown ? thrown : "", kSubject);
    }
    catch (...)
    {
        RaiseError(0, "Failed with unknown error while writing %s.", kSubject);
    }
    file.Close();
    FinishTable();
}

void ExpEngine::Terms()
{
    StartTable("Terms", "Terms.sef", false);
    SetDistinct(true);
    ODBCTable* trm = AddSisTable("SC082", "TRM", false);
    ODBCTable* sec = AddSisTable("SC060", "SEC", false);
    if (!trm || !sec)
    {
        Log(7, "Create Terms: Table SC082 or SC060 do not exist.", "");
    }
    else
    {
        const auto text = Fn(&DataAccessBase::CleanText);
        AddColumnField(trm, "SC_CODE", text, "TermKey");
        AddColumnField(nullptr, "", nullptr, "TermCalRef", false, XString(), XString(), XString(), XString(),
                       SDEColumn::Constant);
        AddColumnField(trm, "SC_CD_ABBR", text, "TermCode");
        AddColumnField(trm, "SC_DESC", text, "TermName");
        AddJoin(trm, "SC_CODE", sec, "TERM_CD");
        AddJoin(trm, "DST_NBR", sec, "DST_NBR");
        if (!DistrictNumber().IsEmpty())
            AddCondition("AND", AddOperandField(trm, "DST_NBR"), "=", DistrictNumber());
        AddCondition("AND", AddOperandField(sec, "SCH_NBR"), "=", SchoolNumber());
        AddCondition("AND", AddOperandField(sec, "SCH_YR"), "=", SchoolYear());
        AddCondition("AND", AddOperandField(sec, "VERSION"), "=", "'00'");
        WriteTable(nullptr);
    }
    SetDistinct(false);
    FinishTable();
}

void ExpEngine::TermDates()
{
    static const char* const kSubject = "Term Dates";
    StartTable("Term Dates", "TermDates.sef", false);
    ODBCTable* terms = AddSisTable("SC082", "terms", false);
    ODBCTable* termNum = AddSisTable("SC040", "termNum", false);
    ODBCTable* termDate = AddSisTable("CA020", "termDate", false);
    ODBCTable* sections = AddSisTable("SC060", "sections", false);
    if (!terms || !termNum || !termDate || !sections)
    {
        Log(7, "Create Term Dates: Table SC082 or SC060 or SC040 or SC020 do not exist.", "");
        FinishTable();
        return;
    }
    for (const char* name : {"TermKey", "TermCalRef", "TermName", "TermStartDate", "TermEndDate"})
        AddHeaderField(name);

    XTextFile file('\t', "", "");
    XFileSpec path(SDEFolder());
    path.SetFileName(CurrentFileName());
    file.Open(path, XFile::kWrite);

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
    if (!DistrictNumber().IsEmpty())
        AddCondition("AND", AddOperandField(termDate, "DST_NBR"), "=", DistrictNumber());
    AddCondition("AND", AddOperandField(termNum, "SCH_NBR"), "=", SchoolNumber());
    AddCondition("AND", AddOperandField(termNum, "SCH_YR"), "=", SchoolYear());
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
    try
    {
        TermDateAssembler assembler;
        TermDateLine finished;
        if (OpenTable(1))
            for (bool more = GetFirstRecord(); more; more = GetNextRecord())
                if (assembler.Add(FieldText(code), FieldText(name), FieldText(begin), FieldText(end),
                                  finished))
                    writeLine(finished);
        writeLine(assembler.Current());
    }
    catch (const std::exception& e)
    {
        RaiseError(0, "Failed with error [%s] while writing %s.", e.what(), kSubject);
    }
    catch (const char* thrown)
    {
        RaiseError(0, "Failed with error [%s] while writing %s.", thrown ? thrown : "", kSubject);
    }
    catch (...)
    {
        RaiseError(0, "Failed with unknown error while writing %s.", kSubject);
    }
    file.Close();
    FinishTable();
}

void ExpEngine::GradingPeriods()
{
    XTextFile file('\t', "", "");
    OpenTableFile(file, "Grading Periods", "Bins.sef");
    for (const char* name : {"BinKey", "BinStartDate", "BinEndDate"})
        AddHeaderField(name);
    ODBCTable* bin = AddSisTable("GR025", "BIN", false);
    if (!bin)
    {
        Log(7, "Create Bins: Table GR025 do not exist.", "");
        CloseTableFile(file);
        return;
    }
    AddCondition("AND", AddOperandField(bin, "SCH_NBR"), "=", SchoolNumber());
    AddCondition("AND", AddOperandField(bin, "SCH_YR"), "=", SchoolYear());
    if (!DistrictNumber().IsEmpty())
        AddCondition("AND", AddOperandField(bin, "DST_NBR"), "=", DistrictNumber());
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
    StartTable("Courses", "Courses.sef", false);
    SetDistinct(true);
    ODBCTable* crs = AddSisTable("SC031", "CRS", false);
    if (!crs)
    {
        Log(7, "Create Courses: Table SC031 does not exist.", "");
    }
    else
    {
        AddCondition("AND", AddOperandField(crs, "SCH_NBR"), "=", SchoolNumber());
        AddCondition("AND", AddOperandField(crs, "SCH_YR"), "=", SchoolYear());
        if (!DistrictNumber().IsEmpty())
            AddCondition("AND", AddOperandField(crs, "DST_NBR"), "=", DistrictNumber());
        AddCondition("AND", AddOperandField(crs, "VERSION"), "=", "'00'");
        m_courseField = AddColumnField(
            crs, "COURSE", [this] { return CourseKey(); }, "CrsKey");
        AddColumnField(crs, "CRS_DESCR", Fn(&DataAccessBase::CleanText), "CrsName");
        WriteTable(nullptr);
    }
    SetDistinct(false);
    FinishTable();
}

void ExpEngine::Sections()
{
    StartTable("Sections", "Sections.sef", false);
    SetDistinct(true);
    ODBCTable* sec = AddSisTable("SC060", "SEC", false);
    if (!sec)
    {
        Log(7, "Create Sections: Table SC060 does not exist.", "");
    }
    else
    {
        AddScheduleConditions(sec);
        m_courseField = AddColumnField(
            sec, "COURSE", [this] { return SectionKey(); }, "SecKey");
        // The course reference sits on the section column; its value is the course key.
        m_sectionField = AddColumnField(
            sec, "XSECTION", [this] { return CourseKey(); }, "SecCrsRef");
        AddColumnField(sec, "TERM_CD", Fn(&DataAccessBase::CleanText), "SecTermRef");
        WriteTable(nullptr);
    }
    SetDistinct(false);
    FinishTable();
}

void ExpEngine::SectionTeachers()
{
    StartTable("Section Teachers", "SectionStaff.sef", false);
    SetDistinct(true);
    ODBCTable* sec = AddSisTable("SC070", "SEC", false);
    if (!sec)
    {
        Log(7, "Create Courses: Table SC070 does not exist.", "");
    }
    else
    {
        AddScheduleConditions(sec);
        AddField(sec, "DST_NBR", false);
        m_sectionField = AddField(sec, "XSECTION", false);
        m_courseField = AddColumnField(
            sec, "COURSE", [this] { return SectionKey(); }, "SecKey");
        m_staffKeyField = AddColumnField(sec, "EMP_NBR", Fn(&DataAccessBase::CleanText), "SecStaffRef");
        WriteTable([this] { return FilterSectionTeacher(); });
    }
    SetDistinct(false);
    FinishTable();
}

bool ExpEngine::FilterSectionTeacher()
{
    if (!m_staffKeyField)
    {
        Log(8, "FilterStaff: Staff Key Field not defined.", "");
        return false;
    }
    m_staffList.Add(GetTrimmedText(m_staffKeyField), "");
    return true;
}

void ExpEngine::SectionRooms()
{
    StartTable("Section Rooms", "SectionRooms.sef", false);
    SetDistinct(true);
    ODBCTable* sec = AddSisTable("SC065", "SEC", false);
    if (!sec)
    {
        Log(7, "Create Courses: Table SC065 does not exist.", "");
    }
    else
    {
        AddScheduleConditions(sec);
        const auto text = Fn(&DataAccessBase::CleanText);
        m_courseField = AddColumnField(
            sec, "COURSE", [this] { return SectionKey(); }, "SecKey");
        AddColumnField(sec, "PERIOD", text, "SecStartBlock");
        AddColumnField(sec, "ROOM", text, "SecRoom");
        AddColumnField(sec, "CYCLE_DAY", text, "SecDayRef");
        m_sectionField = AddField(sec, "XSECTION", false);
        WriteTable(nullptr);
    }
    SetDistinct(false);
    FinishTable();
}

void ExpEngine::StudentSchedule()
{
    SetConnectionTimeout(120);
    SetCommandTimeout(360);
    try
    {
        StudentScheduleTable();
    }
    catch (...)
    {
        SetConnectionTimeout(15);
        SetCommandTimeout(30);
        throw;
    }
    SetConnectionTimeout(15);
    SetCommandTimeout(30);
}

void ExpEngine::StudentScheduleTable()
{
    StartTable("Student Schedule", "StudentSched.sef", false);
    SetDistinct(true);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* sc = AddSisTable("SC055", "SC", false);
    if (!sc)
    {
        Log(7, "Student Schedule: SC055 table not found, skipping.", "");
    }
    else
    {
        m_studentKeyField = AddColumnField(sc, "ID_NBR", Fn(&DataAccessBase::CleanText), "StdKey");
        m_courseField = AddColumnField(
            sc, "COURSE", [this] { return SectionKey(); }, "StdSecRef");
        m_sectionField = AddField(sc, "SECT_ASG", false);
        ODBCField* dropDate = AddField(sc, "DATE_DROP", false);
        AddJoin(stu, "DST_NBR", sc, "DST_NBR");
        AddJoin(stu, "ID_NBR", sc, "ID_NBR");
        AddJoin(stu, "SCH_NBR", sc, "SCH_NBR");
        AddJoin(stu, "SCH_YR", sc, "SCH_YR");
        AddCondition("AND", AddOperandField(stu, "SCH_NBR"), "=", SchoolNumber());
        AddCondition("AND", AddOperandField(stu, "SCH_YR"), "=", SchoolYear());
        if (!DistrictNumber().IsEmpty())
        {
            AddCondition("AND", AddOperandField(stu, "DST_NBR"), "=", DistrictNumber());
            AddCondition("AND", AddOperandField(sc, "DST_NBR"), "=", DistrictNumber());
        }
        AddCondition("AND", AddOperandField(sc, "VERSION"), "=", "'00'");
        if (dropDate)
            AddCondition("AND", dropDate, "=", "0");
        WriteTable([this] { return FilterStudent(); });
    }
    SetDistinct(false);
    FinishTable();
}
