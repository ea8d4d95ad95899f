#include "RunLock.h"

#include "XSystemPath.h"
#include "platform/NativeFile.h"

#include <cerrno>
#include <cstring>

RunLock::~RunLock()
{
    if (fd_ >= 0)
        NativeFile::Close(fd_);
}

RunLock::Result RunLock::take(const QString& filePath)
{
    if (fd_ >= 0)
        return Result::Taken;
    const std::filesystem::path path = XSystemPath::FromText(filePath);
    // Never through a link planted at the name: the run writes its status here.
    const int fd = NativeFile::Open(path, NativeFile::Mode::ReadWrite);
    if (fd < 0)
    {
        error_ = QString::fromLocal8Bit(std::strerror(fd == NativeFile::kNotRegular ? EISDIR : errno));
        // The folder may be fine and the file the trouble (a folder or a link at its name).
        fileAtFault_ = NativeFile::IsNonRegularEntry(path);
        return Result::Failed;
    }
    const NativeFile::Lock lock = NativeFile::TryLock(fd);
    const int error = errno;
    if (lock == NativeFile::Lock::Taken)
    {
        fd_ = fd;
        return Result::Taken;
    }
    NativeFile::Close(fd);
    if (lock == NativeFile::Lock::Busy)
        return Result::Busy;
    error_ = QString::fromLocal8Bit(std::strerror(error));
    return Result::Failed;
}

bool RunLock::rewrite(const QByteArray& bytes)
{
    return fd_ >= 0 && NativeFile::Truncate(fd_, 0) &&
           NativeFile::WriteAt(fd_, bytes.constData(), bytes.size(), 0);
}
