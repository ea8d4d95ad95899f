#pragma once

#include <initializer_list>
#include <string>

#include "XString.h"

struct sqlite3_stmt;
namespace sqlite
{
class Database;
}

// A cache statement prepared once and run per row with its values bound as
// texts, so a large fill does not parse one SQL text per row.
class AttendanceStatement
{
public:
    AttendanceStatement(sqlite::Database& database, const std::string& sql);
    ~AttendanceStatement();
    AttendanceStatement(const AttendanceStatement&) = delete;
    AttendanceStatement& operator=(const AttendanceStatement&) = delete;

    // Binds the values to the parameters in order, runs the statement to its
    // end and returns the number of rows it changed. Throws sqlite::SqlError.
    int Run(std::initializer_list<const XString*> values);

private:
    sqlite::Database& m_database;
    sqlite3_stmt* m_statement = nullptr;
    std::string m_sql;
};
