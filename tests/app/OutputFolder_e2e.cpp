// The output folder under stress: a second run into it, a run stopped by a
// signal, a folder that cannot be written, and a name with blanks and accents.

#include "BridgeHarness.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QMap>

namespace
{

const QString kRunStatus = QStringLiteral("BridgeStatus.tmp");
const QString kRunning = QStringLiteral("Extract Running");

// A run that fails at its data source once it gets there.
QStringList failingRun(const QString& out, const QString& logs)
{
    return {QStringLiteral("run"),       QStringLiteral("--path=") + out, QStringLiteral("--logpath=") + logs,
            QStringLiteral("--dsn=Sis"), QStringLiteral("--district=7"),  QStringLiteral("--school=0042")};
}

QStringList demoRun(const QString& out)
{
    return {QStringLiteral("run"),           QStringLiteral("--demo"),       QStringLiteral("--dsn=TSISDemo"),
            QStringLiteral("--district=16"), QStringLiteral("--school=101"), QStringLiteral("--useyear=true"),
            QStringLiteral("--year=2026"),   QStringLiteral("--path=") + out};
}

// Every file below a folder with its bytes.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
    {
        QFile f(it.next());
        files.insert(it.filePath().mid(folder.size()),
                     f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>");
    }
    return files;
}

// The files a run leaves as its import data: everything but status files and logs.
QMap<QString, QByteArray> dataFiles(QMap<QString, QByteArray> files)
{
    files.removeIf(
        [](const auto& file) {
            return file.key().endsWith(QStringLiteral(".tmp")) || file.key().endsWith(QStringLiteral(".log"));
        });
    return files;
}

QMap<QString, QByteArray> dataFiles(const QString& folder)
{
    return dataFiles(snapshot(folder));
}

struct Finished
{
    int status = -1; // exit status; -1 when killed by a signal or the time limit
    QString out;
    QString err;
};

Finished finish(const Launched& launched, int seconds = 60)
{
    const int raw = waitBridge(launched, seconds);
    Finished f;
    f.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    f.out = BridgeSandbox::readText(launched.outFile);
    f.err = BridgeSandbox::readText(launched.errFile);
    return f;
}

// A failing run kept busy by slow log writes (away from the output folder),
// once it has written that it is running.
Launched startBusyRun(BridgeSandbox& box, const QString& out, const QString& logs, const QString& name)
{
    QDir().mkpath(logs);
    const Launched run = launchBridge(box, failingRun(out, logs), name, faultEnv(QStringLiteral("slow"), logs));
    [&] { ASSERT_TRUE(waitForText(out + QLatin1Char('/') + kRunStatus, kRunning, 30)); }();
    return run;
}

TEST(OutputFolder, ASecondRunIsRefusedWhileTheFirstLivesNotAfterItDied)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const QString logs = box.path(QStringLiteral("logs"));
    const Launched first = startBusyRun(box, out, logs, QStringLiteral("first"));
    ASSERT_FALSE(HasFatalFailure());
    const QMap<QString, QByteArray> running = snapshot(out);

    Finished second = finish(launchBridge(box, failingRun(out, logs), QStringLiteral("second")), 20);
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.err, QStringLiteral("error\tpath\tAnother extraction is writing to the output folder ") +
                              out + QStringLiteral(". Try again when it has finished.\n"));
    EXPECT_TRUE(second.out.startsWith(kEmptyAnswer)) << qPrintable(second.out);
    EXPECT_EQ(snapshot(out), running);

    // The kernel drops the lock of a killed run.
    kill(first.pid, SIGKILL);
    finish(first);
    const Finished third = finish(launchBridge(box, failingRun(out, logs), QStringLiteral("third")));
    EXPECT_EQ(third.status, 1);
    EXPECT_FALSE(third.err.contains(QStringLiteral("Another extraction"))) << qPrintable(third.err);
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("Failed on extraction.")));
}

class StopSignal : public ::testing::TestWithParam<std::pair<int, const char*>>
{
};

TEST_P(StopSignal, LeavesAFailedStatusAndTheMarker)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const QString logs = box.path(QStringLiteral("logs"));
    const Launched run = startBusyRun(box, out, logs, QStringLiteral("run"));
    ASSERT_FALSE(HasFatalFailure());
    kill(run.pid, GetParam().first);
    const Finished stopped = finish(run, 20);

    const QString message = QStringLiteral("Extraction stopped by ") + GetParam().second + QLatin1Char('.');
    EXPECT_EQ(stopped.status, 1);
    EXPECT_TRUE(
        stopped.err.endsWith(QStringLiteral("error\tExtraction Stopped\t") + message + QLatin1Char('\n')))
        << qPrintable(stopped.err);
    EXPECT_EQ(statusFileText(out), statusLine(QStringLiteral("Failed"), message));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal,
                         ::testing::Values(std::make_pair(SIGTERM, "SIGTERM"),
                                           std::make_pair(SIGINT, "SIGINT")),
                         [](const auto& info) { return std::string(info.param.second); });

TEST(OutputFolder, AStopDuringTheAttendanceUpdateRemovesItsUpdateFileAlone)
{
    BridgeSandbox box;
    const QDate today = QDate::currentDate();
    ASSERT_TRUE(box.makeDemoDistrict(today.toString(QStringLiteral("yyyyMMdd")).toStdString()));
    const QString out = box.path(QStringLiteral("out"));
    const QString logs = box.path(QStringLiteral("logs"));
    QDir().mkpath(logs);
    const int year = today.month() >= 7 ? today.year() : today.year() - 1;
    const QStringList args = {QStringLiteral("run"),
                              QStringLiteral("--att"),
                              QStringLiteral("--dsn=TSISDemo"),
                              QStringLiteral("--district=16"),
                              QStringLiteral("--school=202"),
                              QStringLiteral("--useyear=true"),
                              QStringLiteral("--year=") + QString::number(year),
                              QStringLiteral("--path=") + out,
                              QStringLiteral("--logpath=") + logs};
    auto updates = [&] { return QDir(out).entryList({QStringLiteral("*.SDU")}, QDir::Files, QDir::Name); };
    auto unfinished = [&] { return QDir(out).entryList({QStringLiteral("*.SDU.part")}, QDir::Files); };
    // An earlier update stays.
    ASSERT_EQ(finish(launchBridge(box, args, QStringLiteral("earlier"))).status, 0);
    const QStringList earlier = updates();
    ASSERT_EQ(earlier.size(), 1);

    // Slow writes in the output folder hold the run inside its update.
    const Launched run =
        launchBridge(box, args, QStringLiteral("run"), faultEnv(QStringLiteral("slow"), out));
    for (int i = 0; i < 1500 && unfinished().isEmpty(); ++i)
        usleep(20 * 1000);
    ASSERT_EQ(unfinished().size(), 1) << "the run never began its update file";
    kill(run.pid, SIGTERM);
    EXPECT_EQ(finish(run, 20).status, 1);
    EXPECT_EQ(updates(), earlier);
    EXPECT_EQ(unfinished(), QStringList());
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("Extraction stopped by SIGTERM.")));
}

// Folders that cannot take the run fail it cleanly and keep what was there;
// a folder name with blanks and accents works.
TEST(OutputFolder, FaultsFailCleanlyAndKeepTheData)
{
    BridgeSandbox box;
    ASSERT_TRUE(box.makeDemoDistrict("20261015")) << "make-demo-district.sh failed";
    const QString plain = box.path(QStringLiteral("plain"));
    ASSERT_EQ(finish(launchBridge(box, demoRun(plain), QStringLiteral("plain"))).status, 0);
    const QMap<QString, QByteArray> data = dataFiles(plain);
    ASSERT_GT(data.size(), 10);

    struct Case
    {
        const char* fault;   // of the preloaded library, or "file": the path is a file
        const char* message; // the end of the error line, or "" for a run that succeeds
    };
    const Case cases[] = {
        {"erofs", ": Read-only file system\n"},
        {"enospc", nullptr},
        {"file", ": Not a directory\n"},
        {"status-folder", "/BridgeStatus.tmp: Is a directory\n"},
        {"", ""},
    };
    for (const Case& c : cases)
    {
        const QString fault = QString::fromLatin1(c.fault);
        SCOPED_TRACE(fault.toStdString());
        const bool isFile = fault == QStringLiteral("file");
        const bool statusFolder = fault == QStringLiteral("status-folder");
        const QString out = box.path(fault.isEmpty() ? QStringLiteral("out dir/Schüler é") : fault);
        QStringList env;
        if (isFile)
            BridgeSandbox::writeText(out, "not a folder\n");
        else if (statusFolder)
            QDir().mkpath(out + QLatin1Char('/') + kRunStatus);
        else if (!fault.isEmpty())
        {
            // Last run's import data is there, and must stay.
            ASSERT_EQ(finish(launchBridge(box, demoRun(out), QStringLiteral("before"))).status, 0);
            env = faultEnv(fault, out);
        }
        const QMap<QString, QByteArray> before = isFile ? QMap<QString, QByteArray>() : snapshot(out);

        const Finished r = finish(launchBridge(box, demoRun(out), QStringLiteral("faulty"), env));
        if (fault.isEmpty())
        {
            EXPECT_EQ(r.status, 0) << qPrintable(r.out) << qPrintable(r.err);
            EXPECT_EQ(statusFileText(out),
                      statusLine(QStringLiteral("Succeeded"), QStringLiteral("Succeeded")));
            const QMap<QString, QByteArray> written = dataFiles(out);
            EXPECT_EQ(written.keys(), data.keys());
            for (auto file = data.begin(); file != data.end(); ++file)
            {
                if (file.key().endsWith(QStringLiteral(".sef")))
                {
                    EXPECT_EQ(written.value(file.key()), file.value()) << qPrintable(file.key());
                }
            }
            continue;
        }
        EXPECT_EQ(r.status, 1) << qPrintable(r.out) << qPrintable(r.err);
        EXPECT_FALSE(r.out.contains(QStringLiteral("Export complete."))) << qPrintable(r.out);
        if (c.message)
        {
            EXPECT_TRUE(r.err.endsWith(QStringLiteral("error\tpath\tThe output folder cannot be written: ") +
                                       out + QString::fromLatin1(c.message)))
                << qPrintable(r.err);
        }
        if (isFile)
        {
            EXPECT_EQ(BridgeSandbox::readText(out), QStringLiteral("not a folder\n"));
            continue;
        }
        if (statusFolder)
            continue;
        EXPECT_EQ(dataFiles(out), dataFiles(before));
        if (fault == QStringLiteral("enospc"))
        {
            EXPECT_TRUE(r.out.contains(QStringLiteral("\tError writing to file: ") + out + QLatin1Char('/')))
                << qPrintable(r.out);
        }
        // A read-only folder cannot take even the failure: the exit status and the error line tell it.
        if (fault == QStringLiteral("erofs"))
        {
            EXPECT_EQ(snapshot(out), before);
        }
        else
        {
            EXPECT_FALSE(statusFileText(out).contains(QStringLiteral("Succeeded")));
        }
    }
}

} // namespace
