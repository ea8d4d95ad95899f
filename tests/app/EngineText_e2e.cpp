// Paths and text crossing between the application's strings and the engine's
// Windows-1252 strings, the fixed bytes of the banner, and a front-end that stops
// reading: the built tsisbridge against a copy of the SQLite demo district.

#include "AttendanceFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{

class EngineText : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(box_.makeDemoDistrict(e2e::kToday)) << "make-demo-district.sh failed";
    }

    // The log goes to its own folder: the run would otherwise derive one from the
    // output folder with every letter outside A to Z replaced.
    QStringList runArguments(const QString& out) const
    {
        return words(u"run --dsn=TSISDemo --district=16 --school=101 --useyear=true --year=2026"_s)
               << u"--path="_s + out << u"--logpath="_s + box_.path(u"logs"_s);
    }

    QString log() const { return box_.path(u"logs/TSIS_SchoolMAX--101-"_s) + today() + u".log"_s; }

    // The folders directly in the sandbox besides the ones it always has.
    QStringList madeFolders() const
    {
        QStringList made = QDir(box_.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& own : {u"demo"_s, u"home"_s, u"runtime"_s, u"logs"_s})
            made.removeAll(own);
        return made;
    }

    BridgeSandbox box_;
};

// The full export alone (an attendance update would store the day of the run)
// into a folder with a letter of Windows-1252, without LANG.
TEST_F(EngineText, FolderWithWindows1252LettersHoldsTheWholeRun)
{
    box_.setEnv(u"LC_ALL"_s, u"C"_s);
    const QString out = box_.path(u"Sch\u00fcler"_s);
    BridgeResult r = box_.run(runArguments(out) << u"--demo"_s);
    ASSERT_EQ(r.status, 0) << qPrintable(r.out) << qPrintable(r.err);
    EXPECT_EQ(r.err, QString());
    EXPECT_TRUE(r.out.contains(u"SDE Folder is: "_s + out + u"/\n"_s));
    EXPECT_EQ(madeFolders(), QStringList{u"Sch\u00fcler"_s});
    // One progress bracket closed by the engine's completion word.
    const QStringList lines = protocolLines(r.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.first(), u"inc_progress\tStarting Execution..."_s);
    EXPECT_TRUE(lines.at(1).startsWith(u"start_progress\t"_s));
    EXPECT_EQ(lines.at(lines.size() - 2), u"inc_progress\tExport complete."_s);
    EXPECT_EQ(lines.last(), u"end_progress"_s);
    EXPECT_TRUE(r.out.contains(u"\nbridge_complete\n"_s));
    EXPECT_TRUE(r.out.contains(u"Validate Connection Successful, using Oracle (ODBC); DBTSIS_SY005_V"_s));
    for (const char* file : {"Students.sef", "StudentNotes.sef", "StudentCustom.txt"})
        EXPECT_EQ(e2e::ReadFile(out + u"/"_s + QLatin1String(file)), e2e::ExpectedFile(QLatin1String(file)))
            << file;
    EXPECT_EQ(e2e::ReadFile(out + u"/SchoolConfig.xml"_s), e2e::ExpectedFile(u"SchoolConfig-TSISDemo.xml"_s));
    const QByteArray control = e2e::ReadFile(out + u"/TSIS SchoolMAX.SDE"_s);
    EXPECT_EQ(e2e::MaskRun(control), e2e::MaskRun(e2e::ExpectedFile(u"TSIS SchoolMAX.SDE"_s)));
    EXPECT_EQ(statusFileText(out), statusLine(u"Succeeded"_s, u"Succeeded"_s));
    EXPECT_EQ(finishedFileText(out), u"finished\r\n"_s);
    EXPECT_TRUE(QFileInfo::exists(log()));

    // The banner of the control file up to its time stamp, and its notice, are
    // the same for every build: the build date is fixed.
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

    // A second run keeps the configuration, another school changes it.
    r = box_.run(runArguments(out) << u"--demo"_s);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains(u"Bridge Configuration Did Not Change."_s));
    r = box_.run(runArguments(out).replaceInStrings(u"--school=101"_s, u"--school=202"_s) << u"--demo"_s);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains(u"Bridge Configuration Changed."_s));
}

// The tests and lists the front-end asks for, answered from the database.
TEST_F(EngineText, TestsAndListsAnswerFromTheDatabase)
{
    expectTranscript(box_);
}

TEST_F(EngineText, FolderOutsideWindows1252FailsAtOnce)
{
    const QString out = box_.path(u"\u0141\u00f3d\u017a"_s);
    const BridgeResult r = box_.run(runArguments(out));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, u"error\tpath\tThe SDE folder cannot be written: its name holds letters outside "
                     "Windows-1252: "_s +
                         out + QLatin1Char('\n'));
    EXPECT_FALSE(r.out.contains(u"Starting Execution"_s));
    // The front-end learns it in the folder it named; nothing lands anywhere else.
    EXPECT_EQ(statusFileText(out), statusLine(u"Failed"_s, u"Failed on extraction."_s));
    EXPECT_EQ(finishedFileText(out), u"finished\r\n"_s);
    EXPECT_EQ(madeFolders(), QStringList{u"\u0141\u00f3d\u017a"_s});
    const QRegularExpression written(u"\\.(sef|sde|xml|txt)$"_s, QRegularExpression::CaseInsensitiveOption);
    EXPECT_EQ(treeFiles(box_.path()).keys().filter(written), QStringList());
}

// Without LANG (cron, systemd): the protocol and the log are UTF-8 all the same,
// and letters outside Windows-1252 become their closest letters in the files.
TEST_F(EngineText, TextReachesProtocolLogAndFilesInTheirEncodings)
{
    box_.setEnv(u"LC_ALL"_s, u"C"_s);
    ASSERT_TRUE(
        DemoAttendanceFile(box_.path(u"demo/tsisdemo-tsis.db"_s))
            .execute(u"UPDATE SY010 SET SCH_NME = 'St. Mary\u2019s \u2013 North' WHERE SCH_NBR = '101';"
                     "UPDATE CE020 SET LST_NME = 'Dvo\u0159\u00e1k \u0141ukasz', FRST_NME = 'Andr\u20ac' "
                     "WHERE ID_NBR = 100001;"_s));

    BridgeResult r = box_.run({u"params"_s, u"--paramkey=school"_s, u"--dsn=TSISDemo"_s, u"--district=16"_s});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, QString());
    EXPECT_TRUE(
        protocolLines(r.out).contains(u"school_list\tschool\t101\tSt. Mary\u2019s \u2013 North\t\n"_s))
        << qPrintable(r.out);

    // Windows-1252 letters of the range Latin-1 leaves to control characters
    // travel from the engine to the log.
    const QString out = box_.path(u"Mary\u2019s \u2013 \u20ac"_s);
    r = box_.run(runArguments(out));
    ASSERT_EQ(r.status, 0) << qPrintable(r.out) << qPrintable(r.err);
    EXPECT_EQ(r.err, QString());
    EXPECT_TRUE(e2e::ReadFile(log()).contains(": Informational : SDE Folder is: " + out.toUtf8() + "/\r\n"));
    EXPECT_EQ(madeFolders(), QStringList{u"Mary\u2019s \u2013 \u20ac"_s});
    QByteArray students = e2e::ExpectedFile(u"Students.sef"_s);
    students.replace("\tMoore\tAndre\t", "\tDvor\xe1k Lukasz\tAndr\x80\t");
    EXPECT_EQ(e2e::ReadFile(out + u"/Students.sef"_s), students);
}

// The front-end stops reading after three lines, as "| head -3" does: the run
// still ends, with its status file and marker.
TEST_F(EngineText, RunOutlivesAReaderThatStops)
{
    const QString out = box_.path(u"out"_s);
    const QString pipe = box_.path(u"reader.out"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // Opened before the launch: the child's open of its standard output must not wait for a reader.
    const int fd = open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const Launched run = launchBridge(box_, runArguments(out), u"reader"_s);
    fcntl(fd, F_SETFL, 0);
    FILE* reader = fdopen(fd, "r");
    ASSERT_NE(reader, nullptr);
    char line[4096];
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(fgets(line, sizeof line, reader), nullptr);
    fclose(reader);
    QFile::remove(pipe);
    EXPECT_EQ(finish(run).status, 0) << "ended by a signal";
    EXPECT_EQ(statusFileText(out), statusLine(u"Succeeded"_s, u"Succeeded"_s));
    EXPECT_EQ(finishedFileText(out), u"finished\r\n"_s);
    EXPECT_EQ(e2e::ReadFile(out + u"/Students.sef"_s), e2e::ExpectedFile(u"Students.sef"_s));
}

} // namespace
