#include "NativeFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace NativeFile
{
int Open(const fs::path& path, Mode mode)
{
    // Files are written in folders other accounts may write too: a link
    // planted at the name is never followed, and a FIFO does not block the
    // open (it fails as no regular file).
    int flags = O_CLOEXEC | O_CREAT | O_NOFOLLOW | O_NONBLOCK;
    switch (mode)
    {
    case Mode::Read:
        flags = O_CLOEXEC | O_CREAT | O_RDONLY;
        break;
    case Mode::Fresh:
        // unlink never follows a link and refuses a folder (EISDIR).
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            return -1;
        [[fallthrough]];
    case Mode::Exclusive:
        flags = O_CLOEXEC | O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY;
        break;
    case Mode::Write:
        flags |= O_WRONLY;
        break;
    case Mode::ReadWrite:
        flags |= O_RDWR;
        break;
    case Mode::Append:
        flags |= O_WRONLY | O_APPEND;
        break;
    }
    int fd;
    do
        fd = ::open(path.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    if (mode == Mode::Read)
        return fd;
    struct stat entry
    {
    };
    if (::fstat(fd, &entry) != 0 || !S_ISREG(entry.st_mode))
    {
        ::close(fd);
        return kNotRegular;
    }
    if (flags & O_NONBLOCK)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

int64_t ReadOnce(int fd, void* data, int64_t count)
{
    ssize_t n;
    do
        n = ::read(fd, data, static_cast<size_t>(count));
    while (n < 0 && errno == EINTR);
    return n;
}

int64_t WriteOnce(int fd, const void* data, int64_t count)
{
    ssize_t n;
    do
        n = ::write(fd, data, static_cast<size_t>(count));
    while (n < 0 && errno == EINTR);
    return n;
}

bool WriteAt(int fd, const void* data, int64_t count, int64_t offset)
{
    return ::pwrite(fd, data, static_cast<size_t>(count), offset) == count;
}

int64_t Seek(int fd, int64_t offset, int whence)
{
    return ::lseek(fd, offset, whence);
}

int64_t Size(int fd)
{
    struct stat entry
    {
    };
    return ::fstat(fd, &entry) == 0 ? entry.st_size : -1;
}

bool Truncate(int fd, int64_t size)
{
    return ::ftruncate(fd, size) == 0;
}

bool Sync(int fd)
{
    int rc;
    do
        rc = ::fsync(fd);
    while (rc != 0 && errno == EINTR);
    return rc == 0;
}

bool Close(int fd)
{
    return ::close(fd) == 0;
}

bool CreateFolders(const fs::path& folder)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        errno = ec.value();
    return !ec;
}

bool MoveToNew(const fs::path& from, const fs::path& to)
{
    int rc = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS))
    {
        // A file system without the flag: a hard link is just as exclusive.
        rc = ::link(from.c_str(), to.c_str());
        if (rc == 0 && ::unlink(from.c_str()) != 0)
            return false;
        if (rc != 0 && (errno == EPERM || errno == EOPNOTSUPP))
        {
            // Nor links (some network shares): the name is checked, then taken
            // by a plain rename; the run lock keeps other runs away meanwhile.
            struct stat entry
            {
            };
            errno = EEXIST;
            rc = ::lstat(to.c_str(), &entry) == 0 ? -1 : ::rename(from.c_str(), to.c_str());
        }
    }
    return rc == 0;
}

bool SyncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const int synced = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    errno = error;
    // Some file systems cannot sync a folder at all (EINVAL); nothing more is to be had there.
    return synced == 0 || error == EINVAL;
}

bool Replace(const fs::path& from, const fs::path& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool IsNonRegularEntry(const fs::path& path)
{
    struct stat entry
    {
    };
    return ::lstat(path.c_str(), &entry) == 0 && !S_ISREG(entry.st_mode);
}

std::FILE* UnnamedTemporaryFile()
{
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder && *folder ? folder : "/tmp") + "/tsisbridge-rows-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0)
        return nullptr;
    ::unlink(path.c_str());
    std::FILE* file = ::fdopen(fd, "w+b");
    if (!file)
        ::close(fd);
    return file;
}

Lock TryLock(int fd)
{
    // An open-file-description lock: unlike a classic fcntl lock it survives
    // the process closing other descriptors of the same file.
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return Lock::Taken;
    return errno == EAGAIN || errno == EACCES ? Lock::Busy : Lock::Failed;
}
} // namespace NativeFile
