#include "DatabaseType.h"
#include "ExpEngine.h"
#include "SqlValueText.h"

namespace
{

const char* const kExecute = "ExpEngine::Execute";

} // namespace

XString ExpEngine::ParamText(const ParamMap& params, const char* key)
{
    return XString(params.value(QString::fromLatin1(key)));
}

bool ExpEngine::PrepareDistrict(XString& message)
{
    const XString district = DistrictNumber();
    if (district.IsEmpty())
        return true;
    if (DatabaseType() == DatabaseType::Access)
    {
        SetDistrictNumber(SqlQuoted(district));
        return true;
    }
    if (!IsWholeNumber(district))
    {
        message = NotWholeNumberMessage("district", district, GetDatabaseTypeName());
        return false;
    }
    return true;
}

bool ExpEngine::PrepareYear(XString& year, XString& message)
{
    if (year.IsEmpty())
        return true;
    if (DatabaseType() == DatabaseType::Access)
    {
        year = SqlQuoted(year);
        return true;
    }
    if (!IsWholeNumber(year))
    {
        message = NotWholeNumberMessage("year", year, GetDatabaseTypeName());
        return false;
    }
    return true;
}

bool ExpEngine::PrepareRunState(const ParamMap& params, bool requireYear, XString& message)
{
    SetSchoolNumber(ParamText(params, "school"));
    SetDistrictNumber(ParamText(params, "district"));
    SetSchoolYear("");
    const bool useYear = ParamText(params, "useyear") == "true";

    SetDatabaseType(ParamText(params, "dsn"), ParamText(params, "user"), ParamText(params, "pwd"));

    Log(7, "Alias is set to: " + Alias(), kExecute);
    SetSchoolNumber(SqlQuoted(SchoolNumber()));
    Log(7, "SchoolNumber: " + SchoolNumber(), kExecute);
    if (!PrepareDistrict(message))
        return false;
    Log(7, "District Number: " + DistrictNumber(), kExecute);

    if (useYear)
    {
        XString year = ParamText(params, "year");
        if (!PrepareYear(year, message))
            return false;
        SetSchoolYear(year);
    }
    Log(7, "School Year (b4): " + SchoolYear(), kExecute);

    const XString year = FindCurrentSchoolYear();
    if (requireYear)
    {
        if (year.IsEmpty() || year == "''")
        {
            Log(3, "Cannot determine School Year, cannot continue.", kExecute);
            return false;
        }
        // The year goes into every statement unquoted.
        if (!YearIsQuoted() && !IsWholeNumber(year))
        {
            message = NotWholeNumberMessage("year", year, GetDatabaseTypeName());
            return false;
        }
    }
    SetSchoolYear(year);
    Log(7, "School Year: " + SchoolYear(), kExecute);
    return true;
}

bool ExpEngine::Execute(ParamMap& params, int flags, QString& errorText)
{
    ResetIncompleteTables();
    BridgeTaskBase::SetAlias(ParamText(params, "bridgeAlias_"));
    const XString user = ParamText(params, "user");
    const XString password = ParamText(params, "pwd");
    const XString dataSource = ParamText(params, "dsn");
    SetDataSource(dataSource);
    SetUser(user.Text());
    SetPassword(password.Text());
    XDate inactive;
    inactive.Parse(Settings().dateFormat.Text(), ParamText(params, "inactivedate").Text());
    SetInactiveDate(inactive);

    XString message;
    if (!PrepareRunState(params, true, message))
    {
        errorText = message.ToQString();
        return false;
    }

    BeginExtraction(ConnectionString(dataSource, user, password), false);
    LoadLookupTables();
    // Every export filters on or reads these lists: exported from short lists,
    // the tables would replace good data files with incomplete ones.
    if (!IncompleteTables().empty())
    {
        errorText = IncompleteTablesMessage().ToQString();
        Disconnect();
        return false;
    }

    if (flags & 1)
        ExportTables();
    if (flags & 2)
        ExportAttendance();

    EndExtraction();
    if (!IncompleteTables().empty())
    {
        errorText = IncompleteTablesMessage().ToQString();
        return false;
    }
    return true;
}

void ExpEngine::ExportTables()
{
    StartImport();

    StudentLegalNotes();
    StudentNotes();
    RunSwallowingFailure(&ExpEngine::StudentCustodyProtection);

    StudentDemographics();
    StudentTransport();
    GradeComments();

    ConductIncidents();
    StateIncidents();
    IncidentTypes();
    ConductOutcomes();
    OutcomeTypes();

    StudentGrades();
    GradeTypes();
    HealthConcernTypes();
    Calendar();
    AttendanceCodes();
    StudentMedications();
    StudentHealthConcerns();
    StudentImmunizations();

    if (Alias() == "tsis")
        StudentMedical();
    if (Alias() == "schmax")
    {
        StudentAllergy();
        StudentMedicalAllergy();
    }

    StudentAddress();
    StudentParentGuardian();
    StudentCustomFieldsTable();
    StudentContacts();
    StudentSchedule();
    Days();
    Terms();
    TermDates();
    GradingPeriods();
    Courses();
    Sections();
    SectionTeachers();
    SectionRooms();

    // Last, as it writes only the staff the exports above collected.
    StaffDemographics();

    FinishImport();
}
