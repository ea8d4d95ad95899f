#include "SDEWriterAttendanceStatement.h"

#include <sqlite3.h>

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

int AttendanceStatement::Run(std::initializer_list<const XString*> values)
{
    sqlite3* db = m_database.Handle();
    int index = 1;
    for (const XString* value : values)
    {
        const int rc =
            sqlite3_bind_text(m_statement, index++, value->Text(), value->Length(), SQLITE_TRANSIENT);
        if (rc != SQLITE_OK)
        {
            sqlite3_reset(m_statement);
            sqlite::ThrowSqlError(rc, db, "AttendanceStatement::Run", "failed", m_sql.c_str());
        }
    }
    int rc = sqlite3_step(m_statement);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(m_statement);
    const int changed = rc == SQLITE_DONE ? sqlite3_changes(db) : 0;
    sqlite3_reset(m_statement);
    if (rc != SQLITE_DONE)
        sqlite::ThrowSqlError(rc, db, "AttendanceStatement::Run", "failed", m_sql.c_str());
    return changed;
}
