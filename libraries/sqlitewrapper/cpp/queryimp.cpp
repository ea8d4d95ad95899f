#include "queryimp.h"

#include "database.h"
#include "sqlerror.h"

namespace sqlite
{

QueryImp::QueryImp(Database& db) : database(db) {}

QueryImp::~QueryImp()
{
    if (statement)
    {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
}

void QueryImp::prepare(const char* text)
{
    const char* method = "sqlite::QueryImp::prepare";
    if (statement)
    {
        // A failed step of the old statement was reported by Step; finalize
        // would report it again and refuse the new statement.
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    sql = text ? text : "";
    tail = nullptr;
    if (!database.IsOpen())
    {
        message = "No database";
        ThrowSqlError(SQLITE_MISUSE, nullptr, method, message.c_str(), sql.c_str());
    }
    sqlite3_stmt* stmt = nullptr;
    const char* rest = nullptr;
    const int rc = sqlite3_prepare_v2(database.Handle(), sql.c_str(), -1, &stmt, &rest);
    if (rc != SQLITE_OK)
    {
        message = "failed";
        ThrowSqlError(rc, database.Handle(), method, message.c_str(), sql.c_str());
    }
    statement = stmt;
    tail = rest;
}

void QueryImp::finalize()
{
    sqlite3_stmt* stmt = statement;
    statement = nullptr;
    tail = nullptr;
    const int rc = sqlite3_finalize(stmt);
    if (rc != SQLITE_OK)
    {
        message = "failed";
        ThrowSqlError(rc, database.Handle(), "sqlite::QueryImp::finalize", message.c_str(), sql.c_str());
    }
}

} // namespace sqlite
