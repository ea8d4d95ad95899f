#include "ODBCQuery.h"

ODBCQuery::ODBCQuery() = default;

ODBCQuery::~ODBCQuery()
{
    Clear();
    unselectedFields.DeleteAll();
}

void ODBCQuery::Clear()
{
    orders.DeleteAll();
    conditions.DeleteAll();
    selectedFields.DeleteAll();
    operandFields.DeleteAll();
    tables.DeleteAll();
    fieldCounter = 0;
}

ODBCField* ODBCQuery::AddField(ODBCTable* table, const XString& name, bool unselected)
{
    auto* field = new ODBCField(table, name, fieldCounter);
    (unselected ? unselectedFields : selectedFields).Append(field);
    ++fieldCounter;
    return field;
}

ODBCField* ODBCQuery::AddOperandField(ODBCTable* table, const XString& name)
{
    auto* field = new ODBCField(table, name, 0);
    operandFields.Append(field);
    return field;
}
