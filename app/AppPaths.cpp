#include "AppPaths.h"

#include "platform/ShellFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace AppPaths
{

QString applicationDataFolder()
{
    return ShellFolders::ApplicationData();
}

QString documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString defaultStatusFolder()
{
    return join(documentsFolder(), QStringLiteral("Vantrel Software/Logs"));
}

QString executableFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString localPath(const QString& path)
{
    QString result = path;
    if (QDir::separator() == QLatin1Char('/'))
        result.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return result;
}

QString join(const QString& folder, const QString& name)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))
        return folder + name;
    return folder + QDir::separator() + name;
}

} // namespace AppPaths
