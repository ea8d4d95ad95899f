#include "SISConfig.h"

#include "AppPaths.h"
#include "BridgeTaskBase.h"
#include "KeyWords.h"
#include "LogManager.h"
#include "LogNames.h"
#include "StatusFiles.h"
#include "XString.h"

#include <QFile>
#include <QFileInfo>

namespace
{

const QString kRunStatusFile = QStringLiteral("BridgeStatus.tmp");
const QString kFrameFinishedFile = QStringLiteral("finished.tmp");

} // namespace

int SISConfig::runCommand()
{
    setUpRunLog();

    const QString output = paramValue(Key::path);
    StatusFiles::removeFile(output, kFrameFinishedFile);
    StatusFiles::removeFile(output, appFinishedFile_);
    // Only a run after a failed or unknown outcome logs the database schema.
    params_.insert(QStringLiteral("logSchema"), StatusFiles::containsSucceeded(output, kRunStatusFile)
                                                    ? QStringLiteral("false")
                                                    : QStringLiteral("true"));
    StatusFiles::writeLine(output, kRunStatusFile,
                           StatusFiles::timeStamp() + QStringLiteral("\tExtract Running"));

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

    const QString documents = AppPaths::documentsFolder();
    emit writeError(QStringLiteral("Log File Error"), QStringLiteral("Could not write to: ") + folder + name +
                                                          QStringLiteral(". Will now write to: ") +
                                                          AppPaths::join(documents, name));
    logManager->setFolder(documents);
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
