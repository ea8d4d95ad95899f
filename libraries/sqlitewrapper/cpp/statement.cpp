#include "statement.h"

#include <sqlite3.h>

#include <cstring>

#include "database.h"
#include "sqlerror.h"

namespace sqlite
{

Statement::Statement(Database& database, const std::string& sql, const char* reportedAs)
    : database_(database), sql_(sql), method_(std::string(reportedAs) + "::Run")
{
    const int rc = sqlite3_prepare_v2(database.Handle(), sql.c_str(), -1, &statement_, nullptr);
    if (rc != SQLITE_OK)
        ThrowSqlError(rc, database.Handle(), (std::string(reportedAs) + "::Prepare").c_str(), "failed",
                      sql_.c_str());
}

Statement::~Statement()
{
    sqlite3_finalize(statement_);
}

void Statement::Fail(int rc)
{
    sqlite3_reset(statement_);
    ThrowSqlError(rc, database_.Handle(), method_.c_str(), "failed", sql_.c_str());
}

Statement& Statement::Bind(std::initializer_list<const XString*> texts)
{
    sqlite3_reset(statement_);
    int parameter = 1;
    for (const XString* text : texts)
    {
        const int rc =
            sqlite3_bind_text(statement_, parameter++, text->Text(), text->Length(), SQLITE_STATIC);
        if (rc != SQLITE_OK)
            Fail(rc);
    }
    return *this;
}

Statement& Statement::Bind(int parameter, std::int64_t value)
{
    const int rc = sqlite3_bind_int64(statement_, parameter, value);
    if (rc != SQLITE_OK)
        Fail(rc);
    return *this;
}

bool Statement::Step()
{
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        Fail(rc);
    sqlite3_reset(statement_);
    return false;
}

int Statement::Run()
{
    int rc = sqlite3_step(statement_);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(statement_);
    if (rc != SQLITE_DONE)
        Fail(rc);
    const int changed = sqlite3_changes(database_.Handle());
    sqlite3_reset(statement_);
    return changed;
}

void Statement::Reset()
{
    sqlite3_reset(statement_);
}

std::int64_t Statement::Integer(int column) const
{
    return sqlite3_column_int64(statement_, column);
}

bool Statement::TextEquals(int column, const XString& text) const
{
    if (sqlite3_column_type(statement_, column) == SQLITE_NULL)
        return false;
    const unsigned char* value = sqlite3_column_text(statement_, column);
    const int length = sqlite3_column_bytes(statement_, column);
    return value && length == text.Length() && std::memcmp(value, text.Text(), length) == 0;
}

Transaction::Transaction(Database& database) : database_(database)
{
    database_.Execute("begin transaction");
}

Transaction::~Transaction()
{
    try
    {
        RollBack();
    }
    catch (...)
    {
        // An open transaction ends with the connection; the journal undoes it.
    }
}

void Transaction::Commit()
{
    database_.Execute("commit transaction");
    done_ = true;
}

void Transaction::RollBack()
{
    if (done_)
        return;
    done_ = true;
    if (database_.InTransaction())
        database_.Execute("rollback transaction");
}

} // namespace sqlite
