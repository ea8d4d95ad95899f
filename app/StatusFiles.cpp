#include "StatusFiles.h"

#include "AppPaths.h"
#include "PlainFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace StatusFiles
{

QString targetFolder(const QString& folder)
{
    const QString target = folder.isEmpty() ? AppPaths::defaultStatusFolder() : AppPaths::localPath(folder);
    QDir().mkpath(target);
    return target;
}

void removeFile(const QString& folder, const QString& fileName)
{
    QFile::remove(AppPaths::join(targetFolder(folder), fileName));
}

void writeLine(const QString& folder, const QString& fileName, const QString& text)
{
    const QString path = AppPaths::join(targetFolder(folder), fileName);
    // Unwritten, an earlier file must not tell an outcome that is not this one.
    if (!PlainFiles::replace(path, text.toUtf8() + "\r\n"))
        QFile::remove(path);
}

bool containsSucceeded(const QString& folder, const QString& fileName)
{
    QFile file(AppPaths::join(targetFolder(folder), fileName));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return QString::fromUtf8(file.readAll()).contains(QLatin1String("Succeeded"), Qt::CaseInsensitive);
}

QString timeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
}

} // namespace StatusFiles
