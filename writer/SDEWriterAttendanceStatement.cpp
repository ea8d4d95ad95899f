#include "SDEWriterAttendanceStatement.h"

#include <sqlite3.h>

#include <cstring>

#include "database.h"
#include "sqlerror.h"

AttendanceStatement::AttendanceStatement(sqlite::Database& database, const std::string& sql)
    : m_database(database), m_sql(sql)
{
    const int rc = sqlite3_prepare_v2(database.Handle(), sql.c_str(), -1, &m_statement, nullptr);
    if (rc != SQLITE_OK)
        sqlite::ThrowSqlError(rc, database.Handle(), "AttendanceStatement::Prepare", "failed", m_sql.c_str());
}

AttendanceStatement::~AttendanceStatement()
{
    sqlite3_finalize(m_statement);
}

void AttendanceStatement::Fail(int rc)
{
    sqlite3_reset(m_statement);
    sqlite::ThrowSqlError(rc, m_database.Handle(), "AttendanceStatement::Run", "failed", m_sql.c_str());
}

void AttendanceStatement::Bind(std::initializer_list<const XString*> values)
{
    sqlite3_reset(m_statement);
    int index = 1;
    for (const XString* value : values)
    {
        // Not copied: the values outlive the step, and every use binds again first.
        const int rc = sqlite3_bind_text(m_statement, index++, value->Text(), value->Length(), SQLITE_STATIC);
        if (rc != SQLITE_OK)
            Fail(rc);
    }
}

int AttendanceStatement::Finish(int rc)
{
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(m_statement);
    if (rc != SQLITE_DONE)
        Fail(rc);
    const int changed = sqlite3_changes(m_database.Handle());
    sqlite3_reset(m_statement);
    return changed;
}

int AttendanceStatement::Run(std::initializer_list<const XString*> values)
{
    Bind(values);
    return Finish(sqlite3_step(m_statement));
}

int AttendanceStatement::Run(std::initializer_list<const XString*> values, std::int64_t rowid)
{
    Bind(values);
    const int rc = sqlite3_bind_int64(m_statement, static_cast<int>(values.size()) + 1, rowid);
    if (rc != SQLITE_OK)
        Fail(rc);
    return Finish(sqlite3_step(m_statement));
}

bool AttendanceStatement::Find(std::initializer_list<const XString*> values)
{
    Bind(values);
    return Next();
}

bool AttendanceStatement::Next()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        Fail(rc);
    sqlite3_reset(m_statement);
    return false;
}

std::int64_t AttendanceStatement::Integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

bool AttendanceStatement::TextEquals(int column, const XString& text) const
{
    if (sqlite3_column_type(m_statement, column) == SQLITE_NULL)
        return false;
    const unsigned char* value = sqlite3_column_text(m_statement, column);
    const int length = sqlite3_column_bytes(m_statement, column);
    return value && length == text.Length() && std::memcmp(value, text.Text(), length) == 0;
}

void AttendanceStatement::Reset()
{
    sqlite3_reset(m_statement);
}
