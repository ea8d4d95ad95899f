#include "SISConfig.h"

#include "BridgeTaskBase.h"
#include "ExportEngineFactory.h"
#include "KeyWords.h"
#include "LogManager.h"
#include "ParamTypes.h"
#include "SISMessageWriter.h"
#include "StopSignals.h"

SISConfig::SISConfig(QObject* parent) : AppBase(parent)
{
    appFrameworkVersion_ = QStringLiteral("1.0.0.2");
    appType_ = QStringLiteral("Data Extractor");
    engine_.reset(createExportEngine());
    groups_.insert(Key::connection, {});
    groups_.insert(Key::schoolGroup, {});
    connectEngine();
}

SISConfig::~SISConfig()
{
    // The stop's action refers to this object.
    StopSignals::setAction({});
}

void SISConfig::connectEngine()
{
    BridgeTaskBase* e = engine_.get();
    SISMessageWriter* w = SISMessageWriter::instance();
    connect(e, &AppTaskBase::writeLog, LogManager::instance(), &LogManager::log);
    connect(e, &AppTaskBase::writeVersion, w, &SISMessageWriter::outVersion);
    connect(e, &AppTaskBase::writeParams, w, &SISMessageWriter::outParams);
    connect(e, &AppTaskBase::writeHiddenParam, w, &SISMessageWriter::outHiddenParam);
    connect(e, &AppTaskBase::writeList, w, &SISMessageWriter::outList);
    connect(e, &AppTaskBase::writeFile, w, &SISMessageWriter::outFile);
    connect(e, &AppTaskBase::writeNumber, w, &SISMessageWriter::outNumber);
    connect(e, &AppTaskBase::writeDate, w, &SISMessageWriter::outDate);
    connect(e, &AppTaskBase::writeTest, w, &SISMessageWriter::outTest);
    connect(e, &AppTaskBase::writeProgress, w, &SISMessageWriter::outProgress);
    connect(e, &AppTaskBase::writeProgressIncrement, w, &SISMessageWriter::outProgress_increment);
    connect(e, &AppTaskBase::writeProgressWarning, w, &SISMessageWriter::outProgress_warning);
    connect(e, &AppTaskBase::writeSetting, w, &SISMessageWriter::outSetting);
    connect(e, &AppTaskBase::writeSettingIncrement, w,
            qOverload<QString, QString, QString, QString>(&SISMessageWriter::outSetting_increment));
    connect(e, &AppTaskBase::writeWarning, w, &SISMessageWriter::outWarning);
    connect(e, &AppTaskBase::writeMissing, w, &SISMessageWriter::outMissing);
    connect(e, &AppTaskBase::writeError, w, &SISMessageWriter::outError);
    connect(e, &AppTaskBase::clearMessages, w, &SISMessageWriter::clearMessages);

    connect(e, &BridgeTaskBase::tableStarted, &summary_, &RunSummary::tableStarted);
    connect(e, &BridgeTaskBase::tableEnded, &summary_, &RunSummary::tableEnded);
    connect(e, &BridgeTaskBase::attendanceWindowRead, &summary_, &RunSummary::attendanceWindowRead);
    connect(e, &BridgeTaskBase::updateFileDelivered, &summary_, &RunSummary::updateFileDelivered);
    connect(LogManager::instance(), &LogManager::errorLogged, &summary_, &RunSummary::errorLogged);
}

void SISConfig::defineGlobalParams()
{
    const QString global = Key::global;
    const QString extractAll = QStringLiteral("Extract All Data");
    const QString extractAllHelp = QStringLiteral("Extract all available data.");
    addParam(global, Key::all, extractAll, ParamType::Switch, extractAllHelp, QString());
    addParam(global, Key::att, extractAll, ParamType::Switch, extractAllHelp, QString());
    addParam(global, Key::demo, extractAll, ParamType::Switch, extractAllHelp, QString());
    addParam(global, Key::helpSwitch, QStringLiteral("Help"), ParamType::Switch,
             QStringLiteral("Show command line usage."), QString());
    addParam(global, Key::group, QStringLiteral("Group"), ParamType::Default, QStringLiteral("Set group."),
             QString());
    addParam(global, Key::paramkey, QStringLiteral("Param Key"), ParamType::Default,
             QStringLiteral("Return parameter information"), QString());
    addParam(global, Key::path, QStringLiteral("SDE Folder"), ParamType::Folder,
             QStringLiteral("Set the SDE Folder"), QString());
    addParam(global, Key::logpath, QStringLiteral("Log Folder"), ParamType::Folder,
             QStringLiteral("Set the Log Folder"), QString());
    addParam(global, Key::log, QStringLiteral("Log"), ParamType::Default,
             QStringLiteral("Set the logging style."), QString());
    addParam(global, Key::validate, QStringLiteral("Validate"), ParamType::Default,
             QStringLiteral("Validate command line interface features."), QString());
    addParam(global, Key::inactivedate, QStringLiteral("Inactive Date"), ParamType::Default,
             QStringLiteral("Include Inactive Staff and Students after this date."), QString());
    addParam(global, Key::year, QStringLiteral("SchoolYear"), ParamType::Default,
             QStringLiteral("School Year, hidden used for testing"), QString());
    addParam(global, Key::teacher, QStringLiteral("Teacher"), ParamType::BridgeList,
             QStringLiteral("List of teachers available in associated bridge"), QString());

    addRequirement(Key::params, {Key::group});
    addRequirement(Key::params, {Key::paramkey});
    addRequirement(Key::test, {Key::group});
    addRequirement(Key::run, {Key::path});
    addPrerequisite(Key::run, Key::connection);
    addPrerequisite(Key::run, Key::schoolGroup);
}

void SISConfig::publishIdentity()
{
    defineGlobalParams();
    params_.insert(QStringLiteral("appTitle_"), appTitle_);
    params_.insert(QStringLiteral("appType_"), appType_);
    params_.insert(QStringLiteral("appShortName_"), appShortName_);
    params_.insert(QStringLiteral("appVersion_"), appVersion_);
    params_.insert(QStringLiteral("appFrameworkVersion_"), appFrameworkVersion_);
    params_.insert(QStringLiteral("appAlias_"), appAlias_);
    params_.insert(QStringLiteral("appUserGuideFileName_"), appUserGuideFileName_);
    params_.insert(QStringLiteral("appFinishedFile_"), appFinishedFile_);
    params_.insert(QStringLiteral("appBuildDate_"), appBuildDate_);
}
