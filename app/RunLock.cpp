#include "RunLock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
    {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
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
