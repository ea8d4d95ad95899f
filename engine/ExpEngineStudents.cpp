#include "ExpEngine.h"
#include "StudentNoteAssembler.h"
#include "XTextFile.h"

void ExpEngine::StudentInclusion()
{
    StartTable("Student Inclusion", "", false);
    ScopedAnsiJoin ansiJoin(*this);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* enroll = AddSisTable("CE020", "enroll", true);
    AddJoin(stu, "DST_NBR", enroll, "DST_NBR");
    AddJoin(stu, "ID_NBR", enroll, "ID_NBR");
    AddSchoolConditions(stu);
    ODBCField* id = AddField(stu, "ID_NBR", false);
    ODBCField* last = AddField(enroll, "LST_NME", false);
    ODBCField* first = AddField(enroll, "FRST_NME", false);

    const bool opened = OpenTable(1);
    ansiJoin.Release();
    m_includedStudents.Clear();
    if (opened)
    {
        ForEachRecord(
            [&]
            {
                if (!FieldText(last).IsEmpty() || !FieldText(first).IsEmpty())
                    m_includedStudents.Add(GetTrimmedText(id), "");
            });
    }
    FinishTable();
}

void ExpEngine::StudentDemographics()
{
    StartTable("Student Demographics", "Students.sef", false);
    ScopedDistinct distinct(*this);

    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* enroll = AddSisTable("CE020", "enroll", true);
    AddJoin(stu, "ID_NBR", enroll, "ID_NBR");
    AddJoin(stu, "DST_NBR", enroll, "DST_NBR");
    AddSchoolConditions(stu);

    const auto text = Fn(&DataAccessBase::CleanText);
    const auto zeroAsEmpty = Fn(&DataAccessBase::ZeroAsEmpty);
    const auto staff = [this] { return AddThisToStaffLUT(); };

    m_fields.studentKey = AddColumnField(stu, "ID_NBR", text, "StdKey");
    AddConstantColumn("", "StdCalRef");
    AddColumnField(enroll, "STATE_ID", text, "StdStateId");
    AddColumnField(enroll, "LST_NME", text, "StdLastName");
    AddColumnField(enroll, "FRST_NME", text, "StdFirstName");
    AddColumnField(enroll, "GENDER", text, "StdSex");
    AddColumnField(enroll, "BRTH_DT", zeroAsEmpty, "StdBirthDate");
    AddColumnField(enroll, "EMAIL", text, "StdEmail", false, "Email", "Email", "#customcomfield", "EMAIL");
    AddColumnField(enroll, "ETHNIC", zeroAsEmpty, "StdEthnicity", false, "Ethnicity", "Ethnicity",
                   "#custombasicfield", "NOFORMAT");
    AddColumnField(stu, "TCHR_NBR", staff, "StdHRStaffRef");
    AddColumnField(stu, "HMRM", text, "StdHRRoomNum");
    AddColumnField(stu, "COUNSELOR", staff, "StdCounselorRef");
    AddColumnField(stu, "GRDE", text, "StdGradeLevel");
    AddColumnField(stu, "LOCK_NBR", text, "StdLockerNum");
    AddColumnField(stu, "LOCK_COMB", text, "StdLockerCombo");
    AddColumnField(stu, "BEG_ENR_DT", zeroAsEmpty, "StdEnterDate");
    AddColumnField(
        stu, "END_ENR_DT", [this] { return LeaveDate(); }, "StdLeaveDate");

    WriteTable([this] { return FilterStudent(); });
    FinishTable();
}

void ExpEngine::StudentNotes()
{
    StartTable("Student Notes", "StudentNotes.sef", false);

    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* notes = AddSisTable("SY055", "notes", false);
    if (!notes)
        return SkipMissingTable("Create Student Student Notes: Table CE810 or CE 010 does not exist.");

    for (const char* name : {"NoteStdRef", "NoteKey", "NoteSeverity", "NoteTitle", "NoteContent"})
        AddHeaderField(name);

    XTextFile file('\t', "", "");
    OpenCurrentTableFile(file);

    m_fields.studentKey = AddField(stu, "ID_NBR", false);
    ODBCField* keyword = AddField(notes, "NT_KWD", false);
    ODBCField* line = AddField(notes, "NT_LNE", false);
    ODBCField* text = AddField(notes, "NT_TXT", false);
    ODBCField* page = AddField(notes, "NT_PAGE", false);
    ODBCField* type = AddField(notes, "NT_TYPE", false);
    ODBCField* noteId = AddField(notes, "NT_ID", false);
    ODBCField* noteDistrict = AddField(notes, "DST_NBR", false);
    AddField(stu, "SCH_NBR", false);
    AddField(stu, "SCH_YR", false);
    ODBCField* stuDistrict = AddField(stu, "DST_NBR", false);

    AddSchoolConditions(stu);
    if (!DistrictNumber().IsEmpty())
        AddCondition("AND", stuDistrict, "=", noteDistrict);
    AddCondition("AND", m_fields.studentKey, "=", noteId);
    AddCondition("AND", type, "=", "'PER'");
    AddOrder(m_fields.studentKey, false);
    AddOrder(page, false);
    AddOrder(line, false);

    auto writeLine = [&file](const StudentNoteLine& note)
    {
        file.WriteField(note.student);
        file.WriteField(note.page);
        file.WriteField(note.severity);
        file.WriteField(note.title);
        file.WriteField(note.text);
        file.EndLine();
    };

    WalkTable("Student Notes",
              [&]
              {
                  StudentNoteAssembler assembler;
                  StudentNoteLine finished;
                  ForEachRecord(
                      [&]
                      {
                          if (FilterStudent() &&
                              assembler.Add(GetTrimmedText(m_fields.studentKey), FieldText(page),
                                            FieldText(text), FieldText(keyword), finished))
                              writeLine(finished);
                      });
                  if (assembler.Finish(finished))
                      writeLine(finished);
              });

    CloseTableFile(file);
}

XString ExpEngine::LeaveDate()
{
    XString value = CleanText();
    if (value == "0")
        return XString();
    if (value.Length() == 8 && value.Mid(4) == "0000")
        return FormatDate(m_schoolStartDate);
    return value;
}
