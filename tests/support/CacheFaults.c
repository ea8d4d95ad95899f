// Preloaded into tsisbridge by the attendance process tests (LD_PRELOAD), it
// makes statements of the attendance cache fail as they do while another
// process holds the cache locked ("database is locked"):
//   TSIS_CACHE_LOCKED       the start of the SQL text of the statements that fail
//   TSIS_CACHE_LOCKED_AFTER only once a statement starting with this text has run
#define _GNU_SOURCE
#include <dlfcn.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <string.h>

static sqlite3* g_locked; // the connection whose last statement was refused

static int starts(const char* sql, const char* prefix)
{
    return sql && prefix && *prefix && strncmp(sql, prefix, strlen(prefix)) == 0;
}

static int refused(sqlite3* db, const char* sql)
{
    static int armed;
    const char* after = getenv("TSIS_CACHE_LOCKED_AFTER");
    if (!armed && after && *after)
    {
        armed = starts(sql, after);
        return 0;
    }
    if (!starts(sql, getenv("TSIS_CACHE_LOCKED")))
        return 0;
    g_locked = db;
    return 1;
}

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

int sqlite3_step(sqlite3_stmt* statement)
{
    if (refused(sqlite3_db_handle(statement), sqlite3_sql(statement)))
        return SQLITE_BUSY;
    return NEXT(sqlite3_step)(statement);
}

int sqlite3_exec(sqlite3* db, const char* sql, int (*callback)(void*, int, char**, char**), void* argument,
                 char** error)
{
    if (!refused(db, sql))
        return NEXT(sqlite3_exec)(db, sql, callback, argument, error);
    if (error)
        *error = sqlite3_mprintf("database is locked");
    return SQLITE_BUSY;
}

const char* sqlite3_errmsg(sqlite3* db)
{
    return db && db == g_locked ? "database is locked" : NEXT(sqlite3_errmsg)(db);
}
