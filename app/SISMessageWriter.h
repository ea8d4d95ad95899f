#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// Writes the TAB-separated protocol lines the front-end reads. "missing" lines
// are held back until the next warning or error, so a requirement check reports
// every blank parameter once, right before its conclusion.
class SISMessageWriter : public QObject
{
    Q_OBJECT
public:
    static SISMessageWriter* instance();

    const QStringList& pendingMissing() const { return pending_; }

public slots:
    void outVersion(QString alias, QString version, QString minversion, QString vname, QString guide);
    void outParams(QString paramkey, QString type, QString paramname, QString help, QString defaultValue);
    void outHiddenParam(QString paramkey, QString paramvalue, QString defaultValue);
    void outList(QString type, QString paramvalue, QString displaykey, QString displayname,
                 QString defaultValue);
    void outTree(QString paramvalue, QString displaykey, QString parentkey, QString displayname,
                 QString defaultValue);
    void outHidden(QString paramkey, QString type, QString paramname, QString help, QString defaultValue);
    void outFile(QString paramkey, QString extension, QString defaultValue);
    void outNumber(QString paramkey, QString extension, QString defaultValue);
    void outDate(QString paramkey, QString startdate, QString enddate, QString defaultValue);
    void outTest(QString success, QString group, QString message);
    void outStatus(QString success, QString date, QString message);
    void outManage(QString success, QString message);
    void outProgress(QString progress_type, int progress_total = -1);
    void outProgress_increment(QString progress_message = QString());
    void outProgress_warning(QString progress_message = QString());
    void outSetting(QString setting_type, int setting_total = -1);
    void outSetting_increment(QString setting_type, QString group, QString key, QString value);
    void outSetting_increment(QString setting_type, QString group, QString key, QString value,
                              QString grouping);
    void outWarning(QString key, QString message);
    void outMissing(QString paramkey, QString message);
    void outError(QString key, QString message);
    void clearMessages();

private:
    SISMessageWriter() = default;

    void lineOut(const QStringList& fields);
    void lineErr(const QStringList& fields);
    void flushMissing();

    QStringList pending_;
};
