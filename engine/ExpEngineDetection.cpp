#include <iterator>
#include <vector>

#include "DatabaseType.h"
#include "ExpEngine.h"

namespace
{

const char* const kSetDatabaseType = "ExpEngine::SetDatabaseType";
const char* const kValidateDBConnection = "ExpEngine::ValidateDBConnection";
const char* const kSetAlias = "ExpEngine::SetAlias";
const char* const kIsDBTSIS = "ExpEngine::IsDBTSIS";
const char* const kTestTableQuery = "ExpEngine::TestTableQuery";
const char* const kSetFullTableName = "ExpEngine::SetFullTableName";

struct Trial
{
    int type;
    bool setPrefix;
    const char* prefix;
    bool setSuffix;
    const char* suffix;
};

// The settings tried in order; a setting changes only what it names.
const Trial kTrials[] = {
    {DatabaseType::MSSQL, false, "", true, "_V"},
    {DatabaseType::MSSQL, false, "", true, "_VX"},
    {DatabaseType::MSSQL, false, "", true, ""},
    {DatabaseType::MSSQL, true, "DBTSIS.", true, ""},
    {DatabaseType::MSSQL, true, "DBTSIS.", true, "_VX"},
    {DatabaseType::MSSQL, true, "DBTSIS.", true, "_V"},
    {DatabaseType::MSSQL, true, "DBTSIS_", true, ""},
    {DatabaseType::MSSQL, true, "DBTSIS_", true, "_VX"},
    {DatabaseType::MSSQL, true, "DBTSIS_", true, "_V"},
    {DatabaseType::OracleODBC, true, "DBTSIS_", false, ""},
    {DatabaseType::Access, true, "DBTSIS_", true, "_V"},
    {DatabaseType::Access, true, "", true, "_V"},
};
const int kSuffixLoggedTrials = 9;

struct NamePair
{
    const char* prefix;
    const char* suffix;
};

const NamePair kMssqlPairs[] = {
    {"", ""},           {"", "_V"},           {"", "_VX"},
    {"DBTSIS_", ""},    {"DBTSIS_", "_V"},    {"DBTSIS_", "_VX"},
    {"PR.DBTSIS_", ""}, {"PR.DBTSIS_", "_V"}, {"PR.DBTSIS_", "_VX"},
    {"PR.DBTSIS.", ""}, {"PR.DBTSIS.", "_V"}, {"PR.DBTSIS.", "_VX"},
    {"dbo.", ""},       {"dbo.", "_V"},       {"dbo.", "_VX"},
};

const NamePair kOraclePairs[] = {
    {"", ""},
    {"", "_V"},
    {"", "_VX"},
    {"DBTSIS_", "_VX"},
    {"DBTSIS_", "_V"},
    {"DBTSIS_", ""},
    {"LINC.DBTSIS_", "_VX"},
    {"LINC.DBTSIS_", "_V"},
    {"LINC.DBTSIS_", ""},
};

const NamePair kAccessExtraPairs[] = {
    {"dbo.", "_VX"},
    {"dbo.", "_V"},
    {"dbo.", ""},
};

} // namespace

bool ExpEngine::SetDatabaseType(const XString& dataSource, const XString& user, const XString& password)
{
    const int remembered = DatabaseType();
    Log(5, "Setting Database Type", kSetDatabaseType);

    if (remembered > 0 && ValidateDBConnection(dataSource, user, password))
        return true;

    for (int i = 0; i < static_cast<int>(std::size(kTrials)); ++i)
    {
        const Trial& trial = kTrials[i];
        ODBCDataAccess::SetDatabaseType(trial.type);
        if (trial.setPrefix)
            m_validationPrefix = trial.prefix;
        if (trial.setSuffix)
            m_validationSuffix = trial.suffix;
        if (i < kSuffixLoggedTrials)
            Log(7, "Trying: " + GetDatabaseTypeName() + " with suffix: " + m_validationSuffix,
                kSetDatabaseType);
        else
            Log(7, "Trying: " + GetDatabaseTypeName(), kSetDatabaseType);
        if (ValidateDBConnection(dataSource, user, password))
            return true;
    }

    ODBCDataAccess::SetDatabaseType(remembered);
    return false;
}

bool ExpEngine::ValidateDBConnection(const XString& dataSource, const XString& user, const XString& password)
{
    Log(7, "Trying " + GetDatabaseTypeName(), kValidateDBConnection);
    bool exists = false;
    try
    {
        // The check gets a connection of its own, made with the type tried now.
        if (IsConnected())
            Disconnect();
        exists = TableExistsConnected(ConnectionString(dataSource, user, password),
                                      GetTableName("SY005", false), false);
    }
    catch (const std::exception& e)
    {
        Log(4, XString("Validate Connection Failed: ") + e.what(), kValidateDBConnection);
        return false;
    }
    if (!exists)
    {
        Log(4, "ValidateDBConnection Failed: Connection possibly successful but District Table Doesn't Exist",
            kValidateDBConnection);
        return false;
    }
    Log(5,
        "Validate Connection Successful, using " + GetDatabaseTypeName() + "; " +
            GetTableName("SY005", false),
        kValidateDBConnection);
    SetAlias(dataSource, user, password);
    return true;
}

void ExpEngine::SetAlias(const XString& dataSource, const XString& user, const XString& password)
{
    BridgeTaskBase::SetAlias("schmax");
    if (IsDBTSIS(dataSource, user, password))
    {
        BridgeTaskBase::SetAlias("tsis");
        Log(5, "Setting alias to TSIS", kSetAlias);
    }
    else
    {
        Log(5, "Setting alias to SchoolMAX", kSetAlias);
    }
}

bool ExpEngine::IsDBTSIS(const XString& dataSource, const XString& user, const XString& password)
{
    XString connection;
    try
    {
        connection = ConnectionString(dataSource, user, password);
        if (!IsConnected())
            Connect(connection);
        if (!TestTableQuery())
            return false;
    }
    catch (const std::exception&)
    {
        Log(5, "Failed test for TSIS, setting alias to schmax", kIsDBTSIS);
        return false;
    }

    Log(7, "Trying " + GetDatabaseTypeName(), kIsDBTSIS);
    try
    {
        Connect(connection);
        ClearQuery();
        ODBCTable* school = AddSisTable("SY010", "sch", false);
        // Without TIES_SCH there is nothing to open: the database is SchoolMAX.
        ODBCField* ties = school ? AddField(school, "TIES_SCH", false) : nullptr;
        if (!ties || !RunCurrentQueryOk())
        {
            ClearQuery();
            Log(5, "Failed test for TSIS, setting alias to schmax", kIsDBTSIS);
            return false;
        }
        CloseQuery();
        return true;
    }
    catch (const std::exception&)
    {
        ClearQuery();
        Log(5, "Failed test for TSIS, setting alias to schmax", kIsDBTSIS);
        return false;
    }
}

bool ExpEngine::TestTableQuery()
{
    std::vector<NamePair> pairs;
    switch (DatabaseType())
    {
    case DatabaseType::MSSQL:
        pairs.assign(std::begin(kMssqlPairs), std::end(kMssqlPairs));
        break;
    case DatabaseType::OracleODBC:
        pairs.assign(std::begin(kOraclePairs), std::end(kOraclePairs));
        break;
    case DatabaseType::Access:
        pairs.assign(std::begin(kOraclePairs), std::end(kOraclePairs));
        pairs.insert(pairs.end(), std::begin(kAccessExtraPairs), std::end(kAccessExtraPairs));
        break;
    default:
        Log(3, "No query combinations set for: " + GetDatabaseTypeName(), kTestTableQuery);
        return false;
    }
    for (const NamePair& pair : pairs)
        if (SetFullTableName(pair.prefix, pair.suffix))
            return true;
    Log(3, "Could not query table using any combinations for: " + GetDatabaseTypeName(), kTestTableQuery);
    return false;
}

bool ExpEngine::SetFullTableName(const XString& prefix, const XString& suffix)
{
    const XString table = prefix + "SY005" + suffix;
    Log(8, "Trying " + GetDatabaseTypeName() + " SELECT * FROM " + table, kSetFullTableName);
    bool ok = false;
    try
    {
        ok = RunQuery("SELECT * FROM " + table) == 0;
        CloseQuery();
    }
    catch (const std::exception&)
    {
        ok = false;
    }
    if (!ok)
    {
        Log(8, "Could not query table: " + table + ": ", kSetFullTableName);
        return false;
    }
    Log(8, "Able to query using: " + table, kSetFullTableName);
    m_fullPrefix = prefix;
    m_fullSuffix = suffix;
    return true;
}
