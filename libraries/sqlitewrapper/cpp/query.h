#pragma once

#include <memory>

#include "XString.h"

namespace sqlite
{

class Database;
class QueryImp;

// One statement at a time on a Database, columns read by name. Every
// failure throws an SqlError (sqlerror.h).
class Query
{
public:
    // With a text, prepares its first statement.
    explicit Query(Database& database, const char* sql = nullptr);
    virtual ~Query(); // finalizes a remaining statement (failures swallowed)
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    // Prepares the first statement of the text; a text without a statement
    // fails with result code 101 and "no statement to prepare".
    void Prepare(const char* sql);
    // sqlite3_mprintf-style formatting, then Prepare.
    void PrepareFormat(const char* format, ...);
    // True when a row is available, false when the statement is done.
    bool Step();
    void Finalize();

    // Index of the result column named `name` (any letter case), or -1.
    int find_column(const char* name);
    // The same; fails with "Request for non-existent column \"name\"".
    int FindColumn(const char* name);
    // The named column of the current row as text ("" for NULL).
    XString StringColumn(const char* name);
    // Column `index` (from FindColumn) of the current row as text ("" for NULL).
    XString StringColumn(int index);
    // The SQL text, or "".
    XString Sql() const;

private:
    std::unique_ptr<QueryImp> imp_;
};

} // namespace sqlite
