#include "SISConfig.h"

#include "AppPaths.h"
#include "BridgeTaskBase.h"
#include "KeyWords.h"
#include "LogManager.h"
#include "LogNames.h"
#include "ProtocolWords.h"
#include "StatusFiles.h"
#include "StopSignals.h"
#include "XString.h"
#include "attendance/PendingUpdateFile.h"
#include "platform/NativeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QStringEncoder>

namespace
{

const QString kRunStatusFile = QStringLiteral("BridgeStatus.tmp");
const QString kFrameFinishedFile = QStringLiteral("finished.tmp");

} // namespace

bool SISConfig::lockOutputFolder()
{
    const QString output = paramValue(Key::path);
    // The run's own status file is the lock file: it is written anyway, so
    // the folder holds nothing extra.
    const QString lockFile = AppPaths::join(StatusFiles::targetFolder(output), kRunStatusFile);
    const RunLock::Result taken = outputLock_.take(lockFile);
    if (taken == RunLock::Result::Taken)
        return true;
    const QString message = taken == RunLock::Result::Busy
                                ? QStringLiteral("Another extraction is writing to the output folder ") +
                                      output + QStringLiteral(". Try again when it has finished.")
                                : QStringLiteral("The output folder cannot be written: ") +
                                      (outputLock_.fileAtFault() ? lockFile : output) + QStringLiteral(": ") +
                                      outputLock_.error();
    emit writeProgress(Protocol::StartProgress, 0);
    emit writeError(Key::path, message);
    emit writeProgress(Protocol::EndProgress);
    return false;
}

void SISConfig::stopWritesFailedStatus()
{
    const QString output = paramValue(Key::path);
    StopSignals::setAction(
        [this, output](const QString& signalName)
        {
            if (finishedCode_)
                return *finishedCode_;
            const QString message = QStringLiteral("Extraction stopped by ") + signalName + QLatin1Char('.');
            // The main thread may be writing to the streams: one raw write of a
            // whole line, in the streams' encoding. A failed write is left to the
            // status files below, which still tell the front-end.
            QStringEncoder console(QStringConverter::System);
            const QByteArray line = console(Protocol::Error + QStringLiteral("\tExtraction Stopped\t") +
                                            message + QLatin1Char('\n'));
            NativeFile::WriteAll(2, line.constData(), line.size());
            // As after a failed update: an update file still under its temporary
            // name goes; one in place stays (its records go out again unless marked).
            const std::lock_guard<std::mutex> delivery(PendingUpdateFile::Lock());
            if (const std::filesystem::path pending = PendingUpdateFile::Pending(); !pending.empty())
            {
                std::error_code ignored;
                std::filesystem::remove(pending, ignored);
            }
            summary_.finish(RunSummary::Outcome::Stopped, 1);
            writeStatusFiles(1, output, message);
            return 1;
        });
}

int SISConfig::runCommand()
{
    // Validation runs extract nothing and get no summary.
    if (!validationNumber_)
    {
        QStringList secrets;
        for (const QString& key : passwordKeys())
            secrets.append(paramValue(key));
        summary_.begin({switchSet(Key::att) ? QStringLiteral("run --att") : QStringLiteral("run"),
                        paramValue(Key::school), paramValue(Key::district), paramValue(Key::dsn),
                        (extractionFlags_ & 2) != 0, secrets});
    }
    setUpRunLog();
    LogManager* logManager = LogManager::instance();
    summary_.setLogFile(logManager->hasOpenFile() ? logManager->fileName() : QString(),
                        AppPaths::localPath(paramValue(Key::path)));

    const QString output = paramValue(Key::path);
    StatusFiles::removeFile(output, kFrameFinishedFile);
    StatusFiles::removeFile(output, appFinishedFile_);
    // Only a run after a failed or unknown outcome logs the database schema.
    params_.insert(QStringLiteral("logSchema"), StatusFiles::containsSucceeded(output, kRunStatusFile)
                                                    ? QStringLiteral("false")
                                                    : QStringLiteral("true"));
    {
        // A stop may already have written its failed status: never overwrite it.
        const std::lock_guard<std::mutex> guard(StopSignals::endLock());
        // Written through the lock: a file put in its place would not be locked.
        outputLock_.rewrite((StatusFiles::timeStamp() + QStringLiteral("\tExtract Running\r\n")).toUtf8());
    }

    LogHeader(QString());
    if (paramValue(Key::log) == Key::extract)
        LogManager::instance()->setOutputMode(LogManager::ConsoleOff);

    if (validationNumber_)
        return validateRun();
    return runExtraction();
}

bool SISConfig::setUpRunLog()
{
    LogManager* logManager = LogManager::instance();
    QString folder = paramValue(Key::logpath);
    if (folder.isEmpty())
        folder = paramValue(Key::path);
    folder = LogNames::folder(folder);
    // No customer name is known to this installation.
    const QString name = LogNames::baseName(appShortName_, QString(), paramValue(Key::school));

    logManager->setFolder(AppPaths::localPath(folder));
    if (logManager->setFileName(name))
        return true;

    // Without a home folder (Qt then names the root) the documents folder would
    // be one at the root of the file system: the output folder takes the log instead.
    const QString fallback = QDir::homePath() == QDir::rootPath() ? AppPaths::localPath(paramValue(Key::path))
                                                                  : AppPaths::documentsFolder();
    emit writeError(QStringLiteral("Log File Error"), QStringLiteral("Could not write to: ") + folder + name +
                                                          QStringLiteral(". Will now write to: ") +
                                                          AppPaths::join(fallback, name));
    logManager->setFolder(fallback);
    return logManager->setFileName(name);
}

int SISConfig::runExtraction()
{
    LogManager* logManager = LogManager::instance();
    if (logStyleExtract_)
        setLogStyle(logManager, Key::consoleoff);

    const QString logFile = logManager->fileName();
    const QString logName = QFileInfo(logFile).fileName();

    // The engine spells paths in Windows-1252; a folder it cannot spell would
    // be written under another name, so the run stops before the engine starts.
    const QString output = paramValue(Key::path);
    if (!XString::FitsCodePage(output))
    {
        const QString message =
            QStringLiteral(
                "The SDE folder cannot be written: its name holds letters outside Windows-1252: ") +
            output;
        emit writeLog(3, message, QStringLiteral("SISConfig::runExtraction"));
        emit writeError(Key::path, message);
        return 1;
    }

    ParamMap values = params_;
    QString errorText;
    const bool succeeded = engine_->BeginExecute(values, extractionFlags_, errorText);

    // The front-end collects the log with the output; an earlier copy stays.
    if (!logName.isEmpty())
        QFile::copy(logFile, AppPaths::join(AppPaths::localPath(paramValue(Key::path)), logName));
    return succeeded ? 0 : 1;
}
