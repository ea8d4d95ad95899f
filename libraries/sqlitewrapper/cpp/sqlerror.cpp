#include "sqlerror.h"

#include <sqlite3.h>

namespace sqlite
{

SqlError::SqlError(int resultCode, const std::string& text, const std::string& databaseMessage,
                   const std::string& operationMessage, const std::string& sqlOrPath)
    : XException(text, resultCode), databaseMessage_(databaseMessage), operationMessage_(operationMessage),
      sqlText_(sqlOrPath)
{
    detail_ = sqlOrPath;
}

void ThrowSqlError(int resultCode, sqlite3* connection, const char* method, const char* message,
                   const char* detail)
{
    const std::string dbMessage = connection ? sqlite3_errmsg(connection) : "";
    const std::string op = message ? message : "";
    const std::string where = method ? method : "";
    const std::string sql = detail ? detail : "";
    const std::string text = "Sql Error: " + dbMessage + " (" + op + ") (" + where + ")";
    switch (resultCode & 0xff)
    {
    case SQLITE_PERM:
        throw PermError(resultCode, text, dbMessage, op, sql);
    case SQLITE_ABORT:
        throw AbortError(resultCode, text, dbMessage, op, sql);
    case SQLITE_BUSY:
        throw BusyError(resultCode, text, dbMessage, op, sql);
    case SQLITE_IOERR:
        throw IOError(resultCode, text, dbMessage, op, sql);
    case SQLITE_MISMATCH:
        throw DataTypeMismatchError(resultCode, text, dbMessage, op, sql);
    default:
        throw SqlError(resultCode, text, dbMessage, op, sql);
    }
}

void CheckSqlResult(bool success, int resultCode, sqlite3* connection, const char* method,
                    const char* message, const char* detail)
{
    if (!success)
        ThrowSqlError(resultCode, connection, method, message, detail);
}

} // namespace sqlite
