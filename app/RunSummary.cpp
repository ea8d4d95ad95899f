#include "RunSummary.h"

#include "PasswordText.h"
#include "XSystemPath.h"
#include "platform/NativeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace
{

const QString kSuffix = QStringLiteral(".summary.json");
const QString kPartSuffix = QStringLiteral(".part");

// ISO 8601 with the offset spelled out, also for UTC.
QString localTime(const QDateTime& time)
{
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + QLatin1Char(offset < 0 ? '-' : '+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QJsonValue textOrNull(const std::optional<QString>& text)
{
    return text ? QJsonValue(*text) : QJsonValue();
}

QString outcomeText(RunSummary::Outcome outcome)
{
    switch (outcome)
    {
    case RunSummary::Outcome::Success:
        return QStringLiteral("success");
    case RunSummary::Outcome::Failed:
        return QStringLiteral("failed");
    case RunSummary::Outcome::Stopped:
        return QStringLiteral("stopped");
    }
    return QString();
}

bool sameFolder(const QString& a, const QString& b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    const QString canonicalB = QFileInfo(b).canonicalFilePath();
    if (!canonicalA.isEmpty() && !canonicalB.isEmpty())
        return canonicalA == canonicalB;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
           QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace

RunSummary::RunSummary(QObject* parent) : QObject(parent) {}

void RunSummary::begin(const Run& run)
{
    const std::lock_guard<std::mutex> guard(lock_);
    active_ = true;
    run_ = run;
    start_ = QDateTime::currentDateTime();
    logFile_.clear();
    outputFolder_.clear();
    tables_.clear();
    tableOpen_ = false;
    windows_.clear();
    updateFile_.reset();
    recordsSent_ = 0;
    firstError_.reset();
}

void RunSummary::setLogFile(const QString& logFile, const QString& outputFolder)
{
    const std::lock_guard<std::mutex> guard(lock_);
    logFile_ = logFile;
    outputFolder_ = outputFolder;
}

void RunSummary::finish(Outcome outcome, int exitStatus)
{
    const std::lock_guard<std::mutex> guard(lock_);
    if (!active_)
        return;
    active_ = false;
    if (logFile_.isEmpty())
        return;
    const QJsonObject summary = toJson(outcome, exitStatus, QDateTime::currentDateTime());
    writeFile(QJsonDocument(summary).toJson(QJsonDocument::Indented));
}

QString RunSummary::fileName(const QString& logStem, const QDateTime& start, int copy)
{
    QString name = logStem + QLatin1Char('-') + start.toString(QStringLiteral("HHmmss"));
    if (copy > 1)
        name += QLatin1Char('-') + QString::number(copy);
    return name + kSuffix;
}

QString RunSummary::logDayOf(const QString& file, const QString& logBaseName)
{
    // Anchored on the whole base name: school 0042 never takes school 00421's files.
    const QRegularExpression summary(QLatin1Char('^') + QRegularExpression::escape(logBaseName) +
                                         QStringLiteral("-(\\d{4}-\\d{2}-\\d{2})-\\d{6}(?:-\\d+)?") +
                                         QRegularExpression::escape(kSuffix) + QStringLiteral("(?:") +
                                         QRegularExpression::escape(kPartSuffix) + QStringLiteral(")?$"),
                                     QRegularExpression::CaseInsensitiveOption);
    return summary.match(file).captured(1);
}

void RunSummary::tableStarted(QString title, QString file)
{
    const std::lock_guard<std::mutex> guard(lock_);
    if (!active_)
        return;
    tables_.push_back({title, file, 0, false, false});
    tableOpen_ = true;
}

void RunSummary::tableEnded(qint64 rows, bool complete)
{
    const std::lock_guard<std::mutex> guard(lock_);
    if (!active_ || !tableOpen_)
        return;
    tableOpen_ = false;
    Table& table = tables_.back();
    table.rows = rows;
    table.ended = true;
    table.complete = complete;
}

void RunSummary::attendanceWindowRead(QString table, QString from, QString to)
{
    const std::lock_guard<std::mutex> guard(lock_);
    if (!active_)
        return;
    windows_.push_back({table, from, to});
    // Read into the attendance cache: the table writes no file.
    if (tableOpen_)
        tables_.back().file.reset();
}

void RunSummary::updateFileDelivered(QString file, qint64 records)
{
    const std::lock_guard<std::mutex> guard(lock_);
    if (!active_)
        return;
    updateFile_ = file;
    recordsSent_ = records;
}

void RunSummary::errorLogged(QString message)
{
    const std::lock_guard<std::mutex> guard(lock_);
    if (active_ && !firstError_)
        firstError_ = PasswordText::maskValues(message, run_.secrets);
}

QJsonObject RunSummary::toJson(Outcome outcome, int exitStatus, const QDateTime& end) const
{
    QJsonArray tables;
    for (const Table& table : tables_)
        tables.append(QJsonObject{{QStringLiteral("title"), table.title},
                                  {QStringLiteral("file"), textOrNull(table.file)},
                                  {QStringLiteral("rows"), table.rows},
                                  {QStringLiteral("complete"), table.ended && table.complete}});

    QJsonObject summary{{QStringLiteral("command"), run_.command},
                        {QStringLiteral("school"), run_.school},
                        {QStringLiteral("district"), run_.district},
                        {QStringLiteral("dsn"), run_.dsn},
                        {QStringLiteral("start"), localTime(start_)},
                        {QStringLiteral("end"), localTime(end)},
                        {QStringLiteral("outcome"), outcomeText(outcome)},
                        {QStringLiteral("exitStatus"), exitStatus},
                        {QStringLiteral("tables"), tables},
                        {QStringLiteral("firstError"), textOrNull(firstError_)}};
    if (run_.attendance)
    {
        QJsonArray windows;
        for (const Window& window : windows_)
            windows.append(QJsonObject{
                {QStringLiteral("table"), window.table},
                {QStringLiteral("from"), window.from.isEmpty() ? QJsonValue() : QJsonValue(window.from)},
                {QStringLiteral("to"), window.to.isEmpty() ? QJsonValue() : QJsonValue(window.to)}});
        summary.insert(QStringLiteral("attendance"),
                       QJsonObject{{QStringLiteral("windows"), windows},
                                   {QStringLiteral("recordsSent"), updateFile_ ? recordsSent_ : 0},
                                   {QStringLiteral("updateFile"), textOrNull(updateFile_)}});
    }
    return summary;
}

void RunSummary::writeFile(const QByteArray& bytes) const
{
    const QFileInfo log(logFile_);
    const QString folder = log.absolutePath();
    // The front-end reads the output folder: a log kept there gets no summary.
    if (sameFolder(folder, outputFolder_))
        return;
    const QString stem = log.completeBaseName();
    // Written whole under a temporary name, then given a name no file has:
    // two runs of one second each keep their own.
    for (int copy = 1; copy < 1000; ++copy)
    {
        const QString path = QDir(folder).filePath(fileName(stem, start_, copy));
        const std::filesystem::path target = XSystemPath::FromText(path);
        const std::filesystem::path part = XSystemPath::FromText(path + kPartSuffix);
        std::error_code ignored;
        if (std::filesystem::exists(std::filesystem::symlink_status(target, ignored)))
            continue;
        const int fd = NativeFile::Open(part, NativeFile::Mode::Exclusive);
        if (fd < 0)
        {
            if (errno == EEXIST)
                continue;
            return;
        }
        const bool written =
            NativeFile::WriteAll(fd, bytes.constData(), bytes.size()) && NativeFile::Sync(fd);
        const bool closed = NativeFile::Close(fd);
        const bool placed = written && closed && NativeFile::MoveToNew(part, target);
        const int error = errno;
        if (placed)
        {
            NativeFile::SyncFolder(target.parent_path());
            return;
        }
        std::filesystem::remove(part, ignored);
        if (!written || !closed || error != EEXIST)
            return;
    }
}
