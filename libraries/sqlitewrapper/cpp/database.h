#pragma once

#include <sqlite3.h>

#include <string>

namespace sqlite
{

// One SQLite connection. Every failure throws an SqlError (sqlerror.h).
class Database
{
public:
    Database();
    virtual ~Database(); // closes; a failure while closing is swallowed
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the file with the flags (the attendance cache uses
    // SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), extended result codes on
    // and a busy timeout of 30 seconds. A null or empty key opens the file
    // unencrypted; this build has no page-encryption extension, so a
    // non-empty key fails with "Unable to decrypt database." and leaves the
    // database closed. The path is in the engine's code page (Windows-1252).
    // Opening an open database is a caller error: it is reported on stderr and
    // nothing is opened or changed, the stored key included.
    void Open(const char* path, const char* key = nullptr,
              int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // Closes the connection when open; fails with "failed" (e.g. while a
    // statement is still prepared), the connection then stays open.
    void Close();
    // Runs all statements of the text; returns the rows changed by the last one.
    int Execute(const char* sql);
    // sqlite3_mprintf-style formatting ("%q", "%Q", ...), then Execute.
    int ExecuteFormat(const char* format, ...);

    bool IsOpen() const { return db_ != nullptr; }
    // A transaction is open (begun and neither committed nor rolled back).
    bool InTransaction() const { return db_ && !sqlite3_get_autocommit(db_); }
    sqlite3* Handle() const { return db_; }
    const std::string& Path() const { return path_; }
    int Flags() const { return flags_; }
    int KeyLength() const { return keyLength_; }
    const unsigned char* Key() const { return key_; }

private:
    sqlite3* db_ = nullptr;
    std::string path_;
    int keyLength_ = 0;
    unsigned char key_[16] = {};
    int flags_ = 0;
};

} // namespace sqlite
