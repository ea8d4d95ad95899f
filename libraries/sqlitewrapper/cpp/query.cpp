#include "query.h"

#include <cstdarg>

#include <sqlite3.h>

#include "database.h"
#include "queryimp.h"
#include "sqlerror.h"

namespace sqlite
{

namespace
{
const char* const kNoStatement = "No prepared statement";
}

Query::Query(Database& database, const char* sql) : imp_(std::make_unique<QueryImp>(database))
{
    if (sql)
        Prepare(sql);
}

Query::~Query() = default;

void Query::Prepare(const char* sql)
{
    imp_->prepare(sql);
    if (!imp_->statement)
    {
        imp_->message = "no statement to prepare";
        ThrowSqlError(SQLITE_DONE, nullptr, "sqlite::Query::Prepare", imp_->message.c_str(),
                      imp_->sql.c_str());
    }
}

void Query::PrepareFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    char* sql = sqlite3_vmprintf(format, args);
    va_end(args);
    try
    {
        Prepare(sql ? sql : "");
    }
    catch (...)
    {
        sqlite3_free(sql);
        throw;
    }
    sqlite3_free(sql);
}

bool Query::Step()
{
    const char* method = "sqlite::Query::Step";
    CheckSqlResult(imp_->statement != nullptr, SQLITE_MISUSE, nullptr, method, kNoStatement,
                   imp_->sql.c_str());
    const int rc = sqlite3_step(imp_->statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
    {
        imp_->message = "failed";
        ThrowSqlError(rc, imp_->database.Handle(), method, imp_->message.c_str(), imp_->sql.c_str());
    }
    return rc == SQLITE_ROW;
}

void Query::Finalize()
{
    CheckSqlResult(imp_->statement != nullptr, SQLITE_MISUSE, nullptr, "sqlite::Query::Finalize",
                   kNoStatement, imp_->sql.c_str());
    imp_->finalize();
}

int Query::find_column(const char* name)
{
    CheckSqlResult(imp_->statement != nullptr, SQLITE_MISUSE, nullptr, "sqlite::Query::find_column",
                   kNoStatement, imp_->sql.c_str());
    const int count = sqlite3_column_count(imp_->statement);
    for (int i = 0; i < count; ++i)
    {
        const char* column = sqlite3_column_name(imp_->statement, i);
        if (column && name && sqlite3_stricmp(column, name) == 0)
            return i;
    }
    return -1;
}

int Query::FindColumn(const char* name)
{
    const int index = find_column(name);
    if (index < 0)
    {
        imp_->message = std::string("Request for non-existent column \"") + (name ? name : "") + "\"";
        ThrowSqlError(SQLITE_ERROR, nullptr, "sqlite::Query::FindColumn", imp_->message.c_str(),
                      imp_->sql.c_str());
    }
    return index;
}

XString Query::StringColumn(const char* name)
{
    return StringColumn(FindColumn(name));
}

XString Query::StringColumn(int index)
{
    const unsigned char* text = sqlite3_column_text(imp_->statement, index);
    if (!text)
    {
        // NULL, or the library ran out of memory converting the value.
        const int rc = sqlite3_errcode(imp_->database.Handle());
        CheckSqlResult(rc != SQLITE_NOMEM, rc, imp_->database.Handle(), "sqlite::Query::StringColumn",
                       "failed", imp_->sql.c_str());
        return XString("");
    }
    return XString(reinterpret_cast<const char*>(text), sqlite3_column_bytes(imp_->statement, index));
}

XString Query::Sql() const
{
    return XString(imp_->sql.c_str());
}

} // namespace sqlite
