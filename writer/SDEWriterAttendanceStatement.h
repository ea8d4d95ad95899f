#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "XString.h"

struct sqlite3_stmt;
namespace sqlite
{
class Database;
}

// A cache statement prepared once and run per row with its values bound as
// texts, so a large fill does not parse one SQL text per row. The values are
// not copied: they must stay unchanged until the statement's next use.
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
    // The same for a statement whose last parameter is a rowid.
    int Run(std::initializer_list<const XString*> values, std::int64_t rowid);

    // Binds the values and steps to the first row: true when there is one,
    // whose columns are read with the accessors until the next Find or Run.
    bool Find(std::initializer_list<const XString*> values);
    // Steps to the next row of a statement begun with Find (or with none bound).
    bool Next();
    std::int64_t Integer(int column) const;
    // The column as text; a NULL never equals a text.
    bool TextEquals(int column, const XString& text) const;
    // Ends the row reading begun with Find.
    void Reset();

private:
    void Bind(std::initializer_list<const XString*> values);
    int Finish(int rc);
    [[noreturn]] void Fail(int rc);

    sqlite::Database& m_database;
    sqlite3_stmt* m_statement = nullptr;
    std::string m_sql;
};
