#include "ExpEngine.h"
#include "SchoolYearDisplay.h"
#include "SqlValueText.h"

namespace
{

const char* const kLoadSchoolDistrictList = "ExpEngine::LoadSchoolDistrictList";
const char* const kLoadSchoolList = "ExpEngine::LoadSchoolList";
const char* const kLoadSchoolYearList = "ExpEngine::LoadSchoolYearList";
const char* const kLoadBridgeList = "ExpEngine::LoadBridgeList";

} // namespace

void ExpEngine::ConnectListQuery(const XString& dataSource, const XString& user, const XString& password)
{
    Connect(ConnectionString(dataSource, user, password));
    ClearQuery();
}

bool ExpEngine::LoadSchoolDistrictList(EngineList& list, const XString& dataSource, const XString& user,
                                       const XString& password)
{
    m_lastSql = "";
    try
    {
        SetDatabaseType(dataSource, user, password);
        ConnectListQuery(dataSource, user, password);
        ScopedDistinct distinct(*this);
        ScopedAnsiJoin ansiJoin(*this);

        Log(5, "Loading District List", kLoadSchoolDistrictList);
        Log(8, "smax: " + Alias(), kLoadSchoolDistrictList);
        list.Clear();

        ODBCTable* table = AddSisTable("SY005", "District", Alias() == "tsis");
        ODBCField* number = AddField(table, "DST_NBR", false);
        ODBCField* name = AddField(table, "DST_NME", false);
        AddOrder(name, true);
        m_lastSql = BuildCurrentQuery();

        const bool opened = RunCurrentQueryOk();
        const int count = opened ? GetRecordCount() : 0;
        if (count > 0 && GetFirstRecord())
        {
            Log(5, "Found Districts...", kLoadSchoolDistrictList);
            const XString display = count == 1 ? "Default District" : "District";
            do
                list.Add(FieldText(number), display);
            while (GetNextRecord());
            CloseQuery();
            Disconnect();
            list.SortByKey();
            return true;
        }
        Log(7, "School List Returned 0 Schools.", kLoadSchoolDistrictList);
        CloseQuery();
        Disconnect();
        Log(7, m_lastSql, kLoadSchoolDistrictList);
        return false;
    }
    catch (...)
    {
        ClearQuery();
        Log(7, "District List Failed.", kLoadSchoolDistrictList);
        Log(7, m_lastSql, kLoadSchoolDistrictList);
        return false;
    }
}

bool ExpEngine::LoadSchoolList(EngineList& list, const XString& dataSource, const XString& user,
                               const XString& password, const XString& district)
{
    try
    {
        SetDatabaseType(dataSource, user, password);
        ConnectListQuery(dataSource, user, password);
        ScopedDistinct distinct(*this);
        ScopedAnsiJoin ansiJoin(*this);

        Log(5, "Loading School List", kLoadSchoolList);
        list.Clear();

        ODBCTable* table = AddSisTable("SY010", "School", true);
        ODBCField* number = AddField(table, "SCH_NBR", false);
        ODBCField* name = AddField(table, "SCH_NME", false);
        AddOrder(name, true);
        ODBCField* districtField = AddField(table, "DST_NBR", false);
        if (!district.IsEmpty())
            AddCondition("AND", districtField, "=", SqlQuoted(district));
        m_lastSql = BuildCurrentQuery();

        const bool opened = RunCurrentQueryOk();
        if (opened && GetFirstRecord())
        {
            Log(5, "Found Schools...", kLoadSchoolList);
            do
                list.Add(FieldText(number), FieldText(name));
            while (GetNextRecord());
            CloseQuery();
            Disconnect();
            list.SortByKey();
            return true;
        }
        Log(7, "School List Returned 0 Schools.", kLoadSchoolList);
        CloseQuery();
        Disconnect();
        return false;
    }
    catch (...)
    {
        ClearQuery();
        Log(7, "School List Failed.", kLoadSchoolList);
        return false;
    }
}

bool ExpEngine::LoadSchoolYearList(EngineList& list, const XString& district, const XString& school,
                                   const XString& dataSource, const XString& user, const XString& password)
{
    try
    {
        SetDatabaseType(dataSource, user, password);
        ConnectListQuery(dataSource, user, password);
        ScopedDistinct distinct(*this);
        ScopedAnsiJoin ansiJoin(*this);

        Log(5, "Loading School Year List", kLoadSchoolYearList);
        list.Clear();

        ODBCTable* table = AddSisTable("CA005", "CA", false);
        ODBCField* schoolField = AddField(table, "SCH_NBR", false);
        ODBCField* yearField = AddField(table, "SCH_YR", false);
        ODBCField* districtField = AddField(table, "DST_NBR", false);
        AddCondition("AND", schoolField, "=", SqlQuoted(school));
        if (!district.IsEmpty())
            AddCondition("AND", districtField, "=", SqlQuoted(district));
        m_lastSql = BuildCurrentQuery();

        const bool opened = RunCurrentQueryOk();
        if (opened && GetFirstRecord())
        {
            Log(5, "Found School Years", kLoadSchoolYearList);
            const bool schoolMax = Alias() == "schmax";
            do
            {
                const XString year = FieldText(yearField);
                list.Add(year, SchoolYearDisplay(year, schoolMax));
            } while (GetNextRecord());
        }
        CloseQuery();
        Disconnect();
        list.SortByKey();
        return !list.IsEmpty();
    }
    catch (...)
    {
        ClearQuery();
        Log(3, "Load School List Failed", kLoadSchoolYearList);
        return false;
    }
}

bool ExpEngine::LoadBridgeList(EngineList& list, const XString& paramKey, const ParamMap& params)
{
    if (paramKey != "teacher")
    {
        Log(7, "This bridge is not set up for this type of paramkey:  " + paramKey, "");
        return false;
    }

    const char* const required[] = {"user", "pwd", "dsn", "school"};
    for (const char* key : required)
    {
        if (ParamText(params, key).IsEmpty())
        {
            emit writeMissing(QString::fromLatin1(key), QString::fromLatin1(key) + " missing or blank.");
            return false;
        }
    }
    const XString user = ParamText(params, "user");
    const XString password = ParamText(params, "pwd");
    const XString dataSource = ParamText(params, "dsn");

    try
    {
        XString message;
        // The teacher list does not filter on the year: a year not found is no failure here.
        if (!PrepareRunState(params, false, message))
        {
            Log(3, message, kLoadBridgeList);
            return false;
        }

        Log(5, "Loading Teacher List", kLoadBridgeList);
        SetDatabaseType(dataSource, user, password);
        list.Clear();
        ConnectListQuery(dataSource, user, password);
        ScopedDistinct distinct(*this);
        ScopedAnsiJoin ansiJoin(*this);

        ODBCTable* staff = AddSisTable("SY035", "staff", false);
        ODBCTable* dem = AddSisTable("SY030", "DEM", false);
        if (!staff && !dem)
        {
            ClearQuery();
            Disconnect();
            Log(7, "Bridge List Failed, cannot find required staff tables", kLoadBridgeList);
            Log(4, "Teacher List Failed, can't find staff tables", "teacher");
            return false;
        }
        ODBCField* number = AddField(dem, "EMP_NBR", false);
        ODBCField* last = AddField(dem, "LST_NME", false);
        ODBCField* first = AddField(dem, "FRST_NME", false);
        if (staff && dem)
        {
            AddJoin(dem, "DST_NBR", staff, "DST_NBR");
            AddJoin(staff, "EMP_NBR", dem, "EMP_NBR");
        }
        if (dem && !DistrictNumber().IsEmpty())
            AddCondition("AND", AddOperandField(dem, "DST_NBR"), "=", DistrictNumber());
        // Staff without a last name come last.
        if (last)
            AddOrder(AddExpressionField("case", last, "when '' then 1 else 0 end", "order1"), false);
        AddOrder(last, false);
        AddOrder(first, false);
        AddOrder(number, false);
        m_lastSql = BuildCurrentQuery();

        const bool opened = RunCurrentQueryOk();
        if (!opened || !GetFirstRecord())
        {
            Log(7, "Bridge List Returned 0 Teachers.", kLoadBridgeList);
            CloseQuery();
            Disconnect();
            return false;
        }
        Log(5, "Found Teachers...", kLoadBridgeList);
        do
        {
            const XString key = FieldText(number);
            if (key.IsEmpty())
                continue;
            const XString lastName = FieldText(last);
            const XString firstName = FieldText(first);
            XString name;
            if (!lastName.IsEmpty() && !firstName.IsEmpty())
                name = lastName + ", " + firstName;
            else
                name = lastName.IsEmpty() ? firstName : lastName;
            list.Add(key, name);
        } while (GetNextRecord());
        CloseQuery();
        Disconnect();
        return true;
    }
    catch (...)
    {
        ClearQuery();
        Log(7, "Bridge List Failed", kLoadBridgeList);
        Log(4, "Teacher List Failed, unknown reason", "teacher");
        return false;
    }
}
