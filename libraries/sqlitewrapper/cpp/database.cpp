#include "database.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include "XString.h"
#include "sqlerror.h"

namespace sqlite
{

namespace
{
const int kBusyTimeoutMs = 30000;

// Memory statistics take a process-wide lock around every allocation, and
// nothing reads them. Set when the program loads, before SQLite initializes
// (later the call is refused, harmlessly).
[[maybe_unused]] const int kMemoryStatisticsOff = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
} // namespace

Database::Database() = default;

Database::~Database()
{
    if (!db_)
        return;
    try
    {
        Close();
    }
    catch (...)
    {
        // Statements still prepared keep the connection alive until they are
        // finalized; let SQLite free it then instead of leaking it.
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void Database::Open(const char* path, const char* key, int flags)
{
    const char* method = "sqlite::Database::Open";
    // The open connection keeps the key it was opened with.
    if (db_)
    {
        std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", "!db_",
                     "libraries/sqlitewrapper/cpp/database", __LINE__);
        return;
    }
    // Key: the MD5 digest of the key text, or no key at all.
    keyLength_ = 0;
    std::memset(key_, 0, sizeof key_);
    if (key && *key)
    {
        const QByteArray digest = QCryptographicHash::hash(QByteArray(key), QCryptographicHash::Md5);
        std::memcpy(key_, digest.constData(), sizeof key_);
        keyLength_ = 16;
    }
    path_ = path ? path : "";
    flags_ = flags;
    // SQLite takes file names in UTF-8 on every system; the engine's paths are Windows-1252.
    const QByteArray systemPath = XString(path_).ToQString().toUtf8();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(systemPath.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK)
    {
        // The message must be read before the half-open handle goes away.
        try
        {
            ThrowSqlError(rc, db, method, path_.c_str(), path_.c_str());
        }
        catch (...)
        {
            sqlite3_close(db);
            throw;
        }
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (keyLength_ != 0)
    {
        // No page-encryption extension here: storing data in the clear
        // under a key would be worse than refusing.
        try
        {
            ThrowSqlError(SQLITE_ERROR, nullptr, method, "Unable to decrypt database.", path_.c_str());
        }
        catch (...)
        {
            sqlite3_close(db);
            throw;
        }
    }
    db_ = db;
}

void Database::Close()
{
    if (!db_)
        return;
    const int rc = sqlite3_close(db_);
    CheckSqlResult(rc == SQLITE_OK, rc, db_, "sqlite::Database::Close", "failed");
    db_ = nullptr;
}

int Database::Execute(const char* sql)
{
    const char* method = "sqlite::Database::Execute";
    CheckSqlResult(db_ != nullptr, SQLITE_MISUSE, nullptr, method, "db not open", sql);
    char* error = nullptr;
    const int rc = sqlite3_exec(db_, sql ? sql : "", nullptr, nullptr, &error);
    if (rc != SQLITE_OK)
    {
        const std::string message = error && *error ? error : "failed";
        sqlite3_free(error);
        ThrowSqlError(rc, db_, method, message.c_str(), sql);
    }
    sqlite3_free(error);
    return sqlite3_changes(db_);
}

int Database::ExecuteFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    char* sql = sqlite3_vmprintf(format, args);
    va_end(args);
    try
    {
        const int changed = Execute(sql ? sql : "");
        sqlite3_free(sql);
        return changed;
    }
    catch (...)
    {
        sqlite3_free(sql);
        throw;
    }
}

} // namespace sqlite
