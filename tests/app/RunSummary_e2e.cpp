// The summary a run leaves beside its log for monitoring: real runs of
// tsisbridge over one demo district, whose files the summary must agree with.

#include "AttendanceFixture.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace
{

const QRegularExpression kLocalTime(u"^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$"_s);
const QRegularExpression kDay(u"^\\d{4}-\\d\\d-\\d\\d$"_s);

class RunSummaryFile : public SharedDemo<RunSummaryFile>
{
public:
    static constexpr const char* kDatabase = "";

protected:
    static QString folder(const QString& name) { return box_->path(name); }

    static QStringList runArgs(const QString& name, const QString& school, const QStringList& more = {})
    {
        return words(u"run --dsn=TSISDemo --district=16 --useyear=true --school="_s + school) +
               QStringList{u"--year="_s + QString::number(currentSchoolYear()),
                           u"--path="_s + folder(name + u"-out"_s),
                           u"--logpath="_s + folder(name + u"-logs"_s)} +
               more;
    }

    // The one summary in the logs folder of a run, with its file name.
    static QJsonObject summaryOf(const QString& name, QString* fileName = nullptr,
                                 QByteArray* bytes = nullptr)
    {
        const QString logs = folder(name + u"-logs"_s);
        const QStringList files = QDir(logs).entryList({u"*.summary.json*"_s}, QDir::Files);
        EXPECT_EQ(files.size(), 1) << qPrintable(files.join(QLatin1Char(' ')));
        if (files.isEmpty())
            return {};
        const QByteArray text = e2e::ReadFile(logs + QLatin1Char('/') + files.first());
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(text, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << text.constData();
        EXPECT_TRUE(document.isObject());
        if (fileName)
            *fileName = files.first();
        if (bytes)
            *bytes = text;
        return document.object();
    }
};

// Each table's rows are its file's lines (the data files carry no header
// line); the update file's records are its tables' rows. Old summaries go
// with their day's log, and only those of this log name.
TEST_F(RunSummaryFile, ASuccessfulRunCountsTheLinesOfEveryFile)
{
    const QString logs = folder(u"full-logs"_s);
    const QString base = u"TSIS_SchoolMAX--303-"_s;
    for (int day = 1; day <= 8; ++day)
        BridgeSandbox::writeText(logs + QLatin1Char('/') + base + u"2020-01-0%1.log"_s.arg(day), "old");
    const QStringList planted{
        base + u"2020-01-01-080000.summary.json"_s, base + u"2020-01-02-080000-2.summary.json"_s,
        base + u"2020-01-02-090000.summary.json.part"_s, base + u"2020-01-03-080000.summary.json"_s,
        u"TSIS_SchoolMAX--3030-2020-01-01-080000.summary.json"_s};
    for (const QString& file : planted)
        BridgeSandbox::writeText(logs + QLatin1Char('/') + file, "{}");

    ASSERT_EQ(box_->run(runArgs(u"full"_s, u"303"_s)).status, 0);

    // Nine daily logs: the two oldest days go, with their summaries.
    EXPECT_EQ(QDir(logs).entryList({u"*-2020-*.summary.json*"_s}, QDir::Files, QDir::Name),
              QStringList({planted[3], planted[4]}));
    for (const QString& file : planted)
        QFile::remove(logs + QLatin1Char('/') + file);

    QString name;
    const QJsonObject s = summaryOf(u"full"_s, &name);
    EXPECT_EQ(s.value(u"command"_s).toString(), u"run"_s);
    EXPECT_EQ(s.value(u"school"_s).toString(), u"303"_s);
    EXPECT_EQ(s.value(u"district"_s).toString(), u"16"_s);
    EXPECT_EQ(s.value(u"dsn"_s).toString(), u"TSISDemo"_s);
    EXPECT_EQ(s.value(u"outcome"_s).toString(), u"success"_s);
    EXPECT_EQ(s.value(u"exitStatus"_s).toInt(-1), 0);
    EXPECT_TRUE(s.value(u"firstError"_s).isNull());
    const QString start = s.value(u"start"_s).toString();
    EXPECT_TRUE(kLocalTime.match(start).hasMatch()) << qPrintable(start);
    EXPECT_TRUE(kLocalTime.match(s.value(u"end"_s).toString()).hasMatch());
    // Named after the log and the start time.
    EXPECT_EQ(name, base + today() + QLatin1Char('-') + start.mid(11, 8).remove(QLatin1Char(':')) +
                        u".summary.json"_s);

    const QString out = folder(u"full-out"_s);
    const QJsonObject attendance = s.value(u"attendance"_s).toObject();
    const QString update = attendance.value(u"updateFile"_s).toString();
    ASSERT_TRUE(QFile::exists(out + QLatin1Char('/') + update)) << qPrintable(update);
    const QJsonArray tables = s.value(u"tables"_s).toArray();
    EXPECT_GT(tables.size(), 30);
    qint64 updateRows = 0;
    for (const QJsonValue& value : tables)
    {
        const QJsonObject table = value.toObject();
        const QString file = table.value(u"file"_s).toString();
        const qint64 rows = table.value(u"rows"_s).toInteger(-1);
        SCOPED_TRACE(table.value(u"title"_s).toString().toStdString());
        EXPECT_TRUE(table.value(u"complete"_s).toBool());
        if (file.endsWith(u".sef"_s))
            EXPECT_TRUE(QFile::exists(out + QLatin1Char('/') + file) &&
                        rows == e2e::ReadFile(out + QLatin1Char('/') + file).count('\n'))
                << rows;
        else if (file == update)
            updateRows += rows;
        else
            EXPECT_TRUE(table.value(u"file"_s).isNull() && rows == 0);
    }
    EXPECT_GT(updateRows, 0);
    EXPECT_EQ(attendance.value(u"recordsSent"_s).toInteger(), updateRows);
    EXPECT_EQ(updateRecords(e2e::ReadFile(out + QLatin1Char('/') + update)).size(), updateRows);
    EXPECT_EQ(QDir(out).entryList({u"*.json*"_s}), QStringList());
}

// A table failing on a later row: marked incomplete, the run failed.
TEST_F(RunSummaryFile, AnIncompleteTableFailsTheRun)
{
    const DemoAttendanceFile sis(box_->path(u"demo/tsisdemo-tsis.db"_s));
    const QStringList columns = sis.rows(u"SELECT name FROM pragma_table_info('ST010')"_s);
    ASSERT_TRUE(columns.contains(u"LOCK_COMB"_s));
    QStringList select = columns;
    select.replace(columns.indexOf(u"LOCK_COMB"_s),
                   u"CASE WHEN ID_NBR > (SELECT MIN(ID_NBR) FROM ST010_base WHERE SCH_NBR = '101') "
                   "THEN json('not json') ELSE LOCK_COMB END AS LOCK_COMB"_s);
    ASSERT_TRUE(sis.execute(u"ALTER TABLE ST010 RENAME TO ST010_base; CREATE VIEW ST010 AS SELECT "_s +
                            select.join(u", "_s) + u" FROM ST010_base"_s));
    const int status = box_->run(runArgs(u"incomplete"_s, u"101"_s)).status;
    ASSERT_TRUE(sis.execute(u"DROP VIEW ST010; ALTER TABLE ST010_base RENAME TO ST010"_s));

    EXPECT_EQ(status, 1);
    const QJsonObject s = summaryOf(u"incomplete"_s);
    EXPECT_EQ(s.value(u"outcome"_s).toString(), u"failed"_s);
    EXPECT_EQ(s.value(u"exitStatus"_s).toInt(-1), status);
    EXPECT_TRUE(s.value(u"firstError"_s).toString().contains(u"malformed JSON"_s));
    QStringList incomplete;
    for (const QJsonValue& table : s.value(u"tables"_s).toArray())
        if (!table.toObject().value(u"complete"_s).toBool())
            incomplete << table.toObject().value(u"file"_s).toString();
    EXPECT_EQ(incomplete, QStringList{u"Students.sef"_s});
}

// SIGTERM while a table is written (slow writes hold it there).
TEST_F(RunSummaryFile, AStoppedRunLeavesAWholeSummary)
{
    const QString out = folder(u"stopped-out"_s);
    QDir().mkpath(out);
    const Launched launched =
        launchBridge(*box_, runArgs(u"stopped"_s, u"303"_s), u"stopped"_s, faultEnv(u"slow"_s, out));
    ASSERT_TRUE(pollUntil(30, [&] { return !QDir(out).entryList({u"*.sef.part"_s}, QDir::Files).isEmpty(); }))
        << "no table was begun";
    kill(launched.pid, SIGTERM);
    const int raw = waitBridge(launched, 30);
    EXPECT_TRUE(raw != -1 && WIFEXITED(raw) && WEXITSTATUS(raw) == 1);

    const QJsonObject s = summaryOf(u"stopped"_s);
    EXPECT_EQ(s.value(u"outcome"_s).toString(), u"stopped"_s);
    EXPECT_EQ(s.value(u"exitStatus"_s).toInt(-1), 1);
    EXPECT_TRUE(kLocalTime.match(s.value(u"end"_s).toString()).hasMatch());
    const QJsonArray tables = s.value(u"tables"_s).toArray();
    ASSERT_FALSE(tables.isEmpty());
    EXPECT_FALSE(tables.last().toObject().value(u"complete"_s).toBool());
}

TEST_F(RunSummaryFile, AnAttendanceUpdateListsItsWindowsAndTheRecordsSent)
{
    ASSERT_EQ(box_->run(runArgs(u"att"_s, u"202"_s, {u"--att"_s})).status, 0);
    const QJsonObject s = summaryOf(u"att"_s);
    EXPECT_EQ(s.value(u"command"_s).toString(), u"run --att"_s);
    const QJsonObject attendance = s.value(u"attendance"_s).toObject();
    const QJsonArray windows = attendance.value(u"windows"_s).toArray();
    EXPECT_GT(windows.size(), 2);
    QStringList read;
    for (const QJsonValue& value : windows)
    {
        const QJsonObject window = value.toObject();
        const QString from = window.value(u"from"_s).toString();
        const QString to = window.value(u"to"_s).toString();
        EXPECT_TRUE(kDay.match(from).hasMatch() && kDay.match(to).hasMatch() && from <= to)
            << qPrintable(from) << " " << qPrintable(to);
        read.append(window.value(u"table"_s).toString());
    }
    read.removeDuplicates();
    EXPECT_EQ(read, QStringList({u"Student Period Attendance"_s, u"Student Daily Attendance"_s}));
    EXPECT_EQ(windows.last().toObject().value(u"to"_s).toString(),
              QDate::currentDate().toString(Qt::ISODate));

    const QString out = folder(u"att-out"_s);
    const QStringList updates = updateFiles(out);
    ASSERT_EQ(updates.size(), 1);
    EXPECT_EQ(attendance.value(u"updateFile"_s).toString(), updates.first());
    const qsizetype records = updateRecords(lastUpdate(out)).size();
    EXPECT_GT(records, 0);
    EXPECT_EQ(attendance.value(u"recordsSent"_s).toInteger(-1), records);
}

// A password the server refuses, given on the command line or in a password
// file: the first error is told, the password shows nowhere in the summary.
TEST_F(RunSummaryFile, AWrongPasswordStaysOutOfTheFirstError)
{
    std::string why;
    e2e::RequirePostgres(true, e2e::PostgresAvailable(why), why);
    if (IsSkipped() || HasFatalFailure())
        return;
    auto pg = [](const char* name) { return QByteArray::fromStdString(e2e::Env(name)); };
    const QString wrong = QString::fromUtf8(pg("TSIS_PG_SCRAM_PASSWORD")) + u"x"_s;
    ASSERT_GT(wrong.size(), 1);
    box_->addPostgresSource(u"ScramPG"_s, QString::fromUtf8(pg("TSIS_PG_PORT")),
                            QString::fromUtf8(pg("TSIS_PG_DB")));
    const QString passwordFile = folder(u"password"_s);
    BridgeSandbox::writeText(passwordFile, wrong.toUtf8() + "\n");

    const QList<QPair<QString, QStringList>> ways = {
        {u"pwd"_s, {u"--pwd="_s + wrong}},
        {u"pwdfile"_s, {}},
    };
    for (const auto& [name, option] : ways)
    {
        SCOPED_TRACE(name.toStdString());
        QStringList args = runArgs(name, u"101"_s, option);
        args.replace(1, u"--dsn=ScramPG"_s);
        args << u"--user="_s + QString::fromUtf8(pg("TSIS_PG_SCRAM_USER"));
        const QStringList env =
            option.isEmpty() ? QStringList{u"TSISBRIDGE_PASSWORD_FILE="_s + passwordFile} : QStringList();
        EXPECT_EQ(box_->run(args, env).status, 1);

        QByteArray text;
        const QJsonObject s = summaryOf(name, nullptr, &text);
        const QString firstError = s.value(u"firstError"_s).toString();
        EXPECT_FALSE(firstError.isEmpty());
        QString log;
        for (const QString& file : QDir(folder(name + u"-logs"_s)).entryList({u"*.log"_s}))
            log += BridgeSandbox::readText(folder(name + u"-logs/"_s) + file);
        EXPECT_TRUE(log.contains(u"password authentication failed"_s));
        EXPECT_TRUE(log.contains(firstError)) << qPrintable(firstError);
        EXPECT_FALSE(firstError.contains(wrong));
        EXPECT_FALSE(text.contains(wrong.toUtf8()));
        EXPECT_FALSE(text.contains(wrong.toUtf8().toHex().toUpper()));
    }
}

} // namespace
