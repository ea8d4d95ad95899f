#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>
#include <vector>

// One JSON file per run for monitoring, beside the day's log (never in the
// output folder): what the run was asked, how it ended, each data table with
// its lines, the attendance it read and sent, and its first error. A stop
// writes it from its own thread while the run goes on, so every member is
// read and changed under the lock.
class RunSummary : public QObject
{
    Q_OBJECT
public:
    enum class Outcome
    {
        Success,
        Failed,
        Stopped,
    };

    struct Run
    {
        QString command; // "run" or "run --att"
        QString school;
        QString district;
        QString dsn;
        bool attendance = false; // the run reads attendance into an update file
        QStringList secrets;     // the password values given, masked in what the summary quotes
    };

    explicit RunSummary(QObject* parent = nullptr);

    // A run starts now: what an earlier one noted is forgotten.
    void begin(const Run& run);
    // The run's log file (empty: none could be opened) and its output folder,
    // which never takes the summary.
    void setLogFile(const QString& logFile, const QString& outputFolder);
    // Writes the summary of the run begun, once; without a log folder, or when
    // it cannot be written, nothing happens.
    void finish(Outcome outcome, int exitStatus);

    // "<log file name without .log>-<HHmmss>[-<copy>].summary.json".
    static QString fileName(const QString& logStem, const QDateTime& start, int copy);
    // The day (yyyy-MM-dd) of the log a summary file (or one being written)
    // of the log base name belongs to; empty for any other file.
    static QString logDayOf(const QString& file, const QString& logBaseName);

public slots:
    void tableStarted(QString title, QString file);
    void tableEnded(qint64 rows, bool complete);
    void attendanceWindowRead(QString table, QString from, QString to);
    void updateFileDelivered(QString file, qint64 records);
    void errorLogged(QString message);

private:
    struct Table
    {
        QString title;
        std::optional<QString> file;
        qint64 rows = 0;
        bool ended = false;
        bool complete = false;
    };
    struct Window
    {
        QString table;
        QString from;
        QString to;
    };

    QJsonObject toJson(Outcome outcome, int exitStatus, const QDateTime& end) const;
    void writeFile(const QByteArray& bytes) const;

    mutable std::mutex lock_;
    bool active_ = false;
    Run run_;
    QDateTime start_;
    QString logFile_;
    QString outputFolder_;
    std::vector<Table> tables_;
    bool tableOpen_ = false;
    std::vector<Window> windows_;
    std::optional<QString> updateFile_;
    qint64 recordsSent_ = 0;
    std::optional<QString> firstError_;
};
