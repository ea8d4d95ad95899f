#include "ExpEngine.h"

#include "DatabaseType.h"

ExpEngine::ExpEngine(QObject* parent)
    : ODBCExpEngineBase(3, DatabaseType::Unset, parent),
      m_studentCustomFields("StudentCustom.txt", "Student User-Defined Fields", "StudentCustom.sef", 1)
{
    for (const char* type : {"DISB", "DREA", "REST", "EDRE", "ELRE"})
        m_miscDiscipline[type];
    AppendCustomFieldList(&m_studentCustomFields);
    SetProgressCounts(2, 10, 35, 1, 1);
    Settings().dateFormat = "YYYYMMDD";
    Settings().timeFormat = "HH:NN:SS AA";
    SetMssqlDateSwitch(true);
}

ExpEngine::~ExpEngine() = default;

XString ExpEngine::GetTableName(const XString& name, bool full) const
{
    if (full)
        return m_fullPrefix + name + m_fullSuffix;
    return m_validationPrefix + name + m_validationSuffix;
}

ODBCTable* ExpEngine::AddSisTable(const char* name, const char* alias, bool required)
{
    return AddTable(GetTableName(name, false), alias, required, GetTableName(name, true));
}

void ExpEngine::AddSchoolConditions(ODBCTable* table)
{
    AddCondition("AND", AddOperandField(table, "SCH_NBR"), "=", SchoolNumber());
    AddCondition("AND", AddOperandField(table, "SCH_YR"), "=", SchoolYear());
    if (!DistrictNumber().IsEmpty())
        AddCondition("AND", AddOperandField(table, "DST_NBR"), "=", DistrictNumber());
}

void ExpEngine::AddJoin(ODBCTable* table1, const char* field1, ODBCTable* table2, const char* field2)
{
    AddCondition("AND", AddOperandField(table1, field1), "=", AddOperandField(table2, field2));
}

XString ExpEngine::FieldText(DataAccessField* field)
{
    XString text = GetTrimmedText(field);
    text.Trim();
    text.ReplaceChar('\t', ' ').ReplaceChar('\r', ' ').ReplaceChar('\n', ' ');
    return text;
}

XString ExpEngine::ConnectionString(const XString& dataSource, const XString& user, const XString& password)
{
    SetDataSource(dataSource);
    SetUser(user.Text());
    SetPassword(password.Text());
    return BuildConnectionString(dataSource.Text(), user.Text(), password.Text());
}

XString ExpEngine::ZeroAsEmpty()
{
    XString text = CleanText();
    text.Trim();
    if (text == "0")
        return XString();
    return text;
}

void ExpEngine::EndTableHook()
{
    m_studentKeyField = nullptr;
    m_staffKeyField = nullptr;
    m_conductFields = ConductFields();
}

bool ExpEngine::FilterStudent()
{
    if (!m_studentKeyField) {
        Log(8, "FilterStudent: Student Key Field not defined.", "");
        return false;
    }
    return m_includedStudents.Contains(GetTrimmedText(m_studentKeyField));
}

bool ExpEngine::FilterStaff()
{
    if (!m_staffKeyField) {
        Log(8, "FilterStaff: Staff Key Field not defined.", "");
        return false;
    }
    return m_staffList.Contains(GetTrimmedText(m_staffKeyField));
}

XString ExpEngine::AddThisToStaffLUT()
{
    XString value = ZeroAsEmpty();
    if (!value.IsEmpty()) {
        Log(8, "AddThisToStaffLUT: added" + value, "");
        m_staffList.Add(value, "");
    }
    return value;
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
