#pragma once

#include <QDir>
#include <QFile>
#include <QMap>
#include <QObject>
#include <QString>

#include <optional>

// The single log sink of the process: a console channel ("log" lines on
// standard output) and a file channel (the day's log file).
class LogManager : public QObject
{
    Q_OBJECT
public:
    enum Channel
    {
        Console = 1,
        FileChannel = 2
    };

    // Output modes set by the log styles.
    static constexpr int BothChannels = -1;
    static constexpr int NoChannel = 0;
    static constexpr int ConsoleOff = -2;
    static constexpr int FileOff = -3;

    // Logs of one base name kept in the folder.
    static constexpr int KeptLogFiles = 7;

    static LogManager* instance();
    // Also writes the header block into the current log file, and announces a
    // non-empty title on the console.
    static LogManager* instance(const QString& name, const QString& headerTitle, const QString& headerVersion,
                                const QString& headerBuildDate);

    static QString levelName(int level);

    void write(int level, int channel, const QString& message, const QString& method);

    void setFolder(const QString& folder);
    bool setFileName(const QString& name);
    void setOutputMode(int mode) { outputMode_ = mode; }
    void setName(const QString& name) { name_ = name; }
    int outputMode() const { return outputMode_; }

    const QString& name() const { return name_; }
    QString fileName() const { return filePath_; }
    bool hasOpenFile() const { return file_.isOpen(); }

public slots:
    void log(int level, QString message, QString method);

signals:
    // Each error-level line of the file channel (and worse), for the run's summary.
    void errorLogged(QString message);

private:
    LogManager() = default;

    bool setupLogFile();
    void pruneOldLogs(const QDir& folder);
    void writeHeader(const QString& title, const QString& version, const QString& buildDate);
    void fileLine(const QString& text);
    void logOnEnabledChannels(int level, const QString& message, const QString& method);

    int outputMode_ = BothChannels;
    QString name_;
    QString fileBaseName_;
    std::optional<QDir> folder_;
    QFile file_; // opened from a descriptor: its own name is not kept
    QString filePath_;
};
