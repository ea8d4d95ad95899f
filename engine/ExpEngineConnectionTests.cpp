#include "ExpEngine.h"
#include "SqlValueText.h"

namespace
{
const char* const kValidateConnection = "ExpEngine::ValidateConnection";
const char* const kValidateDistrictAndSchoolNum = "ExpEngine::ValidateDistrictAndSchoolNum";
} // namespace

bool ExpEngine::ValidateConnection(const XString& dataSource, const XString& user, const XString& password)
{
    m_lastSql = "";
    try
    {
        SetDatabaseType(dataSource, user, password);
        Log(7, "Validating Connection.", "");
        const XString district = GetTableName("SY005", false);
        if (TableExistsConnected(ConnectionString(dataSource, user, password), district, false))
        {
            emit writeProgressIncrement("Beginning test...");
            Log(7, "Validate Connection Successful using: " + district, "");
            return true;
        }
        Log(7, "Validate Connection Failed: SY005 Table Doesn't Exist", "");
        return false;
    }
    catch (const std::exception& e)
    {
        Log(7, "Attempted:" + m_lastSql, kValidateConnection);
        Log(7, XString("Validate Connection Failed: ") + e.what(), kValidateConnection);
        return false;
    }
    catch (...)
    {
        Log(7, "Attempted:" + m_lastSql, kValidateConnection);
        Log(7, "Validate Connection Failed: unknown error", kValidateConnection);
        return false;
    }
}

bool ExpEngine::ValidateDistrictAndSchoolNum(const XString& dataSource, const XString& user,
                                             const XString& password, const XString& district,
                                             const XString& school)
{
    m_lastSql = "";
    try
    {
        SetDatabaseType(dataSource, user, password);
        Log(5, "Validating District and School Number", "");
        Connect(ConnectionString(dataSource, user, password));
        ClearQuery();

        ODBCTable* table = AddSisTable("SY010", "school", true);
        AddCondition("AND", AddField(table, "SCH_NBR", false), "=", SqlQuoted(school));
        if (!district.IsEmpty())
            AddCondition("AND", AddField(table, "DST_NBR", false), "=", SqlQuoted(district));
        m_lastSql = BuildCurrentQuery();

        const bool found = RunCurrentQueryOk() && GetFirstRecord();
        CloseQuery();
        Disconnect();
        if (found)
            return true;
        Log(5, "Failed while Attempting:" + m_lastSql, kValidateDistrictAndSchoolNum);
        return false;
    }
    catch (const std::exception& e)
    {
        ClearQuery();
        Log(5, "Attempted:" + m_lastSql, kValidateDistrictAndSchoolNum);
        Log(4, XString("ValidateDistrictAndSchoolNum: Failed:") + e.what(), kValidateDistrictAndSchoolNum);
        return false;
    }
    catch (...)
    {
        ClearQuery();
        Log(5, "Attempted:" + m_lastSql, kValidateDistrictAndSchoolNum);
        Log(4, "ValidateDistrictAndSchoolNum: Failed:unknown error", kValidateDistrictAndSchoolNum);
        return false;
    }
}
