#pragma once

#include "DataAccessLog.h"
#include "ODBCQuery.h"
#include "XString.h"

// Turns a query description into one SELECT statement in the dialect of a
// database type, logging the text after every stage so that a failing
// statement can be followed in the log.
class QueryBuilder
{
public:
    // dataSource is only read for dBase IV (XBase), whose "statement" is a file path.
    QueryBuilder(const ODBCQuery& query, int databaseType, const XString& dataSource,
                 DataAccessLogFunction log);

    // Every table after FROM; every condition, joins included, in WHERE.
    XString BuildQuery() const;
    // Tables of the join conditions as INNER JOIN ... ON; value conditions in WHERE.
    XString BuildAnsiJoinQuery() const;

private:
    XString BuildXBase() const;
    void AppendSelectList(XString& q) const;
    // Appends the WHERE clause over the conditions with (joins) or without a second field.
    void AppendWhere(XString& q, bool joinConditionsToo, const char* logPrefix) const;
    void AppendOrderBy(XString& q) const;
    void AppendJoins(XString& q) const;
    void Log(int level, const XString& message, const char* method = "") const;

    const ODBCQuery& query_;
    int type_;
    XString dataSource_;
    DataAccessLogFunction log_;
};
