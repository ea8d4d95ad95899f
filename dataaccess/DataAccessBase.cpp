#include "DataAccessBase.h"

#include "SISExpCustomFieldList.h"

DataAccessBase::DataAccessBase(QObject* parent) : SDEWriter(parent)
{
    // Not through the virtual table: a derived map would not exist yet.
    DataAccessBase::LoadRelationshipMap();
}

DataAccessBase::~DataAccessBase()
{
    Log(7, "Start DataAccessBase Destructor");
    m_relationships.Clear();
    Log(7, "End DataAccessBase Destructor");
}

void DataAccessBase::SetUser(const char* user)
{
    if (user)
        m_user = XString(user);
    else
        m_user.reset();
}

void DataAccessBase::SetPassword(const char* password)
{
    if (password)
        m_password = XString(password);
    else
        m_password.reset();
}

void DataAccessBase::WriteCachedAttendance()
{
    CachedAttendance();
}

bool DataAccessBase::OpenTable(int run)
{
    const char* method = "DataAccessBase::OpenTable";
    const XString& title = CurrentTitle();
    XString message;
    try
    {
        Log(8, "Opening " + title + " table/query.", method);
        int rc = 1;
        if (run)
        {
            for (int i = 0; i < m_openAttempts; ++i)
            {
                rc = RunCurrentQuery();
                if (rc == 0)
                    break;
                Log(8, "Query " + XString(i) + " failed with error: " + XString(rc), method);
                Reconnect();
            }
        }
        if (rc != 0)
        {
            Log(7, "Open table " + title + " failed, skipping.");
            MarkTableIncomplete();
            return false;
        }
        Log(8, "Ran query");
        // Counting walks a streamed result; a lost link there skips the table too.
        const bool wasIncomplete = CurrentTableIncomplete();
        GetRecordCount();
        if (!wasIncomplete && CurrentTableIncomplete())
            return false;
        Log(8, "Opened " + title + " table/query.", method);
        return true;
    }
    catch (const std::exception& e)
    {
        message = XString("Failed with error [") + e.what() + "] while parsing query: ";
    }
    catch (const char* s)
    {
        message = XString("Failed with error [") + s + "] while parsing query: ";
    }
    catch (...)
    {
        message = "Failed with unknown error while parsing query: ";
    }
    try
    {
        message.Append(BuildQuery());
    }
    catch (...)
    {
        // The statement cannot be rebuilt either; the report goes without it.
    }
    Log(2, message);
    throw XException(message);
}

void DataAccessBase::FinishTable()
{
    CloseQuery();
    ClearQuery();
    EndTableHook();
    SDEWriter::FinishTable();
}

ODBCField* DataAccessBase::AddColumnField(ODBCTable* table, const XString& name,
                                          SDEWriter::ValueFunction valueFn, const XString& headerName,
                                          bool required, const XString& customTitle,
                                          const XString& customLabel, const XString& customCommand,
                                          const XString& customSource, int command)
{
    ODBCField* field = nullptr;
    if (table)
    {
        field = AddField(table, name, required);
        if (!field)
            return nullptr;
    }
    AddColumn(field, name, std::move(valueFn), command);
    AddHeaderField(headerName, customTitle, customLabel, customCommand, customSource);
    return field;
}

ODBCField* DataAccessBase::AddListColumnField(SISExpCustomFieldList& list, ODBCTable* table,
                                              const XString& name, SDEWriter::ValueFunction valueFn,
                                              const XString& headerName, bool required,
                                              const XString& customTitle, const XString& customLabel,
                                              const XString& customCommand, const XString& customSource,
                                              int command)
{
    ODBCField* field = nullptr;
    if (table)
    {
        field = AddField(table, name, required);
        if (!field)
            return nullptr;
    }
    AddColumn(field, name, std::move(valueFn), command);
    if (!customTitle.IsEmpty())
        list.AddHeaderAndField(headerName, customTitle, customLabel, customCommand, customSource,
                               list.Flag() != 0);
    else if (!headerName.IsEmpty())
        list.AddHeaderName(headerName);
    return field;
}

void DataAccessBase::LoadRelationshipMap()
{
    static const char* const family[] = {"MOTHER",      "MOM",     "FATHER", "DAD",         "BROTHER",
                                         "SISTER",      "AUNT",    "UNCLE",  "GRANDMOTHER", "GRANDMA",
                                         "GRANDFATHER", "GRANDPA", "PARTNER"};
    static const char* const health[] = {"DOCTOR", "DENTIST", "DR"};
    static const char* const emergency[] = {"EMERGENCY", "GUARDIAN"};
    for (const char* w : family)
        m_relationships.Add(w, "Family");
    for (const char* w : health)
        m_relationships.Add(w, "Health");
    for (const char* w : emergency)
        m_relationships.Add(w, "Emergency");
}

XString DataAccessBase::ClassifyRelationship(const XString& text)
{
    const XString* category = m_relationships.Find(RelationshipMap::Normalise(text));
    return category ? *category : XString("Contact");
}

XString DataAccessBase::GetIntTextZeroEmpty(DataAccessField* field)
{
    if (!field)
        return XString();
    XString text(GetInt(field));
    return text == "0" ? XString() : text;
}

int DataAccessBase::HandleException_ValidateConnection(const std::exception& e, XString& message)
{
    const char* method = "HandleException_ValidateConnection";
    message = e.what();
    int lf = message.Find('\n');
    message.Truncate(lf);
    if (message.FindText("Data source name not found") >= 0)
    {
        Log(7, "Exception Occured: " + message, method);
        message = "Connection Failed: Data Source does not exist.";
        return 2;
    }
    Log(7, "Exception Occured :" + message, method);
    return 1;
}
