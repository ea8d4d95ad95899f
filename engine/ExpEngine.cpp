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
    m_fields = CurrentFields();
}

bool ExpEngine::FilterStudent()
{
    if (!m_fields.studentKey)
    {
        Log(8, "FilterStudent: Student Key Field not defined.", "");
        return false;
    }
    return m_includedStudents.Contains(GetTrimmedText(m_fields.studentKey));
}

bool ExpEngine::FilterStaff()
{
    if (!m_fields.staffKey)
    {
        Log(8, "FilterStaff: Staff Key Field not defined.", "");
        return false;
    }
    return m_staffList.Contains(GetTrimmedText(m_fields.staffKey));
}

XString ExpEngine::AddThisToStaffLUT()
{
    XString value = ZeroAsEmpty();
    if (!value.IsEmpty())
    {
        Log(8, "AddThisToStaffLUT: added" + value, "");
        m_staffList.Add(value, "");
    }
    return value;
}
