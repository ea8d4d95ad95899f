#pragma once

#include <QMap>
#include <QObject>
#include <QString>

// Key -> value text, filled by the command line; a missing key reads as empty.
using ParamMap = QMap<QString, QString>;

// The generic task: the signals through which any task reaches the protocol
// writer and the log manager of the application side.
class AppTaskBase : public QObject
{
    Q_OBJECT
public:
    explicit AppTaskBase(QObject* parent = nullptr) : QObject(parent) {}
    ~AppTaskBase() override = default;

    virtual int CalculateProgressSize(int flags)
    {
        (void)flags;
        return 0;
    }
    virtual AppTaskBase* CreateTask() { return new AppTaskBase(); }

signals:
    void writeLog(int loglevel, QString message, QString method);
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
    void writeWarning(QString key, QString message);
    void writeMissing(QString paramkey, QString message);
    void writeError(QString key, QString message);
    void clearMessages();
};
