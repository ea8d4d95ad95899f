#include "SISConfig.h"

#include "AppPaths.h"
#include "ConsoleStreams.h"
#include "KeyWords.h"
#include "LogManager.h"
#include "OptionScanner.h"
#include "ParamTypes.h"
#include "PasswordFile.h"
#include "PasswordText.h"
#include "ProcessSecrecy.h"
#include "ProtocolWords.h"
#include "StatusFiles.h"
#include "StopSignals.h"

#include <cstdlib>

namespace
{

// Parameter types the usage text leaves out.
const QStringList kUsageHidden = {ParamType::Label, ParamType::Header, ParamType::Switch, ParamType::Hidden};

const QString kEncode = QStringLiteral("encode");

} // namespace

int SISConfig::processCommandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromUtf8(argv[i]));
    ProcessSecrecy::maskArguments(argc, argv, passwordKeys());
    return processCommandLine(arguments);
}

int SISConfig::processCommandLine(const QStringList& arguments)
{
    LogManager* logManager = LogManager::instance();
    if (!appShortName_.isEmpty())
        logManager->setName(appShortName_);
    params_.insert(Key::apppath, arguments.value(0));

    arguments_ = arguments;
    const QStringList shown = maskedArguments();
    for (const QString& argument : shown)
        logManager->log(8, QStringLiteral("Arguments: ") + argument,
                        QStringLiteral("SISConfig::processCommandLine"));

    qInstallMessageHandler(&AppBase::qMessageOutput);

    QString programName;
    const OptionScanner::Result scan = scanArguments(arguments, programName);
    if (scan == OptionScanner::Result::Abort)
    {
        // The process ends here: nothing after the warning reaches the front-end,
        // not even the engine's closing log lines.
        std::exit(2);
    }
    const bool scanned = scan == OptionScanner::Result::Succeeded;
    emit writeLog(8,
                  QStringLiteral("Parsing arguments") +
                      (scanned ? QStringLiteral("succeeded.") : QStringLiteral("failed.")),
                  QStringLiteral("SISConfig:::processCommandLine"));

    const QString command = paramValue(Key::command);
    if (!scanned || command == Key::help || switchSet(Key::helpSwitch))
    {
        writeUsage(programName);
        emit writeProgress(Protocol::StartProgress, 0);
        emit writeProgress(Protocol::EndProgress);
        // The status file must not expose a password.
        return finishCommand(1, paramValue(Key::path),
                             QStringLiteral("args: ") + shown.join(QStringLiteral(", ")));
    }

    prepareValues();
    if (const QString problem = PasswordFile::supply(params_[Key::pwd]); !problem.isEmpty())
    {
        emit writeProgress(Protocol::StartProgress, 0);
        emit writeError(QStringLiteral("Password File"), problem);
        emit writeProgress(Protocol::EndProgress);
        return finishCommand(1, paramValue(Key::path), problem);
    }

    for (const QString& key : passwordKeys())
        if (!paramValue(key).isEmpty())
        {
            ProcessSecrecy::keepOutOfCoreDumps();
            break;
        }

    bool ok = false;
    const int number = paramValue(Key::validate).toInt(&ok);
    validationNumber_ = ok ? std::optional<int>(number) : std::nullopt;

    if (const int result = checkRequirements(command))
    {
        emit writeProgress(Protocol::StartProgress, 0);
        emit writeProgress(Protocol::EndProgress);
        return finishCommand(result, QString(), QString());
    }

    setLogStyle(logManager, paramValue(Key::log));

    extractionFlags_ = -1;
    if (switchSet(Key::demo))
        extractionFlags_ = 1;
    if (switchSet(Key::att))
        extractionFlags_ &= 2;

    return dispatch(command);
}

void SISConfig::prepareValues()
{
    for (const QString& key : valueOptionList_)
    {
        const ParamDef* def = definition(key);
        if (!def)
            continue;
        if (def->type == ParamType::Folder || def->type == ParamType::File)
        {
            // A quoted Windows folder ending in a backslash arrives with a trailing double quote.
            params_[key].replace(QLatin1Char('"'), QLatin1Char('\\'));
        }
        else if (def->type == ParamType::Password && !paramValue(key).isEmpty())
        {
            QString plainKey = key;
            plainKey.remove(kEncode, Qt::CaseSensitive);
            if (plainKey != key)
                params_[plainKey] = PasswordText::decode(paramValue(key));
        }
    }
}

QStringList SISConfig::passwordKeys() const
{
    QStringList keys;
    for (const ParamDef* def : std::as_const(definitions_))
    {
        if (def->type != ParamType::Password)
            continue;
        QString plainKey = def->key;
        plainKey.remove(kEncode, Qt::CaseSensitive);
        keys << def->key << plainKey;
    }
    return keys;
}

QStringList SISConfig::maskedArguments() const
{
    return PasswordText::maskArguments(arguments_, passwordKeys());
}

void SISConfig::writeUsage(const QString& programName)
{
    QString usage = programName + QStringLiteral("\n [") + Key::command + QStringLiteral("]\n");
    for (const QString& key : switchList_)
        usage += QStringLiteral("  [--") + key + QStringLiteral("]\n");
    for (const QString& key : valueOptionList_)
    {
        const ParamDef* def = definition(key);
        if (def && kUsageHidden.contains(def->type))
            continue;
        usage += QStringLiteral("   [--") + key + QStringLiteral("=value]\n");
    }
    ConsoleStreams::writeErr(QStringLiteral("Usage: \n") + usage + QLatin1Char('\n'));
}

int SISConfig::dispatch(const QString& command)
{
    const QString path = paramValue(Key::path);
    QString message;
    int result = 1;

    if (command == Key::params)
    {
        result = validationNumber_ ? validateParams(message) : paramsCommand(message);
        if (result == 1)
            message = QStringLiteral("Failed retrieving parameters.");
    }
    else if (command == Key::defaults)
    {
        result = validationNumber_ ? validateDefaults() : commandDefaults();
        message = QStringLiteral("Failed retrieving default settings.");
    }
    else if (command == Key::test)
    {
        LogHeader(QString());
        result = validationNumber_ ? validateTest(paramValue(Key::group), message)
                                   : groupTest(paramValue(Key::group), message);
        if (message.isEmpty())
            message = QStringLiteral("Failed testing parameters.");
    }
    else if (command == Key::run)
    {
        // A run that may not write the folder leaves everything there alone.
        if (!lockOutputFolder())
            return finishCommand(1, QString(), QString());
        stopWritesFailedStatus();
        result = runCommand();
        message = QStringLiteral("Failed on extraction.");
    }
    else if (command == Key::version)
    {
        result = validationNumber_ ? validateVersion() : versionCommand();
        message = QStringLiteral("Failed retrieving version.");
    }
    else
    {
        reportAppProblem(QStringLiteral("This command has not been defined: ") + command);
        result = 1;
        message = QStringLiteral("Command not defined.");
    }
    return finishCommand(result, path, message);
}

int SISConfig::groupTest(const QString& group, QString& message)
{
    emit writeProgress(Protocol::StartProgress, 0);
    int result = checkRequirements(group);
    if (result != 0)
    {
        message = QStringLiteral("Parameter not valid.");
        emit writeTest(Protocol::Fail, group, message);
    }
    else
    {
        try
        {
            result = testGroup(group, message);
        }
        catch (...)
        {
            result = 1;
            message =
                appType_ +
                QStringLiteral(" threw an uncaught exception, please contact Vantrel Software Support to fix "
                               "this issue.");
            emit writeError(appType_ + QStringLiteral(" Problem"), message);
        }
    }
    emit writeProgress(Protocol::EndProgress);
    return result;
}

int SISConfig::versionCommand()
{
    emit writeProgress(Protocol::StartProgress, 1);
    emit writeVersion(appAlias_, appVersion_, appMinFrontEndVersion_,
                      appShortName_ + QStringLiteral(" (") + appType_ + QLatin1Char(')'),
                      AppPaths::executableFolder() + QStringLiteral("/help/") + appUserGuideFileName_);
    emit writeProgress(Protocol::EndProgress);
    return 0;
}

void SISConfig::reportAppProblem(const QString& message)
{
    emit writeError(QStringLiteral("App Problem"), message);
}

int SISConfig::finishCommand(int code, const QString& folder, const QString& message)
{
    const std::lock_guard<std::mutex> guard(StopSignals::endLock());
    // Only a run has begun a summary.
    summary_.finish(code == 0 ? RunSummary::Outcome::Success : RunSummary::Outcome::Failed, code);
    writeStatusFiles(code, folder, message);
    finishedCode_ = code;
    return code;
}

void SISConfig::writeStatusFiles(int code, const QString& folder, const QString& message)
{
    if (folder.isEmpty())
        return;
    const QString word = code == 0 ? QStringLiteral("Succeeded") : QStringLiteral("Failed");
    const QString text = code == 0 ? word : message;
    StatusFiles::writeLine(folder, appType_ + QStringLiteral("Status.tmp"),
                           StatusFiles::timeStamp() + QLatin1Char('\t') + word + QLatin1Char('\t') + text);
    StatusFiles::writeLine(folder, appFinishedFile_, QStringLiteral("finished"));
}
