// The summary a run leaves beside its log for monitoring: real runs of
// tsisbridge over one demo district, whose files the summary must agree with.

#include "AttendanceFixture.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace
{

const QRegularExpression
    kLocalTime(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$"));
const QRegularExpression kDay(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d$"));

// The data lines of an update file: those of its sections, below each header line.
qint64 updateRecords(const QString& file)
{
    qint64 records = 0;
    bool inSection = false;
    for (const QByteArray& line : e2e::ReadFile(file).split('\n'))
    {
        if (line.startsWith("AttStdRef\t"))
            inSection = true;
        else if (line == "*\r")
            inSection = false;
        else
            records += inSection;
    }
    return records;
}

class RunSummaryFile : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        box_ = new BridgeSandbox;
        made_ = box_->makeDemoDistrict(e2e::Today());
    }
    static void TearDownTestSuite()
    {
        delete box_;
        box_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(made_) << "make-demo-district.sh failed"; }

    static QString folder(const QString& name) { return box_->path(name); }

    static QStringList runArgs(const QString& name, const QString& school, const QStringList& more = {})
    {
        return QStringList{QStringLiteral("run"),
                           QStringLiteral("--dsn=TSISDemo"),
                           QStringLiteral("--district=16"),
                           QStringLiteral("--school=") + school,
                           QStringLiteral("--useyear=true"),
                           QStringLiteral("--year=") + QString::number(currentSchoolYear()),
                           QStringLiteral("--path=") + folder(name + QStringLiteral("-out")),
                           QStringLiteral("--logpath=") + folder(name + QStringLiteral("-logs"))} +
               more;
    }

    // Runs to its end; the exit status, or -1 when it did not end by itself.
    static int run(const QStringList& args, const QString& name, const QStringList& env = {})
    {
        const int raw = waitBridge(launchBridge(*box_, args, name, env), 120);
        return raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    // The one summary in the logs folder of a run, with its file name.
    static QJsonObject summaryOf(const QString& name, QString* fileName = nullptr,
                                 QByteArray* bytes = nullptr)
    {
        const QString logs = folder(name + QStringLiteral("-logs"));
        const QStringList files = QDir(logs).entryList({QStringLiteral("*.summary.json*")}, QDir::Files);
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

    static BridgeSandbox* box_;
    static bool made_;
};

BridgeSandbox* RunSummaryFile::box_ = nullptr;
bool RunSummaryFile::made_ = false;

// Each table's rows are its file's lines (the data files carry no header
// line); the update file's records are its tables' rows. Old summaries go
// with their day's log, and only those of this log name.
TEST_F(RunSummaryFile, ASuccessfulRunCountsTheLinesOfEveryFile)
{
    const QString logs = folder(QStringLiteral("full-logs"));
    const QString base = QStringLiteral("TSIS_SchoolMAX--303-");
    for (int day = 1; day <= 8; ++day)
        BridgeSandbox::writeText(logs + QLatin1Char('/') + base + QStringLiteral("2020-01-0%1.log").arg(day),
                                 "old");
    const QStringList planted{base + QStringLiteral("2020-01-01-080000.summary.json"),
                              base + QStringLiteral("2020-01-02-080000-2.summary.json"),
                              base + QStringLiteral("2020-01-02-090000.summary.json.part"),
                              base + QStringLiteral("2020-01-03-080000.summary.json"),
                              QStringLiteral("TSIS_SchoolMAX--3030-2020-01-01-080000.summary.json")};
    for (const QString& file : planted)
        BridgeSandbox::writeText(logs + QLatin1Char('/') + file, "{}");

    ASSERT_EQ(run(runArgs(QStringLiteral("full"), QStringLiteral("303")), QStringLiteral("full")), 0);

    // Nine daily logs: the two oldest days go, with their summaries.
    const QStringList summaries = QDir(logs).entryList({QStringLiteral("*.summary.json*")}, QDir::Files);
    EXPECT_FALSE(summaries.contains(planted[0]));
    EXPECT_FALSE(summaries.contains(planted[1]));
    EXPECT_FALSE(summaries.contains(planted[2]));
    EXPECT_TRUE(summaries.contains(planted[3]));
    EXPECT_TRUE(summaries.contains(planted[4]));
    for (const QString& file : planted)
        QFile::remove(logs + QLatin1Char('/') + file);

    QString name;
    const QJsonObject s = summaryOf(QStringLiteral("full"), &name);
    EXPECT_EQ(s.value(QStringLiteral("command")).toString(), QStringLiteral("run"));
    EXPECT_EQ(s.value(QStringLiteral("school")).toString(), QStringLiteral("303"));
    EXPECT_EQ(s.value(QStringLiteral("district")).toString(), QStringLiteral("16"));
    EXPECT_EQ(s.value(QStringLiteral("dsn")).toString(), QStringLiteral("TSISDemo"));
    EXPECT_EQ(s.value(QStringLiteral("outcome")).toString(), QStringLiteral("success"));
    EXPECT_EQ(s.value(QStringLiteral("exitStatus")).toInt(-1), 0);
    EXPECT_TRUE(s.value(QStringLiteral("firstError")).isNull());
    const QString start = s.value(QStringLiteral("start")).toString();
    EXPECT_TRUE(kLocalTime.match(start).hasMatch()) << qPrintable(start);
    EXPECT_TRUE(kLocalTime.match(s.value(QStringLiteral("end")).toString()).hasMatch());
    // Named after the log and the start time.
    EXPECT_EQ(name, base + today() + QLatin1Char('-') + start.mid(11, 8).remove(QLatin1Char(':')) +
                        QStringLiteral(".summary.json"));

    const QString out = folder(QStringLiteral("full-out"));
    const QJsonObject attendance = s.value(QStringLiteral("attendance")).toObject();
    const QString update = attendance.value(QStringLiteral("updateFile")).toString();
    ASSERT_TRUE(QFile::exists(out + QLatin1Char('/') + update)) << qPrintable(update);
    const QJsonArray tables = s.value(QStringLiteral("tables")).toArray();
    EXPECT_GT(tables.size(), 30);
    qint64 updateRows = 0;
    for (const QJsonValue& value : tables)
    {
        const QJsonObject table = value.toObject();
        const QString file = table.value(QStringLiteral("file")).toString();
        const qint64 rows = table.value(QStringLiteral("rows")).toInteger(-1);
        SCOPED_TRACE(table.value(QStringLiteral("title")).toString().toStdString());
        EXPECT_TRUE(table.value(QStringLiteral("complete")).toBool());
        if (file.endsWith(QStringLiteral(".sef")))
            EXPECT_TRUE(QFile::exists(out + QLatin1Char('/') + file) &&
                        rows == e2e::ReadFile(out + QLatin1Char('/') + file).count('\n'))
                << rows;
        else if (file == update)
            updateRows += rows;
        else
            EXPECT_TRUE(table.value(QStringLiteral("file")).isNull() && rows == 0);
    }
    EXPECT_GT(updateRows, 0);
    EXPECT_EQ(attendance.value(QStringLiteral("recordsSent")).toInteger(), updateRows);
    EXPECT_EQ(updateRecords(out + QLatin1Char('/') + update), updateRows);
    EXPECT_EQ(QDir(out).entryList({QStringLiteral("*.json*")}), QStringList());
}

// A table failing on a later row: marked incomplete, the run failed.
TEST_F(RunSummaryFile, AnIncompleteTableFailsTheRun)
{
    const DemoAttendanceFile sis(box_->path(QStringLiteral("demo/tsisdemo-tsis.db")));
    const QStringList columns = sis.rows(QStringLiteral("SELECT name FROM pragma_table_info('ST010')"));
    ASSERT_TRUE(columns.contains(QStringLiteral("LOCK_COMB")));
    QStringList select = columns;
    select.replace(
        columns.indexOf(QStringLiteral("LOCK_COMB")),
        QStringLiteral("CASE WHEN ID_NBR > (SELECT MIN(ID_NBR) FROM ST010_base WHERE SCH_NBR = '101') "
                       "THEN json('not json') ELSE LOCK_COMB END AS LOCK_COMB"));
    ASSERT_TRUE(
        sis.execute(QStringLiteral("ALTER TABLE ST010 RENAME TO ST010_base; CREATE VIEW ST010 AS SELECT ") +
                    select.join(QStringLiteral(", ")) + QStringLiteral(" FROM ST010_base")));
    const int status =
        run(runArgs(QStringLiteral("incomplete"), QStringLiteral("101")), QStringLiteral("incomplete"));
    ASSERT_TRUE(sis.execute(QStringLiteral("DROP VIEW ST010; ALTER TABLE ST010_base RENAME TO ST010")));

    EXPECT_EQ(status, 1);
    const QJsonObject s = summaryOf(QStringLiteral("incomplete"));
    EXPECT_EQ(s.value(QStringLiteral("outcome")).toString(), QStringLiteral("failed"));
    EXPECT_EQ(s.value(QStringLiteral("exitStatus")).toInt(-1), status);
    EXPECT_TRUE(s.value(QStringLiteral("firstError")).toString().contains(QStringLiteral("malformed JSON")));
    QStringList incomplete;
    for (const QJsonValue& table : s.value(QStringLiteral("tables")).toArray())
        if (!table.toObject().value(QStringLiteral("complete")).toBool())
            incomplete << table.toObject().value(QStringLiteral("file")).toString();
    EXPECT_EQ(incomplete, QStringList{QStringLiteral("Students.sef")});
}

// SIGTERM while a table is written (slow writes hold it there).
TEST_F(RunSummaryFile, AStoppedRunLeavesAWholeSummary)
{
    const QString out = folder(QStringLiteral("stopped-out"));
    QDir().mkpath(out);
    const Launched launched = launchBridge(*box_, runArgs(QStringLiteral("stopped"), QStringLiteral("303")),
                                           QStringLiteral("stopped"), faultEnv(QStringLiteral("slow"), out));
    auto writing = [&] { return QDir(out).entryList({QStringLiteral("*.sef.part")}, QDir::Files); };
    for (int i = 0; i < 1500 && writing().isEmpty(); ++i)
        usleep(20 * 1000);
    ASSERT_FALSE(writing().isEmpty()) << "no table was begun";
    kill(launched.pid, SIGTERM);
    const int raw = waitBridge(launched, 30);
    EXPECT_TRUE(raw != -1 && WIFEXITED(raw) && WEXITSTATUS(raw) == 1);

    const QJsonObject s = summaryOf(QStringLiteral("stopped"));
    EXPECT_EQ(s.value(QStringLiteral("outcome")).toString(), QStringLiteral("stopped"));
    EXPECT_EQ(s.value(QStringLiteral("exitStatus")).toInt(-1), 1);
    EXPECT_TRUE(kLocalTime.match(s.value(QStringLiteral("end")).toString()).hasMatch());
    const QJsonArray tables = s.value(QStringLiteral("tables")).toArray();
    ASSERT_FALSE(tables.isEmpty());
    EXPECT_FALSE(tables.last().toObject().value(QStringLiteral("complete")).toBool());
}

TEST_F(RunSummaryFile, AnAttendanceUpdateListsItsWindowsAndTheRecordsSent)
{
    ASSERT_EQ(run(runArgs(QStringLiteral("att"), QStringLiteral("202"), {QStringLiteral("--att")}),
                  QStringLiteral("att")),
              0);
    const QJsonObject s = summaryOf(QStringLiteral("att"));
    EXPECT_EQ(s.value(QStringLiteral("command")).toString(), QStringLiteral("run --att"));
    const QJsonObject attendance = s.value(QStringLiteral("attendance")).toObject();
    const QJsonArray windows = attendance.value(QStringLiteral("windows")).toArray();
    EXPECT_GT(windows.size(), 2);
    QStringList read;
    for (const QJsonValue& value : windows)
    {
        const QJsonObject window = value.toObject();
        const QString from = window.value(QStringLiteral("from")).toString();
        const QString to = window.value(QStringLiteral("to")).toString();
        EXPECT_TRUE(kDay.match(from).hasMatch() && kDay.match(to).hasMatch() && from <= to)
            << qPrintable(from) << " " << qPrintable(to);
        read.append(window.value(QStringLiteral("table")).toString());
    }
    read.removeDuplicates();
    EXPECT_EQ(read, QStringList({QStringLiteral("Student Period Attendance"),
                                 QStringLiteral("Student Daily Attendance")}));
    EXPECT_EQ(windows.last().toObject().value(QStringLiteral("to")).toString(),
              QDate::currentDate().toString(Qt::ISODate));

    const QString out = folder(QStringLiteral("att-out"));
    const QStringList updates = QDir(out).entryList({QStringLiteral("*.SDU")}, QDir::Files);
    ASSERT_EQ(updates.size(), 1);
    EXPECT_EQ(attendance.value(QStringLiteral("updateFile")).toString(), updates.first());
    const qint64 records = updateRecords(out + QLatin1Char('/') + updates.first());
    EXPECT_GT(records, 0);
    EXPECT_EQ(attendance.value(QStringLiteral("recordsSent")).toInteger(-1), records);
}

// A password the server refuses, given on the command line or in a password
// file: the first error is told, the password shows nowhere in the summary.
TEST_F(RunSummaryFile, AWrongPasswordStaysOutOfTheFirstError)
{
    const auto server = e2e::ScriptExports(TSIS_SOURCE_DIR "/scripts/start-postgres.sh 2>/dev/null");
    e2e::RequirePostgres(true, server.has_value(), "no PostgreSQL server");
    if (!server)
        return;
    QMap<QString, QString> pg;
    for (const auto& [key, value] : *server)
        pg.insert(key, value);
    const QString wrong = pg.value(QStringLiteral("TSIS_PG_SCRAM_PASSWORD")) + QStringLiteral("x");
    ASSERT_GT(wrong.size(), 1);
    const QString ini = folder(QStringLiteral("demo/odbc.ini"));
    if (!e2e::ReadFile(ini).contains("[ScramPG]"))
        BridgeSandbox::writeText(ini, e2e::ReadFile(ini) + "\n[ScramPG]\nDriver=PostgreSQL\nServername=" +
                                          pg.value(QStringLiteral("TSIS_PG_HOST")).toUtf8() +
                                          "\nPort=" + pg.value(QStringLiteral("TSIS_PG_PORT")).toUtf8() +
                                          "\nDatabase=" + pg.value(QStringLiteral("TSIS_PG_DB")).toUtf8() +
                                          "\n");
    const QString passwordFile = folder(QStringLiteral("password"));
    BridgeSandbox::writeText(passwordFile, wrong.toUtf8() + "\n");

    const QList<QPair<QString, QStringList>> ways = {
        {QStringLiteral("pwd"), {QStringLiteral("--pwd=") + wrong}},
        {QStringLiteral("pwdfile"), {}},
    };
    for (const auto& [name, option] : ways)
    {
        SCOPED_TRACE(name.toStdString());
        QStringList args = runArgs(name, QStringLiteral("101"), option);
        args.replace(1, QStringLiteral("--dsn=ScramPG"));
        args << QStringLiteral("--user=") + pg.value(QStringLiteral("TSIS_PG_SCRAM_USER"));
        const QStringList env = option.isEmpty()
                                    ? QStringList{QStringLiteral("TSISBRIDGE_PASSWORD_FILE=") + passwordFile}
                                    : QStringList();
        EXPECT_EQ(run(args, name, env), 1);

        QByteArray text;
        const QJsonObject s = summaryOf(name, nullptr, &text);
        const QString firstError = s.value(QStringLiteral("firstError")).toString();
        EXPECT_FALSE(firstError.isEmpty());
        QString log;
        for (const QString& file :
             QDir(folder(name + QStringLiteral("-logs"))).entryList({QStringLiteral("*.log")}))
            log += BridgeSandbox::readText(folder(name + QStringLiteral("-logs/")) + file);
        EXPECT_TRUE(log.contains(QStringLiteral("password authentication failed")));
        EXPECT_TRUE(log.contains(firstError)) << qPrintable(firstError);
        EXPECT_FALSE(firstError.contains(wrong));
        EXPECT_FALSE(text.contains(wrong.toUtf8()));
        EXPECT_FALSE(text.contains(wrong.toUtf8().toHex().toUpper()));
    }
}

} // namespace
