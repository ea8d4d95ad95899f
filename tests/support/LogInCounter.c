// Preloaded into tsisbridge by a process test (LD_PRELOAD), it counts the
// log-ins the bridge attempts: one line per SQLDriverConnectW call is
// appended to the file TSIS_LOGIN_COUNT names. The bridge keeps its own
// trace quiet around that call, as it carries the password.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <sql.h>
#include <sqlext.h>
#include <stdlib.h>
#include <unistd.h>

SQLRETURN SQLDriverConnectW(SQLHDBC dbc, SQLHWND window, SQLWCHAR* in, SQLSMALLINT inLength, SQLWCHAR* out,
                            SQLSMALLINT outMax, SQLSMALLINT* outLength, SQLUSMALLINT completion)
{
    const char* file = getenv("TSIS_LOGIN_COUNT");
    if (file && *file)
    {
        const int fd = open(file, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0)
        {
            if (write(fd, "log-in\n", 7) != 7)
            {
                // The count comes out short and the test says so.
            }
            close(fd);
        }
    }
    SQLRETURN(*next)
    (SQLHDBC, SQLHWND, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT, SQLSMALLINT*, SQLUSMALLINT) =
        dlsym(RTLD_NEXT, "SQLDriverConnectW");
    return next(dbc, window, in, inLength, out, outMax, outLength, completion);
}
