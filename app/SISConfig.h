#pragma once

#include "AppBase.h"
#include "OptionScanner.h"
#include "RunLock.h"
#include "RunSummary.h"

#include <QDomElement>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class BridgeTaskBase;

// The configurable application: the parameter model, the command line and its
// commands, defaults from SVConfig.xml and the status files.
class SISConfig : public AppBase
{
    Q_OBJECT
public:
    explicit SISConfig(QObject* parent = nullptr);
    ~SISConfig() override;

    int processCommandLine(int argc, char** argv);
    int processCommandLine(const QStringList& arguments);

    // Parameter model.
    ParamDef* addParam(const QString& group, const QString& key, const QString& name, const QString& type,
                       const QString& help, const QString& defaultValue);
    ParamDef* setParam(const QString& group, const QString& key, const QString& name, const QString& type,
                       const QString& help, const QString& defaultValue);
    void addParent(ParamDef* def, const QString& key);
    void addRequirement(const QString& command, const QStringList& keys);
    void addPrerequisite(const QString& command, const QString& other);
    int checkMissing(const QString& key);
    int anyMissing(const QStringList& keys);
    int checkRequirements(const QString& command);
    int paramsCommand(QString& message);
    int returnValues(const ParamDef& def, QString& message);

    int finishCommand(int code, const QString& folder, const QString& message);
    void reportAppProblem(const QString& message);

    QString AppDataPath();
    int commandDefaults();

    std::optional<int> validationNumber() const { return validationNumber_; }
    int extractionFlags() const { return extractionFlags_; }
    BridgeTaskBase* engine() const { return engine_.get(); }

protected:
    // What the application adds on top of the frame.
    virtual int testGroup(const QString& group, QString& message) = 0;
    virtual int listHandler(const QString& type, const QString& key) = 0;
    virtual void settingsFromElement(const QDomElement& element) = 0;

    // Registers the global parameters, then publishes the identity values.
    void publishIdentity();

    void writeStatusFiles(int code, const QString& folder, const QString& message);

    // Reading and preparing the command line's values: neither exits nor touches
    // files or data sources (only Qt warnings go out), so they can be driven alone.
    OptionScanner::Result scanArguments(const QStringList& arguments, QString& programName);
    void prepareValues();

private:
    void defineGlobalParams();
    void connectEngine();
    void writeUsage(const QString& programName);
    QStringList passwordKeys() const;
    QStringList maskedArguments() const;
    int dispatch(const QString& command);
    int groupTest(const QString& group, QString& message);
    int versionCommand();
    int runCommand();
    bool lockOutputFolder();
    void stopWritesFailedStatus();
    bool setUpRunLog();
    int runExtraction();
    QString findSettingsFile();

    // Validation mode: canned answers that let the front-end exercise every kind of reply.
    int validateParams(QString& message);
    int validateDefaults();
    int validateTest(const QString& group, QString& message);
    int validateRun();
    int validateVersion();
    // The common answer of a validation number: 2 writes nothing, 3 only starts
    // the progress; any other runs inner inside a started and ended progress.
    int progressAnswer(int n, const std::function<void()>& inner = {});
    int demoValues(const ParamDef& def);

    std::unique_ptr<BridgeTaskBase> engine_;
    QStringList arguments_;
    std::optional<int> validationNumber_;
    int extractionFlags_ = -1;
    // Keeps a second run out of the output folder until this process ends.
    RunLock outputLock_;
    // The code the status files were written with; a stop after them changes nothing.
    std::optional<int> finishedCode_;
    // The run's summary beside its log; written with the status files.
    RunSummary summary_;
    // The update files in the output folder before the engine started; a
    // stop removes the ones the interrupted run began.
};
