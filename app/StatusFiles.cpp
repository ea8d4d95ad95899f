#include "StatusFiles.h"

#include "AppPaths.h"

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
    QFile file(AppPaths::join(targetFolder(folder), fileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(text.toUtf8() + "\r\n");
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
