#include "PlainFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PlainFiles
{

bool replace(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray fresh;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt)
    {
        fresh = target + '.' + QByteArray::number(getpid()) + '.' + QByteArray::number(attempt) + ".new";
        fd = ::open(fresh.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::rename(fresh.constData(), target.constData()) == 0)
        return true;
    ::unlink(fresh.constData());
    return false;
}

bool openForAppend(QFile& file, const QString& path, QString& errorText)
{
    const QByteArray name = QFile::encodeName(path);
    // Not blocking on a FIFO planted at the name: it fails as no regular file below.
    const int fd =
        ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
    {
        errorText = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat entry
    {
    };
    if (::fstat(fd, &entry) != 0 || !S_ISREG(entry.st_mode))
    {
        ::close(fd);
        errorText = QStringLiteral("not a regular file");
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle))
    {
        ::close(fd);
        errorText = file.errorString();
        return false;
    }
    return true;
}

} // namespace PlainFiles
