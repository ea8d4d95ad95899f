#include "RunLock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RunLock::~RunLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

RunLock::Result RunLock::take(const QString& filePath)
{
    if (fd_ >= 0)
        return Result::Taken;
    const QByteArray path = QFile::encodeName(filePath);
    // Never through a link planted at the name: the run writes its status here.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    struct stat entry
    {
    };
    if (fd < 0 || ::fstat(fd, &entry) != 0 || !S_ISREG(entry.st_mode))
    {
        const int error = fd < 0 ? errno : EISDIR;
        if (fd >= 0)
            ::close(fd);
        error_ = QString::fromLocal8Bit(std::strerror(error));
        // The folder may be fine and the file the trouble (a folder or a link at its name).
        struct stat named
        {
        };
        fileAtFault_ = ::lstat(path.constData(), &named) == 0 && !S_ISREG(named.st_mode);
        return Result::Failed;
    }
    // An open-file-description lock: unlike a classic fcntl lock it survives
    // the process closing other descriptors of the same file (the run rewrites it).
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
    {
        fd_ = fd;
        return Result::Taken;
    }
    const int error = errno;
    ::close(fd);
    if (error == EAGAIN || error == EACCES)
        return Result::Busy;
    error_ = QString::fromLocal8Bit(std::strerror(error));
    return Result::Failed;
}

bool RunLock::rewrite(const QByteArray& bytes)
{
    return fd_ >= 0 && ::ftruncate(fd_, 0) == 0 &&
           ::pwrite(fd_, bytes.constData(), static_cast<size_t>(bytes.size()), 0) == bytes.size();
}
