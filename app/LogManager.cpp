#include "LogManager.h"

#include "PlainFiles.h"
#include "RunSummary.h"

#include "ConsoleStreams.h"
#include "OsDescription.h"
#include "ProtocolField.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>

namespace
{

const QString kMethodSetup = QStringLiteral("LogManager::setupLogFile");
const QString kRule = QString(73, QLatin1Char('-'));

// The local time of every line: working it out consults the time zone file
// each time, so it is worked out once a second.
QString timeNow()
{
    thread_local qint64 second = -1;
    thread_local QString text;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (now != second)
    {
        second = now;
        text = QDateTime::fromSecsSinceEpoch(now).time().toString(QStringLiteral("hh:mm:ss"));
    }
    return text;
}

} // namespace

LogManager* LogManager::instance()
{
    static LogManager* manager = new LogManager();
    return manager;
}

LogManager* LogManager::instance(const QString& name, const QString& headerTitle,
                                 const QString& headerVersion, const QString& headerBuildDate)
{
    LogManager* manager = instance();
    if (!name.isEmpty())
        manager->name_ = name;
    if (!manager->filePath_.isEmpty() && QFile::exists(manager->filePath_))
        manager->writeHeader(headerTitle, headerVersion, headerBuildDate);
    if (!headerTitle.isEmpty())
        manager->write(7, Console, headerTitle + QStringLiteral(" started."), QString());
    return manager;
}

QString LogManager::levelName(int level)
{
    switch (level)
    {
    case -1:
        return QStringLiteral("None         ");
    case 0:
        return QStringLiteral("Emergency    ");
    case 1:
        return QStringLiteral("Alert        ");
    case 2:
        return QStringLiteral("Critical     ");
    case 3:
        return QStringLiteral("Error        ");
    case 4:
        return QStringLiteral("Warning      ");
    case 5:
        return QStringLiteral("Progress     ");
    case 7:
        return QStringLiteral("Informational");
    case 8:
        return QStringLiteral("Debug        ");
    case 9:
        return QStringLiteral("Proprietary  ");
    default:
        return QString();
    }
}

void LogManager::log(int level, QString message, QString method)
{
    // Errors and worse get through whatever the mode; a negative level never does.
    const bool severe = static_cast<unsigned>(level) <= 3u;
    for (int channel : {Console, FileChannel})
    {
        if ((outputMode_ & channel) || severe)
            write(level, channel, message, method);
    }
}

void LogManager::write(int level, int channel, const QString& message, const QString& method)
{
    const unsigned ulevel = static_cast<unsigned>(level);
    if (channel == Console)
    {
        if (ulevel > 7u)
            return;
        ConsoleStreams::writeOut(QStringLiteral("log\t") + levelName(level) + QLatin1Char('\t') + timeNow() +
                                 QLatin1Char('\t') + protocolField(method) + QLatin1Char('\t') +
                                 protocolField(message) + QLatin1Char('\n'));
        return;
    }
    if (channel != FileChannel || ulevel > 9u)
        return;
    if (ulevel <= 3u)
        emit errorLogged(message);
    QString line = name_ + QLatin1Char(':') + timeNow() + QStringLiteral(": ") + levelName(level) +
                   QLatin1Char(' ') + method + QStringLiteral(": ") + message;
    if (level == 9)
        line = QStringLiteral("proprietary:") + QString::fromLatin1(line.toUtf8().toBase64());
    fileLine(line);
}

void LogManager::fileLine(const QString& text)
{
    if (!file_.isOpen())
        return;
    // UTF-8 whatever the locale says: cron and systemd often leave LANG unset.
    file_.write(text.toUtf8() + "\r\n");
    file_.flush();
}

void LogManager::logOnEnabledChannels(int level, const QString& message, const QString& method)
{
    for (int channel : {Console, FileChannel})
    {
        if (outputMode_ & channel)
            write(level, channel, message, method);
    }
}

void LogManager::setFolder(const QString& folder)
{
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    folder_ = QDir(folder);
    setupLogFile();
}

bool LogManager::setFileName(const QString& name)
{
    if (name.isEmpty())
        return true;
    fileBaseName_ = name;
    return setupLogFile();
}

bool LogManager::setupLogFile()
{
    if (!folder_ || fileBaseName_.isEmpty())
    {
        logOnEnabledChannels(8, QStringLiteral("Filename or path not set, cannot setup log file."),
                             kMethodSetup);
        return false;
    }
    const QString fileName = fileBaseName_ + QLatin1Char('-') +
                             QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) +
                             QStringLiteral(".log");
    const QString path = folder_->filePath(fileName);

    if (file_.isOpen())
        file_.close();
    filePath_ = path;
    QString openError;
    const bool opened = PlainFiles::openForAppend(file_, path, openError);

    pruneOldLogs(*folder_);

    if (!opened)
    {
        const QString message = QStringLiteral("Log file ") + path + QStringLiteral(" cannot be opened.");
        write(3, Console, message, kMethodSetup);
        write(3, FileChannel, message, kMethodSetup);
        return false;
    }
    logOnEnabledChannels(7, QStringLiteral("Log file ") + path + QStringLiteral(" setup."), kMethodSetup);
    return true;
}

void LogManager::pruneOldLogs(const QDir& folder)
{
    // Only this name's own daily files: school 0042 must never prune the logs
    // of school 00421.
    const QRegularExpression daily(QLatin1Char('^') + QRegularExpression::escape(fileBaseName_) +
                                       QStringLiteral("-\\d{4}-\\d{2}-\\d{2}\\.log$"),
                                   QRegularExpression::CaseInsensitiveOption);
    QStringList logs;
    // Matched and sorted alike, without regard to case.
    const QStringList files = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString& file : files)
    {
        if (daily.match(file).hasMatch())
            logs.append(file);
    }
    QStringList prunedDays;
    while (logs.size() > KeptLogFiles)
    {
        const QString log = logs.takeFirst();
        QFile::remove(folder.filePath(log));
        prunedDays.append(log.mid(fileBaseName_.size() + 1, 10));
    }
    // The run summaries of a day go with its log.
    if (prunedDays.isEmpty())
        return;
    for (const QString& file : files)
    {
        const QString day = RunSummary::logDayOf(file, fileBaseName_);
        if (!day.isEmpty() && prunedDays.contains(day))
            QFile::remove(folder.filePath(file));
    }
}

void LogManager::writeHeader(const QString& title, const QString& version, const QString& buildDate)
{
    const QDateTime now = QDateTime::currentDateTime();
    fileLine(QString());
    fileLine(kRule);
    fileLine(title.isEmpty() ? QStringLiteral("Log File") : title + QStringLiteral(" File"));
    fileLine(QStringLiteral("All rights reserved. Copyright (c) Vantrel Software ") +
             QString::number(now.date().year()));
    fileLine(QStringLiteral("www.vantrel.com"));
    fileLine(kRule);
    fileLine(QString());
    if (!buildDate.isEmpty())
        fileLine(QStringLiteral("Built on       : ") + buildDate);
    fileLine(QStringLiteral("Generated on   : ") +
             QLocale::c().toString(now, QStringLiteral("MMM dd yyyy hh:mm:ss AP")));
    if (!version.isEmpty())
        fileLine(QStringLiteral("Version        : ") + version);
    fileLine(QStringLiteral("               : ") + osDescription());
    fileLine(kRule);
    fileLine(QString());
}
