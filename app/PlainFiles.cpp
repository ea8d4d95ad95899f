#include "PlainFiles.h"

#include "XSystemPath.h"
#include "platform/NativeFile.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

namespace PlainFiles
{

bool replace(const QString& path, const QByteArray& bytes)
{
    const std::filesystem::path target = XSystemPath::FromText(path);
    std::filesystem::path fresh;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt)
    {
        fresh = XSystemPath::FromText(path + QLatin1Char('.') +
                                      QString::number(QCoreApplication::applicationPid()) + QLatin1Char('.') +
                                      QString::number(attempt) + QStringLiteral(".new"));
        fd = NativeFile::Open(fresh, NativeFile::Mode::Exclusive);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    const bool written = NativeFile::WriteAll(fd, bytes.constData(), bytes.size());
    const bool closed = NativeFile::Close(fd);
    if (written && closed && NativeFile::Replace(fresh, target))
        return true;
    std::error_code ignored;
    std::filesystem::remove(fresh, ignored);
    return false;
}

bool openForAppend(QFile& file, const QString& path, QString& errorText)
{
    const int fd = NativeFile::Open(XSystemPath::FromText(path), NativeFile::Mode::Append);
    if (fd == NativeFile::kNotRegular)
    {
        errorText = QStringLiteral("not a regular file");
        return false;
    }
    if (fd < 0)
    {
        errorText = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle))
    {
        NativeFile::Close(fd);
        errorText = file.errorString();
        return false;
    }
    return true;
}

} // namespace PlainFiles
