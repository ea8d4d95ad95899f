#include "SISConfig.h"

#include "AppPaths.h"
#include "KeyWords.h"
#include "ProtocolWords.h"

#include <QDir>
#include <QDomDocument>
#include <QDomNodeList>
#include <QFile>
#include <QFileInfo>

namespace
{

const QString kDataFolderParent = QStringLiteral("Solvane");

} // namespace

QString SISConfig::AppDataPath()
{
    const QString method = QStringLiteral("SISConfig::AppDataPath");
    const QString folder = AppPaths::applicationDataFolder();
    if (folder.isEmpty() || !QDir(folder).exists())
    {
        emit writeLog(4, QStringLiteral("appPath: ") + folder + QStringLiteral(" doesn't exist or is blank"),
                      method);
        return folder;
    }
    const QString solvane = AppPaths::join(folder, kDataFolderParent);
    if (oldShortName_.isEmpty())
    {
        emit writeLog(
            3,
            QStringLiteral("oldShortName_ not defined, please set in ApplicationBase, will try from base "
                           "appPath folder"),
            method);
        return solvane + QDir::separator();
    }
    const QString path = AppPaths::join(solvane, oldShortName_);
    emit writeLog(7, QStringLiteral("appPath: ") + path, method);
    return path;
}

// Empty when the search gives up; the reason has been logged.
QString SISConfig::findSettingsFile()
{
    const QString method = QStringLiteral("SISConfig::commandDefaults");
    QDir dir(AppDataPath());
    const QStringList here = dir.entryList({SettingsXml::FileName}, QDir::Files);
    if (!here.isEmpty())
        return dir.filePath(here.first());

    while (dir.dirName() != kDataFolderParent)
    {
        if (dir.isRoot() || !dir.cdUp())
        {
            emit writeProgress(Protocol::StartProgress, 0);
            emit writeLog(8, QStringLiteral("Cannot find AppDataPath: ") + dir.absolutePath(), method);
            emit writeProgress(Protocol::EndProgress);
            return QString();
        }
    }
    const QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& folder : folders)
    {
        const QDir candidate(dir.filePath(folder));
        const QStringList found = candidate.entryList({SettingsXml::FileName}, QDir::Files);
        if (!found.isEmpty())
            return candidate.filePath(found.first());
    }
    return dir.filePath(SettingsXml::FileName);
}

int SISConfig::commandDefaults()
{
    const QString method = QStringLiteral("SISConfig::commandDefaults");
    QString path = AppPaths::localPath(paramValue(Key::path));
    if (path.isEmpty())
    {
        path = findSettingsFile();
        if (path.isEmpty())
            return 1;
    }
    emit writeLog(8, QStringLiteral("Path to SVConfig.xml: ") + path, method);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
    {
        emit writeProgress(Protocol::StartProgress, 0);
        emit writeLog(4, QStringLiteral("Could not open: ") + path, method);
        emit writeProgress(Protocol::EndProgress);
        return 1;
    }

    QDomDocument document;
    QString error;
    int line = 0;
    int column = 0;
    if (!document.setContent(&file, true, &error, &line, &column))
    {
        emit writeLog(
            8, QStringLiteral("XML parse error at line %1, column %2: %3").arg(line).arg(column).arg(error),
            method);
        emit writeProgress(Protocol::StartProgress, 0);
        emit writeProgress(Protocol::EndProgress);
        return 1;
    }

    const QDomElement root = document.documentElement();
    if (root.isNull() || root.tagName() != SettingsXml::RootElement)
    {
        emit writeLog(8, QStringLiteral("The file is not a valid SVConfig.xml file.  May be empty."), method);
        emit writeProgress(Protocol::StartProgress, 0);
        emit writeProgress(Protocol::EndProgress);
        return 1;
    }

    const QDomNodeList schools = root.elementsByTagName(SettingsXml::SchoolElement);
    emit writeProgress(Protocol::StartProgress, schools.size());
    for (int i = 0; i < schools.size(); ++i)
    {
        emit writeSetting(Protocol::StartSetting);
        settingsFromElement(schools.at(i).toElement());
        emit writeSetting(Protocol::EndSetting);
    }
    emit writeProgress(Protocol::EndProgress);
    return 0;
}
