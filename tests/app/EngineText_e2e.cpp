// Paths and text crossing between the application's strings and the engine's
// Windows-1252 strings, the fixed bytes of the banner, and a front-end that stops
// reading: the built tsisbridge against a copy of the SQLite demo district.

#include "BridgeHarness.h"

#include <QDirIterator>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace
{

// Every file below a folder whose name ends with one of the suffixes.
QStringList filesEndingWith(const QString& folder, const QStringList& suffixes)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
    {
        const QString file = it.next();
        for (const QString& suffix : suffixes)
            if (file.endsWith(suffix, Qt::CaseInsensitive))
                found << file;
    }
    return found;
}

class EngineText : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString demo = box_.path(QStringLiteral("demo"));
        ASSERT_TRUE(box_.makeDemoDistrict(e2e::kToday)) << "make-demo-district.sh failed";
        database_ = demo + QStringLiteral("/tsisdemo-tsis.db");
    }

    // Changes this test's own copy of the demo database.
    void update(const QString& statement)
    {
        ASSERT_EQ(QProcess::execute(QStringLiteral("sqlite3"), {database_, statement}), 0)
            << qPrintable(statement);
    }

    // The log goes to its own folder: the run would otherwise derive one from the
    // output folder with every letter outside A to Z replaced.
    QStringList runArguments(const QString& out) const
    {
        return {QStringLiteral("run"),
                QStringLiteral("--dsn=TSISDemo"),
                QStringLiteral("--district=16"),
                QStringLiteral("--school=101"),
                QStringLiteral("--useyear=true"),
                QStringLiteral("--year=2026"),
                QStringLiteral("--path=") + out,
                QStringLiteral("--logpath=") + box_.path(QStringLiteral("logs"))};
    }

    QString log() const
    {
        return box_.path(QStringLiteral("logs/TSIS_SchoolMAX--101-")) + today() + QStringLiteral(".log");
    }

    // The folders directly in the sandbox besides the ones it always has.
    QStringList madeFolders() const
    {
        QStringList made = QDir(box_.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& own : {QStringLiteral("demo"), QStringLiteral("home"), QStringLiteral("runtime"),
                                   QStringLiteral("logs")})
            made.removeAll(own);
        return made;
    }

    BridgeSandbox box_;
    QString database_;
};

TEST_F(EngineText, FolderWithWindows1252LettersHoldsTheWholeRun)
{
    box_.setEnv(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    const QString out = box_.path(QStringLiteral("Sch\u00fcler"));
    const BridgeResult r = box_.run(runArguments(out));
    ASSERT_EQ(r.status, 0) << qPrintable(r.out) << qPrintable(r.err);
    EXPECT_EQ(r.err, QString());
    EXPECT_TRUE(r.out.contains(QStringLiteral("SDE Folder is: ") + out + QStringLiteral("/\n")));
    EXPECT_EQ(madeFolders(), QStringList{QStringLiteral("Sch\u00fcler")});
    EXPECT_EQ(e2e::ReadFile(out + QStringLiteral("/Students.sef")), e2e::ExpectedFile(QStringLiteral("Students.sef")));
    EXPECT_EQ(statusFileText(out), statusLine(QStringLiteral("Succeeded"), QStringLiteral("Succeeded")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));

    // The banner of the control file up to its time stamp, and its notice, are
    // the same for every build: the build date is fixed.
    const QByteArray control = e2e::ReadFile(out + QStringLiteral("/TSIS SchoolMAX.SDE"));
    const QByteArray slashes = QByteArray(91, '/') + "\r\n";
    EXPECT_TRUE(control.startsWith(slashes + "// Vantrel Data Extractor for TSIS/SchoolMAX\r\n"
                                             "// Data Extractor\r\n"
                                             "// 4.2.9.0\r\n"
                                             "// Nov 20, 2014\r\n"
                                             "// \r\n"
                                             "// Generated : "))
        << control.left(400).toStdString();
    EXPECT_TRUE(control.contains(slashes + "// All rights reserved. Copyright (c) Vantrel Software " +
                                 QByteArray::number(QDate::currentDate().year()) + " \r\n" + slashes));
}

TEST_F(EngineText, FolderOutsideWindows1252FailsAtOnce)
{
    const QString out = box_.path(QStringLiteral("\u0141\u00f3d\u017a"));
    const BridgeResult r = box_.run(runArguments(out));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              QStringLiteral("error\tpath\tThe SDE folder cannot be written: its name holds letters outside "
                             "Windows-1252: ") +
                  out + QLatin1Char('\n'));
    EXPECT_FALSE(r.out.contains(QStringLiteral("Starting Execution")));
    // The front-end learns it in the folder it named; nothing lands anywhere else.
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("Failed on extraction.")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));
    EXPECT_EQ(madeFolders(), QStringList{QStringLiteral("\u0141\u00f3d\u017a")});
    EXPECT_EQ(filesEndingWith(box_.path(), {QStringLiteral(".sef"), QStringLiteral(".SDE"),
                                            QStringLiteral(".xml"), QStringLiteral(".txt")}),
              QStringList());
}

// Without LANG (cron, systemd): the protocol and the log are UTF-8 all the same,
// and letters outside Windows-1252 become their closest letters in the files.
TEST_F(EngineText, TextReachesProtocolLogAndFilesInTheirEncodings)
{
    box_.setEnv(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    update(
        QStringLiteral("UPDATE SY010 SET SCH_NME = 'St. Mary\u2019s \u2013 North' WHERE SCH_NBR = '101';"
                       "UPDATE CE020 SET LST_NME = 'Dvo\u0159\u00e1k \u0141ukasz', FRST_NME = 'Andr\u20ac' "
                       "WHERE ID_NBR = 100001;"));

    BridgeResult r = box_.run({QStringLiteral("params"), QStringLiteral("--paramkey=school"),
                               QStringLiteral("--dsn=TSISDemo"), QStringLiteral("--district=16")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, QString());
    EXPECT_TRUE(protocolLines(r.out).contains(
        QStringLiteral("school_list\tschool\t101\tSt. Mary\u2019s \u2013 North\t\n")))
        << qPrintable(r.out);

    // Windows-1252 letters of the range Latin-1 leaves to control characters
    // travel from the engine to the log.
    const QString out = box_.path(QStringLiteral("Mary\u2019s \u2013 \u20ac"));
    r = box_.run(runArguments(out));
    ASSERT_EQ(r.status, 0) << qPrintable(r.out) << qPrintable(r.err);
    EXPECT_EQ(r.err, QString());
    EXPECT_TRUE(e2e::ReadFile(log()).contains(": Informational : SDE Folder is: " + out.toUtf8() + "/\r\n"));
    EXPECT_EQ(madeFolders(), QStringList{QStringLiteral("Mary\u2019s \u2013 \u20ac")});
    QByteArray students = e2e::ExpectedFile(QStringLiteral("Students.sef"));
    students.replace("\tMoore\tAndre\t", "\tDvor\xe1k Lukasz\tAndr\x80\t");
    EXPECT_EQ(e2e::ReadFile(out + QStringLiteral("/Students.sef")), students);
}

// The front-end stops reading after three lines, as "| head -3" does: the run
// still ends, with its status file and marker.
TEST_F(EngineText, RunOutlivesAReaderThatStops)
{
    const QString out = box_.path(QStringLiteral("out"));
    std::vector<std::string> args{TSISBRIDGE_EXE};
    for (const QString& a : runArguments(out))
        args.push_back(a.toStdString());
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = box_.environment();
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, TSISBRIDGE_EXE, &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);

    FILE* reader = fdopen(fds[0], "r");
    ASSERT_NE(reader, nullptr);
    char line[4096];
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(fgets(line, sizeof line, reader), nullptr);
    fclose(reader);

    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(statusFileText(out), statusLine(QStringLiteral("Succeeded"), QStringLiteral("Succeeded")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));
    EXPECT_EQ(e2e::ReadFile(out + QStringLiteral("/Students.sef")), e2e::ExpectedFile(QStringLiteral("Students.sef")));
}

} // namespace
