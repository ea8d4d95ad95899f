#include "AppBase.h"

#include "KeyWords.h"
#include "LogManager.h"
#include "ParamTypes.h"
#include "SISMessageWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QTime>

AppBase::AppBase(QObject* parent) : QObject(parent)
{
    appFinishedFile_ = QStringLiteral("finished.tmp");

    LogManager* logManager = LogManager::instance();
    logManager->setOutputMode(LogManager::BothChannels);
    groups_.insert(Key::global, {});
    if (!appShortName_.isEmpty())
        logManager->setName(appShortName_);

    connect(this, &AppBase::writeLog, logManager, &LogManager::log);
    connectMessageWriter();
}

AppBase::~AppBase() = default;

void AppBase::connectMessageWriter()
{
    SISMessageWriter* w = SISMessageWriter::instance();
    connect(this, &AppBase::writeVersion, w, &SISMessageWriter::outVersion);
    connect(this, &AppBase::writeParams, w, &SISMessageWriter::outParams);
    connect(this, &AppBase::writeHiddenParam, w, &SISMessageWriter::outHiddenParam);
    connect(this, &AppBase::writeList, w, &SISMessageWriter::outList);
    connect(this, &AppBase::writeTree, w, &SISMessageWriter::outTree);
    connect(this, &AppBase::writeHidden, w, &SISMessageWriter::outHidden);
    connect(this, &AppBase::writeFile, w, &SISMessageWriter::outFile);
    connect(this, &AppBase::writeNumber, w, &SISMessageWriter::outNumber);
    connect(this, &AppBase::writeDate, w, &SISMessageWriter::outDate);
    connect(this, &AppBase::writeTest, w, &SISMessageWriter::outTest);
    connect(this, &AppBase::writeStatus, w, &SISMessageWriter::outStatus);
    connect(this, &AppBase::writeManage, w, &SISMessageWriter::outManage);
    connect(this, &AppBase::writeProgress, w, &SISMessageWriter::outProgress);
    connect(this, &AppBase::writeProgressIncrement, w, &SISMessageWriter::outProgress_increment);
    connect(this, &AppBase::writeProgressWarning, w, &SISMessageWriter::outProgress_warning);
    connect(this, &AppBase::writeSetting, w, &SISMessageWriter::outSetting);
    connect(this, &AppBase::writeSettingIncrement, w,
            qOverload<QString, QString, QString, QString>(&SISMessageWriter::outSetting_increment));
    connect(this, &AppBase::writeSettingIncrementGrouping, w,
            qOverload<QString, QString, QString, QString, QString>(&SISMessageWriter::outSetting_increment));
    connect(this, &AppBase::writeWarning, w, &SISMessageWriter::outWarning);
    connect(this, &AppBase::writeMissing, w, &SISMessageWriter::outMissing);
    connect(this, &AppBase::writeError, w, &SISMessageWriter::outError);
    connect(this, &AppBase::clearMessages, w, &SISMessageWriter::clearMessages);
}

QList<const ParamDef*> AppBase::groupDefinitions(const QString& group) const
{
    QList<const ParamDef*> result;
    for (const ParamDef* def : groups_.value(group))
        result.append(def);
    return result;
}

void AppBase::LogHeader(const QString& text)
{
    LogManager* logManager = LogManager::instance(QString(), appTitle_, appVersion_, appBuildDate_);
    const QString method = QStringLiteral("AppBase::LogHeader");
    auto fileLine = [&](const QString& message)
    { logManager->write(8, LogManager::FileChannel, message, method); };

    fileLine(QStringLiteral("App Framework Version: ") + appFrameworkVersion_);
    fileLine(text);
    fileLine(QStringLiteral("Command: ") + paramValue(Key::command));

    QStringList set;
    for (const QString& key : switchList_)
    {
        if (switchSet(key))
            set.append(key);
    }
    fileLine(set.isEmpty() ? QString() : QStringLiteral("Switches: ") + set.join(QStringLiteral(", ")));

    for (const QString& key : valueOptionList_)
    {
        const QString value = paramValue(key);
        if (value.isEmpty())
            continue;
        const ParamDef* def = definition(key);
        // Passwords, and decoded passwords that have no definition, stay out of the log.
        if (!def || def->type == ParamType::Password)
            fileLine(key + QStringLiteral(" is internal only."));
        else
            fileLine(key + QLatin1Char('=') + value);
    }
    fileLine(QStringLiteral("appath=") + paramValue(Key::apppath));
}

void AppBase::setLogStyle(LogManager* logManager, const QString& style)
{
    logManager->setOutputMode(LogManager::BothChannels);
    logStyleExtract_ = false;
    if (style == Key::off)
        logManager->setOutputMode(LogManager::NoChannel);
    else if (style == Key::consoleoff)
        logManager->setOutputMode(LogManager::ConsoleOff);
    else if (style == Key::fileoff)
        logManager->setOutputMode(LogManager::FileOff);
    else if (style == Key::extract)
        logStyleExtract_ = true;
}

void AppBase::qMessageOutput(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    (void)context;
    LogManager* logManager = LogManager::instance();
    const QString method = QStringLiteral("AppBase::qMessageOutput");
    if (text.contains(QLatin1String("Clipboard")))
    {
        logManager->log(8, text, method);
        return;
    }
    switch (type)
    {
    case QtDebugMsg:
    case QtInfoMsg:
        logManager->log(8, text, method);
        break;
    case QtWarningMsg:
        if (text.contains(QLatin1String("argument")))
            logManager->log(3, text, method);
        else if (text.contains(QLatin1String("valid record")))
            logManager->log(4, text, method);
        else if (text.contains(QLatin1String("qt_sql_default_connection")))
            logManager->log(8, text, method);
        else
            logManager->log(4, text, method);
        break;
    case QtCriticalMsg:
        logManager->log(3, text, method);
        SISMessageWriter::instance()->outError(QStringLiteral("options"), text);
        break;
    case QtFatalMsg:
        logManager->log(2, text, method);
        SISMessageWriter::instance()->outError(QStringLiteral("options"), text);
        break;
    }
}

QString AppBase::CreateTempLocalDBFolder(const QString& name)
{
    const QString method = QStringLiteral("AppBase::CreateTempLocalDBFolder");
    if (name.isEmpty())
    {
        emit writeLog(3, QStringLiteral("No signifigant folder name, cannot create local DB."), method);
        return QString();
    }
    const QString initialize = QStringLiteral("Initialize");
    QDir dir(QDir::tempPath());
    auto enter = [&](const QString& folder)
    {
        if (!dir.exists(folder) && !dir.mkdir(folder))
        {
            emit writeError(initialize, QStringLiteral("Problem creating folder: ") + folder +
                                            QStringLiteral(" in ") + dir.absolutePath());
            return false;
        }
        if (!dir.cd(folder))
        {
            emit writeError(initialize, QStringLiteral("Problem moving to folder: ") + folder +
                                            QStringLiteral(" in ") + dir.absolutePath());
            return false;
        }
        return true;
    };
    const QString folder = appAlias_ + QLatin1Char('.') + name + QLatin1Char('.') +
                           QTime::currentTime().toString(QStringLiteral("hhmmsszzz")) + QLatin1Char('.') +
                           QString::number(QCoreApplication::applicationPid());
    if (!enter(QStringLiteral("dsl")) || !enter(folder))
        return QString();

    const QString local = QStringLiteral("localDB");
    if (!dir.exists(local) && !dir.mkdir(local))
    {
        emit writeError(initialize, QStringLiteral("Problem creating localDB path: ") + dir.absolutePath());
        return QString();
    }
    if (!dir.cd(local))
    {
        emit writeError(initialize,
                        QStringLiteral("Problem moving to localDB folder in: ") + dir.absolutePath());
        return QString();
    }
    emit writeLog(8, QStringLiteral("Loading local database: ") + dir.absolutePath(), method);
    return dir.absolutePath();
}
