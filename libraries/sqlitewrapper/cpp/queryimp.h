#pragma once

#include <sqlite3.h>

#include <string>

namespace sqlite
{

class Database;

// The state behind a Query: the statement prepared from the SQL text and
// what remains of the text after it.
class QueryImp
{
public:
    explicit QueryImp(Database& database);
    ~QueryImp(); // finalizes a remaining statement, failures swallowed
    QueryImp(const QueryImp&) = delete;
    QueryImp& operator=(const QueryImp&) = delete;

    // Keeps a copy of the text and prepares its first statement (a
    // statement still prepared is finalized first, its errors dropped). Fails with "No database"
    // when the database is not open; leaves no statement when the text
    // holds none.
    void prepare(const char* sql);
    // Finalizes and forgets the statement; fails with the error of its
    // last evaluation, if any.
    void finalize();

    Database& database;
    sqlite3_stmt* statement = nullptr;
    std::string message;        // the last error text the query built
    std::string sql;            // the full SQL text
    const char* tail = nullptr; // the not yet prepared rest of `sql`
};

} // namespace sqlite
