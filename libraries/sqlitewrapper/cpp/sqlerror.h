#pragma once

#include <string>

#include "XException.h"

struct sqlite3;

namespace sqlite
{

// A failed SQLite call. The code is the (extended) result code; the class
// follows its primary code (the low byte).
class SqlError : public XException
{
public:
    SqlError(int resultCode, const std::string& text, const std::string& databaseMessage,
             const std::string& operationMessage, const std::string& sqlOrPath);

    int ResultCode() const { return code_; }
    int PrimaryCode() const { return code_ & 0xff; }
    // The connection's error message ("" without a connection).
    const std::string& DatabaseMessage() const { return databaseMessage_; }
    // What the operation reported ("failed", "db not open", ...).
    const std::string& OperationMessage() const { return operationMessage_; }
    // The SQL text or the path concerned ("" when none).
    const std::string& SqlText() const { return sqlText_; }

private:
    std::string databaseMessage_;
    std::string operationMessage_;
    std::string sqlText_;
};

class PermError : public SqlError
{ // SQLITE_PERM (3)
    using SqlError::SqlError;
};
class AbortError : public SqlError
{ // SQLITE_ABORT (4)
    using SqlError::SqlError;
};
class BusyError : public SqlError
{ // SQLITE_BUSY (5)
    using SqlError::SqlError;
};
class IOError : public SqlError
{ // SQLITE_IOERR (10)
    using SqlError::SqlError;
};
class DataTypeMismatchError : public SqlError
{ // SQLITE_MISMATCH (20)
    using SqlError::SqlError;
};

// When not successful: builds "Sql Error: <connection's message> (<message>)
// (<method>)" and throws the SqlError class of the result code's primary
// code, carrying the code and the texts (detail: the SQL text or path).
void CheckSqlResult(bool success, int resultCode, sqlite3* connection, const char* method,
                    const char* message, const char* detail = nullptr);

// The same, thrown unconditionally.
[[noreturn]] void ThrowSqlError(int resultCode, sqlite3* connection, const char* method, const char* message,
                                const char* detail = nullptr);

} // namespace sqlite
