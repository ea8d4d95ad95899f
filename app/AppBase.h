#pragma once

#include "AppTaskBase.h"
#include "ParamDef.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class LogManager;

// The generic application frame: identity, the parameter stores, the protocol
// signals, and the log header and log styles.
class AppBase : public QObject
{
    Q_OBJECT
public:
    explicit AppBase(QObject* parent = nullptr);
    ~AppBase() override;

    void LogHeader(const QString& text);
    void setLogStyle(LogManager* logManager, const QString& style);
    static void qMessageOutput(QtMsgType type, const QMessageLogContext& context, const QString& text);
    QString CreateTempLocalDBFolder(const QString& name);

    // Value of a parameter; a missing key reads as empty.
    QString paramValue(const QString& key) const { return params_.value(key); }
    bool switchSet(const QString& key) const { return switches_.value(key, false); }
    const ParamMap& params() const { return params_; }
    const QStringList& switchList() const { return switchList_; }
    const QStringList& valueOptionList() const { return valueOptionList_; }
    const ParamDef* definition(const QString& key) const { return definitions_.value(key, nullptr); }
    bool hasGroup(const QString& group) const { return groups_.contains(group); }
    QList<const ParamDef*> groupDefinitions(const QString& group) const;
    bool logStyleExtract() const { return logStyleExtract_; }

    const QString& appTitle() const { return appTitle_; }
    const QString& appType() const { return appType_; }
    const QString& appShortName() const { return appShortName_; }
    const QString& appFinishedFile() const { return appFinishedFile_; }

signals:
    void writeLog(int logLevel, QString message, QString method);
    void writeVersion(QString alias, QString version, QString minversion, QString vname, QString guide);
    void writeParams(QString paramkey, QString type, QString paramname, QString help, QString defaultValue);
    void writeHiddenParam(QString paramkey, QString paramvalue, QString defaultValue);
    void writeList(QString type, QString paramkey, QString displaykey, QString displayname,
                   QString defaultValue);
    void writeTree(QString paramkey, QString displaykey, QString parentkey, QString displayname,
                   QString defaultValue);
    void writeHidden(QString paramkey, QString type, QString paramname, QString help, QString defaultValue);
    void writeFile(QString paramkey, QString extension, QString defaultValue);
    void writeNumber(QString paramkey, QString extension, QString defaultValue);
    void writeDate(QString paramkey, QString startdate, QString enddate, QString defaultValue);
    void writeTest(QString success, QString group, QString message);
    void writeStatus(QString success, QString date, QString message);
    void writeManage(QString success, QString message);
    void writeProgress(QString progress_type, int progress_total = -1);
    void writeProgressIncrement(QString progress_message = QString());
    void writeProgressWarning(QString progress_message = QString());
    void writeSetting(QString setting_type, int setting_total = -1);
    void writeSettingIncrement(QString setting_type, QString group, QString key, QString value);
    void writeSettingIncrementGrouping(QString setting_type, QString group, QString key, QString value,
                                       QString grouping);
    void writeWarning(QString key, QString message);
    void writeMissing(QString paramkey, QString message);
    void writeError(QString key, QString message);
    void clearMessages();

protected:
    // Identity of the application.
    QString appTitle_;
    QString appType_;
    QString appShortName_;
    QString appVersion_;
    QString appFrameworkVersion_;
    QString appAlias_;
    QString appUserGuideFileName_;
    QString appFinishedFile_;
    QString appBuildDate_;
    QString oldShortName_;
    QString appMinFrontEndVersion_;

    // Parameter stores.
    QStringList switchList_;
    QStringList valueOptionList_;
    ParamMap params_;
    QMap<QString, bool> switches_;
    QMap<QString, QList<ParamDef*>> groups_;
    QMap<QString, ParamDef*> definitions_;
    std::vector<std::unique_ptr<ParamDef>> ownedDefinitions_;
    QMap<QString, QList<QStringList>> requirements_;
    QMap<QString, QStringList> prerequisites_;

    bool logStyleExtract_ = false;

private:
    void connectMessageWriter();
};
