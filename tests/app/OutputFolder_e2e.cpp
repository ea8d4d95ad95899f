// The output folder under stress: a second run into it, a run stopped by a
// signal, a folder that cannot be written, and a name with blanks and accents.

#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

const QString kRunStatus = u"BridgeStatus.tmp"_s;

// A run that fails at its data source once it gets there.
QStringList failingRun(const QString& out, const QString& logs)
{
    return words(u"run --dsn=Sis --district=7 --school=0042"_s)
           << u"--path="_s + out << u"--logpath="_s + logs;
}

QStringList demoRun(const QString& out)
{
    return words(u"run --demo --dsn=TSISDemo --district=16 --school=101 --useyear=true --year=2026"_s)
           << u"--path="_s + out;
}

// The files a run leaves as its import data: everything but status files and logs.
QMap<QString, QByteArray> dataFiles(QMap<QString, QByteArray> files)
{
    files.removeIf([](const auto& file)
                   { return file.key().endsWith(u".tmp"_s) || file.key().endsWith(u".log"_s); });
    return files;
}

// A failing run kept busy by slow log writes (away from the output folder),
// once it has written that it is running.
Launched startBusyRun(BridgeSandbox& box, const QString& out, const QString& logs, const QString& name)
{
    QDir().mkpath(logs);
    const Launched run = launchBridge(box, failingRun(out, logs), name, faultEnv(u"slow"_s, logs));
    auto running = [&]
    { return BridgeSandbox::readText(out + u"/"_s + kRunStatus).contains(u"Extract Running"_s); };
    [&] { ASSERT_TRUE(pollUntil(30, running)); }();
    return run;
}

TEST(OutputFolder, ASecondRunIsRefusedWhileTheFirstLivesNotAfterItDied)
{
    BridgeSandbox box;
    const QString out = box.path(u"out"_s);
    const QString logs = box.path(u"logs"_s);
    const Launched first = startBusyRun(box, out, logs, u"first"_s);
    ASSERT_FALSE(HasFatalFailure());
    const QMap<QString, QByteArray> running = treeFiles(out);

    BridgeResult second = box.run(failingRun(out, logs));
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.err, u"error\tpath\tAnother extraction is writing to the output folder "_s + out +
                              u". Try again when it has finished.\n"_s);
    EXPECT_TRUE(second.out.startsWith(kEmptyAnswer)) << qPrintable(second.out);
    EXPECT_EQ(treeFiles(out), running);

    // The kernel drops the lock of a killed run.
    kill(first.pid, SIGKILL);
    finish(first, 60);
    const BridgeResult third = box.run(failingRun(out, logs));
    EXPECT_EQ(third.status, 1);
    EXPECT_FALSE(third.err.contains(u"Another extraction"_s)) << qPrintable(third.err);
    EXPECT_EQ(statusFileText(out), statusLine(u"Failed"_s, u"Failed on extraction."_s));
}

class StopSignal : public ::testing::TestWithParam<std::pair<int, const char*>>
{
};

TEST_P(StopSignal, LeavesAFailedStatusAndTheMarker)
{
    BridgeSandbox box;
    const QString out = box.path(u"out"_s);
    const QString logs = box.path(u"logs"_s);
    const Launched run = startBusyRun(box, out, logs, u"run"_s);
    ASSERT_FALSE(HasFatalFailure());
    kill(run.pid, GetParam().first);
    const BridgeResult stopped = finish(run, 20);

    const QString message = u"Extraction stopped by "_s + GetParam().second + QLatin1Char('.');
    EXPECT_EQ(stopped.status, 1);
    EXPECT_TRUE(stopped.err.endsWith(u"error\tExtraction Stopped\t"_s + message + QLatin1Char('\n')))
        << qPrintable(stopped.err);
    EXPECT_EQ(statusFileText(out), statusLine(u"Failed"_s, message));
    EXPECT_EQ(finishedFileText(out), u"finished\r\n"_s);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal,
                         ::testing::Values(std::make_pair(SIGTERM, "SIGTERM"),
                                           std::make_pair(SIGINT, "SIGINT")),
                         [](const auto& info) { return std::string(info.param.second); });

TEST(OutputFolder, AStopDuringTheAttendanceUpdateRemovesItsUpdateFileAlone)
{
    BridgeSandbox box;
    ASSERT_TRUE(box.makeDemoDistrict(e2e::Today()));
    const QString out = box.path(u"out"_s);
    const QString logs = box.path(u"logs"_s);
    QDir().mkpath(logs);
    const QStringList args = words(u"run --att --dsn=TSISDemo --district=16 --school=202 --useyear=true"_s)
                             << u"--year="_s + QString::number(currentSchoolYear()) << u"--path="_s + out
                             << u"--logpath="_s + logs;
    auto updates = [&] { return QDir(out).entryList({u"*.SDU"_s}, QDir::Files, QDir::Name); };
    auto unfinished = [&] { return QDir(out).entryList({u"*.SDU.part"_s}, QDir::Files); };
    // An earlier update stays.
    ASSERT_EQ(box.run(args).status, 0);
    const QStringList earlier = updates();
    ASSERT_EQ(earlier.size(), 1);

    // Slow writes in the output folder hold the run inside its update.
    const Launched run = launchBridge(box, args, u"run"_s, faultEnv(u"slow"_s, out));
    pollUntil(30, [&] { return !unfinished().isEmpty(); });
    ASSERT_EQ(unfinished().size(), 1) << "the run never began its update file";
    kill(run.pid, SIGTERM);
    EXPECT_EQ(finish(run, 20).status, 1);
    EXPECT_EQ(updates(), earlier);
    EXPECT_EQ(unfinished(), QStringList());
    EXPECT_EQ(statusFileText(out), statusLine(u"Failed"_s, u"Extraction stopped by SIGTERM."_s));
}

// Folders that cannot take the run fail it cleanly and keep what was there;
// a folder name with blanks and accents works.
TEST(OutputFolder, FaultsFailCleanlyAndKeepTheData)
{
    BridgeSandbox box;
    ASSERT_TRUE(box.makeDemoDistrict("20261015")) << "make-demo-district.sh failed";
    const QString plain = box.path(u"plain"_s);
    ASSERT_EQ(box.run(demoRun(plain)).status, 0);
    const QMap<QString, QByteArray> data = dataFiles(treeFiles(plain));
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
        const bool isFile = fault == u"file"_s;
        const bool statusFolder = fault == u"status-folder"_s;
        const QString out = box.path(fault.isEmpty() ? u"out dir/Schüler é"_s : fault);
        QStringList env;
        if (isFile)
            BridgeSandbox::writeText(out, "not a folder\n");
        else if (statusFolder)
            QDir().mkpath(out + QLatin1Char('/') + kRunStatus);
        else if (!fault.isEmpty())
        {
            // Last run's import data is there, and must stay.
            ASSERT_EQ(box.run(demoRun(out)).status, 0);
            env = faultEnv(fault, out);
        }
        const QMap<QString, QByteArray> before = isFile ? QMap<QString, QByteArray>() : treeFiles(out);

        const BridgeResult r = box.run(demoRun(out), env);
        if (fault.isEmpty())
        {
            EXPECT_EQ(r.status, 0) << qPrintable(r.out) << qPrintable(r.err);
            EXPECT_EQ(statusFileText(out), statusLine(u"Succeeded"_s, u"Succeeded"_s));
            const QMap<QString, QByteArray> written = dataFiles(treeFiles(out));
            EXPECT_EQ(written.keys(), data.keys());
            for (auto file = data.begin(); file != data.end(); ++file)
            {
                if (file.key().endsWith(u".sef"_s))
                {
                    EXPECT_EQ(written.value(file.key()), file.value()) << qPrintable(file.key());
                }
            }
            continue;
        }
        EXPECT_EQ(r.status, 1) << qPrintable(r.out) << qPrintable(r.err);
        EXPECT_FALSE(r.out.contains(u"Export complete."_s)) << qPrintable(r.out);
        if (c.message)
        {
            EXPECT_TRUE(r.err.endsWith(u"error\tpath\tThe output folder cannot be written: "_s + out +
                                       QString::fromLatin1(c.message)))
                << qPrintable(r.err);
        }
        if (isFile)
        {
            EXPECT_EQ(BridgeSandbox::readText(out), u"not a folder\n"_s);
            continue;
        }
        if (statusFolder)
            continue;
        EXPECT_EQ(dataFiles(treeFiles(out)), dataFiles(before));
        if (fault == u"enospc"_s)
        {
            EXPECT_TRUE(r.out.contains(u"\tError writing to file: "_s + out + QLatin1Char('/')))
                << qPrintable(r.out);
        }
        // A read-only folder cannot take even the failure: the exit status and the error line tell it.
        if (fault == u"erofs"_s)
            EXPECT_EQ(treeFiles(out), before);
        else
            EXPECT_FALSE(statusFileText(out).contains(u"Succeeded"_s));
    }
}

} // namespace
