// ODBCDataAccess: construction, the query model and query building.
#include "ODBCDataAccess.h"

#include "DatabaseType.h"
#include "QueryBuilder.h"
#include "SqlDialect.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcResult.h"

ODBCDataAccess::ODBCDataAccess(int optionWord, int databaseType, QObject* parent)
    : DataAccessBase(parent), m_optionWord(optionWord), m_databaseType(databaseType)
{
    try
    {
        m_connection = std::make_unique<OdbcConnection>();
    }
    catch (const AdoComError& e)
    {
        throw XException("Failed to initialize connection.", static_cast<int>(e.Error()));
    }
    catch (const std::exception&)
    {
        throw XException("Failed to initialize connection.");
    }
}

ODBCDataAccess::~ODBCDataAccess()
{
    const char* stamp = "dd/mm/yyyy|hh:nn:ss";
    Log(8, XDateTime::Now().Format(stamp) + " Start ODBCDataAccess Destructor");
    Log(8, XDateTime::Now().Format(stamp) + " End ODBCDataAccess Destructor");
    m_recordset.reset();
    m_probeConnection.reset();
    m_connection.reset();
}

XString ODBCDataAccess::GetDatabaseTypeName() const
{
    return DatabaseType::Name(m_databaseType);
}

DataAccessLogFunction ODBCDataAccess::LogFunction()
{
    return [this](int level, const XString& message, const char* method) { Log(level, message, method); };
}

// ---- Query model ----

void ODBCDataAccess::ClearQuery()
{
    m_query.Clear();
    // The filter's conditions went with the query; counting them on would
    // make the next filter remove conditions of another query.
    m_filterConditionCount = 0;
}

ODBCTable* ODBCDataAccess::AddTable(const XString& name, const XString& alias, bool required,
                                    const XString& fullName)
{
    if ((m_optionWord & 2) && !TableExists(name))
    {
        XString message = "Table does not exist : " + name;
        if (!required)
        {
            Log(8, message);
            return nullptr;
        }
        Log(2, message);
        throw XException(message);
    }
    ODBCTable* table = fullName.IsEmpty() ? new ODBCTable(name, alias) : new ODBCTable(fullName, name, alias);
    m_query.tables.Append(table);
    return table;
}

ODBCField* ODBCDataAccess::AddField(ODBCTable* table, const XString& name, bool required)
{
    return AddField(table, name, required, false);
}

ODBCField* ODBCDataAccess::AddField(ODBCTable* table, const XString& name, bool required, bool unselected)
{
    if (!table)
    {
        XString message = "Table was NULL when searching for: " + name;
        if (!required)
        {
            Log(8, message);
            return nullptr;
        }
        Log(2, message);
        throw XException(message);
    }
    if (!(m_optionWord & 2) || FieldExists(table->Name(), name))
        return m_query.AddField(table, name, unselected);

    XString message = "Field does not exist : " + name + " in table " + table->FullName();
    Log(required ? 2 : 8, message);
    if (required)
    {
        message = "Required " + message;
        Log(2, message);
        throw XException(message);
    }
    return nullptr;
}

ODBCField* ODBCDataAccess::AddUncheckedField(ODBCTable* table, const XString& name)
{
    return m_query.AddField(table, name, false);
}

ODBCField* ODBCDataAccess::AddExpressionField(const XString& prefix, ODBCField* field, const XString& suffix,
                                              const XString& outputName)
{
    if (!field)
        throw XException("Expression field " + outputName + " has no field to read.");
    ODBCField* expression = m_query.AddField(field->Table(), field->Name(), false);
    expression->SetOutputName(outputName);
    expression->SetPrefix(prefix);
    expression->SetSuffix(suffix);
    return expression;
}

ODBCField* ODBCDataAccess::AddOperandField(ODBCTable* table, const XString& name)
{
    return m_query.AddOperandField(table, name);
}

void ODBCDataAccess::AddCondition(const XString& conjunction, ODBCField* field, const XString& op,
                                  ODBCField* secondField, int level)
{
    const char* method = "ODBCDataAccess::AddCondition";
    if (!field)
    {
        XString message("Primary field NULL in XODBC::AddCondition.");
        Log(2, message, method);
        throw XException(message);
    }
    if (!secondField)
    {
        XString message = "Second field with " + field->Name() + "is NULL in XODBC::AddCondition.";
        Log(2, message, method);
        throw XException(message);
    }
    m_query.conditions.Append(new ODBCCondition(conjunction, field, op, secondField, XString(), level));
}

void ODBCDataAccess::AddCondition(const XString& conjunction, ODBCField* field, const XString& op,
                                  const XString& value, int level)
{
    if (!field)
    {
        XString message("Primary field NULL in XODBC::AddCondition.");
        Log(2, message, "ODBCDataAccess::AddCondition");
        throw XException(message);
    }
    m_query.conditions.Append(new ODBCCondition(conjunction, field, op, nullptr, value, level));
}

ODBCOrder* ODBCDataAccess::AddOrder(ODBCField* field, bool descending)
{
    if (!field)
    {
        Log(4, "Field NULL in ODBC::AddOrder.");
        return nullptr;
    }
    auto* order = new ODBCOrder(field, descending);
    m_query.orders.Append(order);
    return order;
}

// ---- Attendance filter ----

void ODBCDataAccess::RemoveFilterConditions()
{
    for (; m_filterConditionCount > 0 && m_query.conditions.Count() > 0; --m_filterConditionCount)
        delete m_query.conditions.RemoveAt(m_query.conditions.Count() - 1);
    m_filterConditionCount = 0;
}

void ODBCDataAccess::AppendFilterCondition(const XString& conjunction, ODBCField* field, const XString& op,
                                           const XString& value)
{
    m_query.conditions.Append(new ODBCCondition(conjunction, field, op, nullptr, value, 0));
    ++m_filterConditionCount;
}

void ODBCDataAccess::FilterAttendance(const XDate& from, const XDate& to)
{
    // Null dates and day 0 (1 January 1600) leave that end of the range open.
    auto takesPart = [](const XDate& d) { return !d.IsNull() && d.DayNumber() != 0; };
    ODBCField* change = m_changeDateField;
    ODBCField* attendance = m_attendanceDateField;

    if (attendance)
    {
        RemoveFilterConditions();
        const struct
        {
            const XDate& date;
            const char* op;
        } ends[] = {{from, ">="}, {to, "<="}};
        for (const auto& end : ends)
        {
            if (!takesPart(end.date))
                continue;
            XString literal = SQLDate(end.date);
            if (change)
            {
                AppendFilterCondition("AND (", change, end.op, literal);
                AppendFilterCondition("OR", attendance, end.op, literal + ")");
            }
            else
            {
                AppendFilterCondition("AND", attendance, end.op, literal);
            }
        }
        return;
    }
    if (change)
    {
        RemoveFilterConditions();
        if (takesPart(from))
            AppendFilterCondition("AND", change, ">=", SQLDate(from));
        if (takesPart(to))
            AppendFilterCondition("AND", change, "<=", SQLDate(to));
        return;
    }
    XString message("FilterAttendance: There is no change date set! So cannot filter.");
    Log(5, message);
    throw XException(message);
}

void ODBCDataAccess::ResetAttendanceFilter()
{
    m_attendanceDateField = nullptr;
    m_changeDateField = nullptr;
    m_filterConditionCount = 0;
}

// ---- Query building ----

XString ODBCDataAccess::BuildQuery()
{
    return QueryBuilder(m_query, m_databaseType, m_dataSource, LogFunction()).BuildQuery();
}

XString ODBCDataAccess::BuildAnsiJoinQuery()
{
    return QueryBuilder(m_query, m_databaseType, m_dataSource, LogFunction()).BuildAnsiJoinQuery();
}

XString ODBCDataAccess::BuildCurrentQuery()
{
    return m_query.ansiJoin ? BuildAnsiJoinQuery() : BuildQuery();
}

XString ODBCDataAccess::SQLDate(const XDate& date, int type)
{
    return SqlDialect::DateLiteral(date, type == 0 ? m_databaseType : type, m_mssqlDateSwitch,
                                   Settings().dateFormat.Text());
}

XString ODBCDataAccess::QuoteForDialect(const XString& text, int type)
{
    return SqlDialect::Quote(text, type == 0 ? m_databaseType : type);
}
