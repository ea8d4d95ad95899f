#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <vector>

// An in-memory database for the demo tools' tests, with the demo's extension
// when asked for; every failure throws with the library's message.
class DemoSqlite
{
public:
    using Rows = std::vector<std::vector<std::string>>;

    explicit DemoSqlite(const std::string& script, const char* extension = nullptr)
    {
        sqlite3_open(":memory:", &db_);
        char* error = nullptr;
        sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, extension ? 1 : 0, nullptr);
        if (extension && sqlite3_load_extension(db_, extension, nullptr, &error) != SQLITE_OK)
            throw std::runtime_error(error ? error : extension);
        if (sqlite3_exec(db_, script.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
    }
    ~DemoSqlite() { sqlite3_close(db_); }
    DemoSqlite(const DemoSqlite&) = delete;
    DemoSqlite& operator=(const DemoSqlite&) = delete;

    // Every row as text, "<null>" for NULL.
    Rows rows(const std::string& sql) const
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_) + std::string(": ") + sql);
        Rows out;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        {
            out.emplace_back();
            for (int i = 0; i < sqlite3_column_count(st); ++i)
            {
                const unsigned char* t = sqlite3_column_text(st, i);
                out.back().push_back(t ? reinterpret_cast<const char*>(t) : "<null>");
            }
        }
        const std::string error = rc == SQLITE_DONE ? "" : sqlite3_errmsg(db_);
        sqlite3_finalize(st);
        if (!error.empty())
            throw std::runtime_error(error);
        return out;
    }
    std::string value(const std::string& sql) const
    {
        const Rows r = rows(sql);
        return r.empty() || r[0].empty() ? "<none>" : r[0][0];
    }

private:
    sqlite3* db_ = nullptr;
};
