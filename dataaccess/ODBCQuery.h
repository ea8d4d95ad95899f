#pragma once

#include "ODBCCondition.h"
#include "ODBCField.h"
#include "ODBCOrder.h"
#include "ODBCTable.h"
#include "XVector.h"

// The description of one SELECT statement: tables, selected fields,
// conditions and orders in the order they were added, plus the switches the
// builders read. The lists own their elements.
class ODBCQuery
{
public:
    ODBCQuery();
    ~ODBCQuery();
    ODBCQuery(const ODBCQuery&) = delete;
    ODBCQuery& operator=(const ODBCQuery&) = delete;

    // Deletes tables, selected fields, operand fields, conditions and orders and
    // restarts positions at 0. Unselected fields and the switches stay.
    void Clear();

    // A new field at the next position, appended to the selected or unselected list.
    ODBCField* AddField(ODBCTable* table, const XString& name, bool unselected);
    // A field used only as a condition operand; freed with the query.
    ODBCField* AddOperandField(ODBCTable* table, const XString& name);

    XVector<ODBCTable> tables{5};
    XVector<ODBCField> selectedFields{5};
    XVector<ODBCField> unselectedFields{5};
    XVector<ODBCField> operandFields{5};
    XVector<ODBCCondition> conditions{5};
    XVector<ODBCOrder> orders{2};
    int fieldCounter = 0;
    bool distinct = false;
    bool ansiJoin = false;
};
