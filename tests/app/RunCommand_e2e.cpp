#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

QStringList runArguments(const QString& out, const QString& logs)
{
    QStringList args{u"run"_s, u"--path="_s + out, u"--dsn=Sis"_s, u"--district=7"_s, u"--school=0042"_s};
    if (!logs.isEmpty())
        args << u"--logpath="_s + logs;
    return args;
}

QString logName()
{
    return u"TSIS_SchoolMAX--0042-"_s + today() + u".log"_s;
}

// The first console lines of every extraction.
QString kExecutionStart(const QString& out)
{
    return u"log\tProgress     \thh:mm:ss\tBridgeTaskBase::BeginExecute\tStarting Execution...\n"
           "inc_progress\tStarting Execution...\n"
           "log\tInformational\thh:mm:ss\t\tSDE Folder is: "_s +
           out + u"/\n"_s;
}

const QString kExecuteFailed =
    u"log\tError        \thh:mm:ss\tBridgeTaskBase::BeginExecute\tBridge execution failed, "
    "consult logs for more information.\n"_s;

QString maskLog(QString text)
{
    text = maskTimes(text);
    static const QRegularExpression os(u"\n               : [^\r]*"_s);
    return text.replace(os, u"\n               : <os>"_s);
}

TEST(RunCommand, FailedExtractionLeavesStatusFilesAndTheLog)
{
    BridgeSandbox box;
    const QString out = box.path(u"out"_s);
    const QString logs = box.path(u"logs"_s);
    BridgeSandbox::writeText(out + u"/finished.tmp"_s, "finished\r\n");
    BridgeSandbox::writeText(out + QLatin1Char('/') + kFinishedFile, "finished\r\n");
    // Eight old daily logs, another school's log and a file that is no daily log.
    QStringList kept;
    for (int day = 1; day <= 8; ++day)
        kept << u"TSIS_SchoolMAX--0042-2020-01-%1.log"_s.arg(day, 2, 10, QLatin1Char('0'));
    kept << u"TSIS_SchoolMAX--00421-2019-01-01.log"_s << u"TSIS_SchoolMAX--0042-notes.log"_s;
    for (const QString& name : kept)
        BridgeSandbox::writeText(logs + QLatin1Char('/') + name, "old\r\n");

    const BridgeResult r = box.run(runArguments(out, logs));
    EXPECT_EQ(r.status, 1);
    // The two oldest daily logs go; beside the others the run's summary, named after its start time.
    kept = kept.mid(2) << logName();
    kept.sort();
    QStringList files = BridgeSandbox::files(logs);
    const QStringList summaries = files.filter(u".summary.json"_s);
    EXPECT_EQ(summaries.size(), 1);
    files.removeOne(summaries.value(0));
    EXPECT_EQ(files, kept);
    // The data source does not exist: the engine reports why and the run fails.
    EXPECT_TRUE(maskTimes(r.out).startsWith(
        u"log\tInformational\thh:mm:ss\tLogManager::setupLogFile\tLog file "_s + logs + QLatin1Char('/') +
        logName() + u" setup.\n"_s + kStartedLine + kExecutionStart(out)));
    EXPECT_TRUE(maskTimes(r.out).endsWith(kExecuteFailed));
    EXPECT_TRUE(r.out.contains(u"Data source name not found"_s));
    EXPECT_EQ(r.err, QString());

    EXPECT_EQ(BridgeSandbox::files(out),
              QStringList({u"BridgeStatus.tmp"_s, kStatusFile, logName(), kFinishedFile}));
    EXPECT_EQ(maskTimes(BridgeSandbox::readText(out + u"/BridgeStatus.tmp"_s)),
              u"yyyy/MM/dd hh:mm:ss\tExtract Running\r\n"_s);
    EXPECT_EQ(statusFileText(out), statusLine(u"Failed"_s, u"Failed on extraction."_s));
    EXPECT_EQ(finishedFileText(out), u"finished\r\n"_s);

    const QString expectedLog = goldenText(u"RunCommand.FailedExtractionLeavesStatusFilesAndTheLog.log"_s)
                                    .replace(u"<logs>"_s, logs)
                                    .replace(u"<out>"_s, out)
                                    .replace(u"<exe>"_s, QStringLiteral(TSISBRIDGE_EXE))
                                    .replace(u"<today>"_s, today())
                                    .replace(u"<year>"_s, QString::number(QDate::currentDate().year()))
                                    .replace(u"\n"_s, u"\r\n"_s);
    const QString log = maskLog(BridgeSandbox::readText(logs + QLatin1Char('/') + logName()));
    EXPECT_TRUE(log.startsWith(expectedLog));
    // The copy in the output folder is taken when the extraction ends; the
    // engine's own closing lines follow only in the log folder.
    const QString copy = maskLog(BridgeSandbox::readText(out + QLatin1Char('/') + logName()));
    EXPECT_TRUE(copy.endsWith(u"TSIS SchoolMAX:hh:mm:ss: Error         BridgeTaskBase::BeginExecute: Bridge "
                              "execution failed, consult logs for more information.\r\n"_s));
    EXPECT_TRUE(log.startsWith(copy));
    EXPECT_TRUE(log.endsWith(u": End DataAccessBase Destructor\r\n"_s));
}

TEST(RunCommand, SchoolValueCannotPlaceTheLogOutsideItsFolder)
{
    BridgeSandbox box;
    const QString out = box.path(u"a/b/out"_s);
    QStringList args{u"run"_s, u"--path="_s + out, u"--dsn=Sis"_s, u"--district=7"_s, u"--school=../../x"_s};
    const BridgeResult r = box.run(args);
    EXPECT_EQ(r.status, 1);
    const QString name = u"TSIS_SchoolMAX--.._.._x-"_s + today() + u".log"_s;
    EXPECT_TRUE(QFileInfo::exists(out + QLatin1Char('/') + name));
    EXPECT_TRUE(BridgeSandbox::files(box.path(u"a"_s)).isEmpty());
}

TEST(RunCommand, UnwritableLogFolderFallsBackToDocuments)
{
    BridgeSandbox box;
    const QString out = box.path(u"out"_s);
    // A file where the log folder should be.
    const QString blocked = box.path(u"blocked"_s);
    BridgeSandbox::writeText(blocked, "x");
    const BridgeResult r = box.run(runArguments(out, blocked));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(QFileInfo::exists(box.documents() + QLatin1Char('/') + logName()));
    EXPECT_EQ(r.err, u"error\tLog File Error\tCould not write to: "_s + blocked +
                         u"TSIS_SchoolMAX--0042. Will now write to: "_s + box.documents() +
                         u"/TSIS_SchoolMAX--0042\n"_s);
    EXPECT_TRUE(QFileInfo::exists(out + QLatin1Char('/') + logName()));
}

TEST(RunCommand, ExtractStyleSilencesTheConsoleDuringExtraction)
{
    BridgeSandbox box;
    const QString out = box.path(u"out"_s);
    BridgeSandbox::writeText(out + u"/BridgeStatus.tmp"_s, "2020/01/01 00:00:00\tSucceeded\r\n");
    QStringList args = runArguments(out, QString());
    args << u"--log=extract"_s;
    const BridgeResult r = box.run(args);
    EXPECT_EQ(r.status, 1);
    // Without a log folder the log goes to the output folder; the run status is replaced when the run starts.
    EXPECT_EQ(BridgeSandbox::files(out),
              QStringList({u"BridgeStatus.tmp"_s, kStatusFile, logName(), kFinishedFile}));
    EXPECT_EQ(maskTimes(BridgeSandbox::readText(out + u"/BridgeStatus.tmp"_s)),
              u"yyyy/MM/dd hh:mm:ss\tExtract Running\r\n"_s);
    // Log lines reach the console until the extraction starts; during it only
    // progress lines and errors do.
    const QString head = u"log\tInformational\thh:mm:ss\tLogManager::setupLogFile\tLog file "_s + out +
                         QLatin1Char('/') + logName() + u" setup.\n"_s + kStartedLine +
                         u"inc_progress\tStarting Execution...\n"_s;
    const QString text = maskTimes(r.out);
    ASSERT_TRUE(text.startsWith(head));
    for (const QString& line : text.mid(head.size()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    {
        if (line.startsWith(u"log\t"_s))
        {
            EXPECT_TRUE(line.startsWith(u"log\tError        \t"_s)) << qPrintable(line);
        }
    }
    EXPECT_TRUE(text.endsWith(kExecuteFailed));
    EXPECT_FALSE(r.engineClosed);
}

} // namespace
