#include "QueryBuilder.h"

#include <utility>

#include "DatabaseType.h"

QueryBuilder::QueryBuilder(const ODBCQuery& query, int databaseType, const XString& dataSource,
                           DataAccessLogFunction log)
    : query_(query), type_(databaseType), dataSource_(dataSource), log_(std::move(log))
{
}

void QueryBuilder::Log(int level, const XString& message, const char* method) const
{
    if (log_)
        log_(level, message, method);
}

XString QueryBuilder::BuildXBase() const
{
    if (query_.tables.Count() > 1)
    {
        XString message("Cannot use more than 1 table in XBase query");
        Log(8, message);
        throw XException(message);
    }
    if (query_.tables.Count() == 0)
    {
        XString message("Cannot build an XBase query without a table");
        Log(8, message);
        throw XException(message);
    }
    return dataSource_ + query_.tables[0]->FullName() + ".dbf";
}

void QueryBuilder::AppendSelectList(XString& q) const
{
    q.Append("SELECT ");
    if (query_.distinct)
        q.Append("DISTINCT ");
    for (int i = 0; i < query_.selectedFields.Count(); ++i)
    {
        if (i > 0)
            q.Append(", ");
        q.Append(query_.selectedFields[i]->SelectText(type_));
    }
}

void QueryBuilder::AppendWhere(XString& q, bool joinConditionsToo, const char* logPrefix) const
{
    int prev = 0;
    int open = 0;
    bool first = true;
    for (ODBCCondition* c : query_.conditions)
    {
        if (!joinConditionsToo && c->IsJoin())
            continue;
        if (first)
            q.Append(" WHERE ");
        else
            q.Append(" ").Append(c->Conjunction()).Append(" ");
        if (prev < c->Level())
        {
            q.Append("(");
            ++open;
        }
        // Only a conjunction that opens a group survives on the first condition.
        if (first && c->Conjunction().Length() > 0 && c->Conjunction()[0] == '(')
            q.Append(c->Conjunction()).Append(" ");
        q.Append(c->Field()->QualifiedName(type_)).Append(" ");
        q.Append(c->Operator()).Append(" ");
        if (c->SecondField())
            q.Append(c->SecondField()->QualifiedName(type_));
        else
            q.Append(c->Value());
        if (prev > c->Level())
        {
            q.Append(")");
            --open;
        }
        prev = c->Level();
        first = false;
        Log(9, XString(logPrefix) + ": Conditions:\n" + q);
    }
    for (; open > 0; --open)
        q.Append(")");
    Log(9, XString(logPrefix) + ": Conditions Finished:\n" + q);
}

void QueryBuilder::AppendOrderBy(XString& q) const
{
    for (int i = 0; i < query_.orders.Count(); ++i)
    {
        ODBCOrder* order = query_.orders[i];
        q.Append(i == 0 ? " ORDER BY " : ", ");
        q.Append(order->Field()->OrderText(type_));
        if (order->Descending())
            q.Append(" DESC");
    }
}

XString QueryBuilder::BuildQuery() const
{
    if (type_ == DatabaseType::DBaseXBase)
        return BuildXBase();
    if (type_ == DatabaseType::Access)
        Log(4, XString("Joins may not work for this DB Type: ") + DatabaseType::Name(type_),
            "ODBCDataAccess::BuildQuery");

    XString q;
    AppendSelectList(q);
    Log(9, "BuildQuery: Fields Finished:\n" + q);

    q.Append(" FROM ");
    for (int i = 0; i < query_.tables.Count(); ++i)
    {
        if (i > 0)
            q.Append(", ");
        q.Append(query_.tables[i]->FromText());
        if (type_ == DatabaseType::MSSQL)
            q.Append(" WITH (NOLOCK) ");
    }
    Log(9, "BuildQuery: Tables Finished:\n" + q);
    Log(9, "BuildQuery: Join Count: 0:\n" + q);
    Log(9, "BuildQuery: Joins Finished:\n" + q);
    q.Append(" ");

    AppendWhere(q, true, "BuildQuery");
    AppendOrderBy(q);
    Log(9, "BuildQuery: Orders Finished:\n" + q);
    Log(9, "BuildQuery Finished:" + q);
    return q;
}

XString QueryBuilder::BuildAnsiJoinQuery() const
{
    if (type_ == DatabaseType::DBaseXBase)
        return BuildXBase();
    if (type_ == DatabaseType::Access)
        Log(4, XString("Joins may not work for this DB Type: ") + DatabaseType::Name(type_),
            "ODBCDataAccess::BuildAnsiJoinQuery");

    XString q;
    AppendSelectList(q);
    Log(9, "BuildAnsiJoinQuery: Fields Finished:\n" + q);
    q.Append(" FROM ");

    if (query_.tables.Count() == 1)
    {
        q.Append(query_.tables[0]->FromText());
        if (type_ == DatabaseType::MSSQL)
            q.Append(" WITH (NOLOCK) ");
    }
    else
        AppendJoins(q);
    q.Append(" ");

    AppendWhere(q, false, "BuildAnsiJoinQuery");
    AppendOrderBy(q);
    Log(9, "BuildAnsiJoinQuery: Orders Finished:\n" + q);
    Log(9, "BuildAnsiJoinQuery Finished:" + q);
    return q;
}

// Tables enter the FROM part only through the join conditions.
void QueryBuilder::AppendJoins(XString& q) const
{
    int prev = 0;
    bool inOn = false;
    bool started = false;
    XVector<const XString> joined(5);
    auto isJoined = [&joined](const XString& alias)
    {
        for (const XString* a : joined)
            if (*a == alias)
                return true;
        return false;
    };
    for (ODBCCondition* c : query_.conditions)
    {
        if (!c->IsJoin())
            continue;
        ODBCTable* t1 = c->Field()->Table();
        ODBCTable* t2 = c->SecondField()->Table();
        if (!t1 || !t2)
            throw XException(XString("Join condition on a field without a table: ") + c->Field()->Name() +
                             " " + c->Operator() + " " + c->SecondField()->Name());
        if (prev > c->Level())
        {
            inOn = false;
        }
        else if (inOn)
        {
            q.Append(" ").Append(c->Conjunction()).Append(" ");
            q.Append(c->Field()->QualifiedName(type_)).Append(" ").Append(" = ");
            q.Append(c->SecondField()->QualifiedName(type_)).Append(" ");
            prev = c->Level();
            started = true;
            continue;
        }
        if (!started)
        {
            q.Append(t1->FullName()).Append(" ").Append(t1->Alias());
            joined.Append(&t1->Alias());
        }
        bool firstIn = isJoined(t1->Alias());
        if (firstIn && isJoined(t2->Alias()))
        {
            q.Append(" AND ");
        }
        else
        {
            ODBCTable* next = firstIn ? t2 : t1;
            q.Append(" INNER JOIN ").Append(next->FullName()).Append(" ").Append(next->Alias());
            joined.Append(&next->Alias());
            if (type_ == DatabaseType::MSSQL)
                q.Append(" (NOLOCK) ");
            q.Append(" ON ");
        }
        if (c->Level() > prev)
            inOn = true;
        q.Append(c->Field()->QualifiedName(type_)).Append(" ").Append(c->Operator());
        q.Append(c->SecondField()->QualifiedName(type_)).Append(" ");
        prev = c->Level();
        started = true;
    }
}
