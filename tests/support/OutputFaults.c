// Preloaded into tsisbridge by the process tests (LD_PRELOAD), it makes the
// file system below one folder misbehave as a real one would:
//   TSIS_FAULT_DIR  the folder (an existing absolute path)
//   TSIS_FAULT      "enospc": writes fail with ENOSPC (a full file system);
//                   "erofs": creating, writing, removing and renaming fail
//                   with EROFS (a read-only file system, which root cannot bypass);
//                   "slow": each write waits 200 ms (a long run to interrupt);
//                   "eio-sync": syncing a file fails with EIO (a failing disk).
//   TSIS_FAULT_NAME  with "eio-sync", only files whose name matches this pattern
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <time.h>
#include <unistd.h>

enum Fault
{
    kNone,
    kNoSpace,
    kReadOnly,
    kSlow,
    kSyncFails
};

static char g_dir[PATH_MAX];
static size_t g_dirLength;

static enum Fault fault(void)
{
    static int ready;
    static enum Fault kind = kNone;
    if (!ready)
    {
        ready = 1;
        const char* dir = getenv("TSIS_FAULT_DIR");
        const char* what = getenv("TSIS_FAULT");
        if (dir && what && realpath(dir, g_dir))
        {
            g_dirLength = strlen(g_dir);
            kind = strcmp(what, "enospc") == 0     ? kNoSpace
                   : strcmp(what, "erofs") == 0    ? kReadOnly
                   : strcmp(what, "slow") == 0     ? kSlow
                   : strcmp(what, "eio-sync") == 0 ? kSyncFails
                                                   : kNone;
        }
    }
    return kind;
}

static int below(const char* path)
{
    return strncmp(path, g_dir, g_dirLength) == 0 && (path[g_dirLength] == '/' || path[g_dirLength] == 0);
}

// The path an open file descriptor stands for (PATH_MAX bytes); 0 when unknown.
static int fdPath(int fd, char* path)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, PATH_MAX - 1);
    if (n < 0)
        return 0;
    path[n] = 0;
    return 1;
}

// Whether a path (relative to dirfd when not absolute) lies in the folder.
static int pathBelow(int dirfd, const char* path)
{
    if (!path)
        return 0;
    if (path[0] == '/')
        return below(path);
    char base[PATH_MAX];
    if (dirfd == AT_FDCWD ? !getcwd(base, sizeof base) : !fdPath(dirfd, base))
        return 0;
    char full[PATH_MAX * 2];
    snprintf(full, sizeof full, "%s/%s", base, path);
    return below(full);
}

// Whether an open file lies in the folder, with a name matching pattern (if any).
static int fdBelow(int fd, const char* pattern)
{
    char target[PATH_MAX];
    if (!fdPath(fd, target))
        return 0;
    const char* name = strrchr(target, '/');
    return below(target) && (!pattern || fnmatch(pattern, name ? name + 1 : target, 0) == 0);
}

// Nonzero (with errno set) when a write to fd must fail; waits when slow.
static int writeFails(int fd)
{
    const enum Fault kind = fault();
    if (kind == kNone || kind == kSyncFails || !fdBelow(fd, NULL))
        return 0;
    if (kind == kSlow)
    {
        const struct timespec pause = {0, 200 * 1000 * 1000};
        nanosleep(&pause, NULL);
        return 0;
    }
    errno = kind == kNoSpace ? ENOSPC : EROFS;
    return 1;
}

static int changeFails(int dirfd, const char* path)
{
    if (fault() != kReadOnly || !pathBelow(dirfd, path))
        return 0;
    errno = EROFS;
    return 1;
}

static int openFails(int dirfd, const char* path, int flags)
{
    if ((flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) == 0)
        return 0;
    return changeFails(dirfd, path);
}

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

ssize_t write(int fd, const void* data, size_t n)
{
    return writeFails(fd) ? -1 : NEXT(write)(fd, data, n);
}

ssize_t pwrite(int fd, const void* data, size_t n, off_t offset)
{
    return writeFails(fd) ? -1 : NEXT(pwrite)(fd, data, n, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t n, off64_t offset)
{
    return writeFails(fd) ? -1 : NEXT(pwrite64)(fd, data, n, offset);
}

ssize_t writev(int fd, const struct iovec* parts, int count)
{
    return writeFails(fd) ? -1 : NEXT(writev)(fd, parts, count);
}

static mode_t modeOf(int flags, va_list args)
{
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
}

#define OPEN_AT(name, dirfd)                                                                                 \
    int name(const char* path, int flags, ...)                                                               \
    {                                                                                                        \
        va_list args;                                                                                        \
        va_start(args, flags);                                                                               \
        const mode_t mode = modeOf(flags, args);                                                             \
        va_end(args);                                                                                        \
        return openFails(dirfd, path, flags) ? -1 : NEXT(name)(path, flags, mode);                           \
    }
OPEN_AT(open, AT_FDCWD)
OPEN_AT(open64, AT_FDCWD)

#define OPENAT(name)                                                                                         \
    int name(int dirfd, const char* path, int flags, ...)                                                    \
    {                                                                                                        \
        va_list args;                                                                                        \
        va_start(args, flags);                                                                               \
        const mode_t mode = modeOf(flags, args);                                                             \
        va_end(args);                                                                                        \
        return openFails(dirfd, path, flags) ? -1 : NEXT(name)(dirfd, path, flags, mode);                    \
    }
OPENAT(openat)
OPENAT(openat64)

FILE* fopen(const char* path, const char* mode)
{
    return strpbrk(mode, "wa+") && changeFails(AT_FDCWD, path) ? NULL : NEXT(fopen)(path, mode);
}

FILE* fopen64(const char* path, const char* mode)
{
    return strpbrk(mode, "wa+") && changeFails(AT_FDCWD, path) ? NULL : NEXT(fopen64)(path, mode);
}

int mkdir(const char* path, mode_t mode)
{
    return changeFails(AT_FDCWD, path) ? -1 : NEXT(mkdir)(path, mode);
}

int unlink(const char* path)
{
    return changeFails(AT_FDCWD, path) ? -1 : NEXT(unlink)(path);
}

int unlinkat(int dirfd, const char* path, int flags)
{
    return changeFails(dirfd, path) ? -1 : NEXT(unlinkat)(dirfd, path, flags);
}

int rmdir(const char* path)
{
    return changeFails(AT_FDCWD, path) ? -1 : NEXT(rmdir)(path);
}

int remove(const char* path)
{
    return changeFails(AT_FDCWD, path) ? -1 : NEXT(remove)(path);
}

int rename(const char* from, const char* to)
{
    return changeFails(AT_FDCWD, from) || changeFails(AT_FDCWD, to) ? -1 : NEXT(rename)(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to)
{
    return changeFails(fromDir, from) || changeFails(toDir, to) ? -1
                                                                : NEXT(renameat)(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags)
{
    return changeFails(fromDir, from) || changeFails(toDir, to)
               ? -1
               : NEXT(renameat2)(fromDir, from, toDir, to, flags);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags)
{
    return changeFails(toDir, to) ? -1 : NEXT(linkat)(fromDir, from, toDir, to, flags);
}

static int syncFails(int fd)
{
    if (fault() != kSyncFails || !fdBelow(fd, getenv("TSIS_FAULT_NAME")))
        return 0;
    errno = EIO;
    return 1;
}

int fsync(int fd)
{
    return syncFails(fd) ? -1 : NEXT(fsync)(fd);
}

int fdatasync(int fd)
{
    return syncFails(fd) ? -1 : NEXT(fdatasync)(fd);
}
