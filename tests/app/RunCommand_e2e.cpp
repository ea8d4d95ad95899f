#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

const QString kRule = QString(73, QLatin1Char('-'));

QStringList runArguments(const QString& out, const QString& logs)
{
    QStringList args{QStringLiteral("run"), QStringLiteral("--path=") + out, QStringLiteral("--dsn=Sis"),
                     QStringLiteral("--district=7"), QStringLiteral("--school=0042")};
    if (!logs.isEmpty())
        args << QStringLiteral("--logpath=") + logs;
    return args;
}

QString logName()
{
    return QStringLiteral("TSIS_SchoolMAX--0042-") + today() + QStringLiteral(".log");
}

// The first console lines of every extraction.
QString kExecutionStart(const QString& out)
{
    return QStringLiteral(
               "log\tProgress     \thh:mm:ss\tBridgeTaskBase::BeginExecute\tStarting Execution...\n"
               "inc_progress\tStarting Execution...\n"
               "log\tInformational\thh:mm:ss\t\tSDE Folder is: ") +
           out + QStringLiteral("/\n");
}

const QString kExecuteFailed =
    QStringLiteral("log\tError        \thh:mm:ss\tBridgeTaskBase::BeginExecute\tBridge execution failed, "
                   "consult logs for more information.\n");

QString fileLine(const QString& level, const QString& method, const QString& message)
{
    return QStringLiteral("TSIS SchoolMAX:hh:mm:ss: ") + level + QLatin1Char(' ') + method +
           QStringLiteral(": ") + message + QStringLiteral("\r\n");
}

QString headerBlock()
{
    return QStringLiteral("\r\n") + kRule + QStringLiteral("\r\n") +
           QStringLiteral("Vantrel Data Extractor for TSIS/SchoolMAX File\r\n"
                          "All rights reserved. Copyright (c) Vantrel Software ") +
           QString::number(QDate::currentDate().year()) + QStringLiteral("\r\nwww.vantrel.com\r\n") + kRule +
           QStringLiteral("\r\n\r\n") +
           QStringLiteral("Built on       : Nov 20 2014 16:13:20\r\n"
                          "Generated on   : <now>\r\n"
                          "Version        : 4.2.9.0\r\n"
                          "               : <os>\r\n") +
           kRule + QStringLiteral("\r\n\r\n");
}

QString maskLog(QString text)
{
    text = maskTimes(text);
    static const QRegularExpression os(QStringLiteral("\n               : [^\r]*"));
    return text.replace(os, QStringLiteral("\n               : <os>"));
}

TEST(RunCommand, FailedExtractionLeavesStatusFilesAndTheLog)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const QString logs = box.path(QStringLiteral("logs"));
    BridgeSandbox::writeText(out + QStringLiteral("/finished.tmp"), "finished\r\n");
    BridgeSandbox::writeText(out + QLatin1Char('/') + kFinishedFile, "finished\r\n");

    const BridgeResult r = box.run(runArguments(out, logs));
    EXPECT_EQ(r.status, 1);
    // The data source does not exist: the engine reports why and the run fails.
    EXPECT_TRUE(maskTimes(r.out).startsWith(
        QStringLiteral("log\tInformational\thh:mm:ss\tLogManager::setupLogFile\tLog file ") + logs +
        QLatin1Char('/') + logName() + QStringLiteral(" setup.\n") + kStartedLine + kExecutionStart(out)));
    EXPECT_TRUE(maskTimes(r.out).endsWith(kExecuteFailed));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Data source name not found")));
    EXPECT_EQ(r.err, QString());

    EXPECT_EQ(BridgeSandbox::files(out),
              QStringList({QStringLiteral("BridgeStatus.tmp"), kStatusFile, logName(), kFinishedFile}));
    EXPECT_EQ(maskTimes(BridgeSandbox::readText(out + QStringLiteral("/BridgeStatus.tmp"))),
              QStringLiteral("yyyy/MM/dd hh:mm:ss\tExtract Running\r\n"));
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("Failed on extraction.")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));

    const QString debug = QStringLiteral("Debug        ");
    const QString info = QStringLiteral("Informational");
    const QString header = QStringLiteral("AppBase::LogHeader");
    const QString begin = QStringLiteral("BridgeTaskBase::BeginExecute");
    const QString size = QStringLiteral("BridgeTaskBase::CalculateProgressSize");
    const QString expectedLog =
        fileLine(info, QStringLiteral("LogManager::setupLogFile"),
                 QStringLiteral("Log file ") + logs + QLatin1Char('/') + logName() +
                     QStringLiteral(" setup.")) +
        headerBlock() + fileLine(debug, header, QStringLiteral("App Framework Version: 1.0.0.2")) +
        fileLine(debug, header, QString()) + fileLine(debug, header, QStringLiteral("Command: run")) +
        fileLine(debug, header, QString()) + fileLine(debug, header, QStringLiteral("path=") + out) +
        fileLine(debug, header, QStringLiteral("logpath=") + logs) +
        fileLine(debug, header, QStringLiteral("dsn=Sis")) +
        fileLine(debug, header, QStringLiteral("district=7")) +
        fileLine(debug, header, QStringLiteral("school=0042")) +
        fileLine(debug, header, QStringLiteral("appath=") + QStringLiteral(TSISBRIDGE_EXE)) +
        fileLine(QStringLiteral("Progress     "), begin, QStringLiteral("Starting Execution...")) +
        fileLine(info, QString(), QStringLiteral("SDE Folder is: ") + out + QLatin1Char('/')) +
        fileLine(info, begin, QStringLiteral("Update Date is: "));
    const QString log = maskLog(BridgeSandbox::readText(logs + QLatin1Char('/') + logName()));
    EXPECT_TRUE(log.startsWith(expectedLog));
    // The copy in the output folder is taken when the extraction ends; the
    // engine's own closing lines follow only in the log folder.
    const QString copy = maskLog(BridgeSandbox::readText(out + QLatin1Char('/') + logName()));
    EXPECT_TRUE(copy.endsWith(fileLine(QStringLiteral("Error        "), begin,
                                       QStringLiteral("Bridge execution failed, consult logs for more "
                                                      "information."))));
    EXPECT_TRUE(log.startsWith(copy));
    EXPECT_TRUE(log.endsWith(QStringLiteral(": End DataAccessBase Destructor\r\n")));
}

TEST(RunCommand, SetsUpTheDailyLogAndPrunesOnlyItsOwnOldLogs)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const QString logs = box.path(QStringLiteral("logs"));
    QStringList old;
    for (int day = 1; day <= 8; ++day)
    {
        const QString name =
            QStringLiteral("TSIS_SchoolMAX--0042-2020-01-%1.log").arg(day, 2, 10, QLatin1Char('0'));
        BridgeSandbox::writeText(logs + QLatin1Char('/') + name, "old\r\n");
        old << name;
    }
    // Another school's logs and a file that is no daily log stay.
    const QString otherSchool = QStringLiteral("TSIS_SchoolMAX--00421-2019-01-01.log");
    const QString notDaily = QStringLiteral("TSIS_SchoolMAX--0042-notes.log");
    BridgeSandbox::writeText(logs + QLatin1Char('/') + otherSchool, "x");
    BridgeSandbox::writeText(logs + QLatin1Char('/') + notDaily, "x");

    const BridgeResult r = box.run(runArguments(out, logs));
    EXPECT_EQ(r.status, 1);

    QStringList expected = old.mid(2);
    expected << logName() << notDaily << otherSchool;
    expected.sort();
    // Beside them the run's summary, named after its start time.
    QStringList files = BridgeSandbox::files(logs);
    const QStringList summaries = files.filter(QStringLiteral(".summary.json"));
    EXPECT_EQ(summaries.size(), 1);
    files.removeOne(summaries.value(0));
    EXPECT_EQ(files, expected);
}

TEST(RunCommand, WithoutLogpathTheLogGoesToTheOutputFolder)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const BridgeResult r = box.run(runArguments(out, QString()));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(BridgeSandbox::files(out),
              QStringList({QStringLiteral("BridgeStatus.tmp"), kStatusFile, logName(), kFinishedFile}));
    EXPECT_TRUE(
        maskTimes(r.out).startsWith(QStringLiteral("log\tInformational\thh:mm:ss\tLogManager::setupLogFile\t"
                                                   "Log file ") +
                                    out + QLatin1Char('/') + logName() + QStringLiteral(" setup.\n")));
}

TEST(RunCommand, SchoolValueCannotPlaceTheLogOutsideItsFolder)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("a/b/out"));
    QStringList args{QStringLiteral("run"), QStringLiteral("--path=") + out, QStringLiteral("--dsn=Sis"),
                     QStringLiteral("--district=7"), QStringLiteral("--school=../../x")};
    const BridgeResult r = box.run(args);
    EXPECT_EQ(r.status, 1);
    const QString name = QStringLiteral("TSIS_SchoolMAX--.._.._x-") + today() + QStringLiteral(".log");
    EXPECT_TRUE(QFileInfo::exists(out + QLatin1Char('/') + name));
    EXPECT_TRUE(BridgeSandbox::files(box.path(QStringLiteral("a"))).isEmpty());
}

TEST(RunCommand, UnwritableLogFolderFallsBackToDocuments)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    // A file where the log folder should be.
    const QString blocked = box.path(QStringLiteral("blocked"));
    BridgeSandbox::writeText(blocked, "x");
    const BridgeResult r = box.run(runArguments(out, blocked));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(QFileInfo::exists(box.documents() + QLatin1Char('/') + logName()));
    EXPECT_EQ(r.err, QStringLiteral("error\tLog File Error\tCould not write to: ") + blocked +
                         QStringLiteral("TSIS_SchoolMAX--0042. Will now write to: ") + box.documents() +
                         QStringLiteral("/TSIS_SchoolMAX--0042\n"));
    EXPECT_TRUE(QFileInfo::exists(out + QLatin1Char('/') + logName()));
}

TEST(RunCommand, ExtractStyleSilencesTheConsoleDuringExtraction)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    QStringList args = runArguments(out, QString());
    args << QStringLiteral("--log=extract");
    const BridgeResult r = box.run(args);
    EXPECT_EQ(r.status, 1);
    // Log lines reach the console until the extraction starts; during it only
    // progress lines and errors do.
    const QString head = QStringLiteral("log\tInformational\thh:mm:ss\tLogManager::setupLogFile\tLog file ") +
                         out + QLatin1Char('/') + logName() + QStringLiteral(" setup.\n") + kStartedLine +
                         QStringLiteral("inc_progress\tStarting Execution...\n");
    const QString text = maskTimes(r.out);
    ASSERT_TRUE(text.startsWith(head));
    for (const QString& line : text.mid(head.size()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    {
        if (line.startsWith(QStringLiteral("log\t")))
        {
            EXPECT_TRUE(line.startsWith(QStringLiteral("log\tError        \t"))) << qPrintable(line);
        }
    }
    EXPECT_TRUE(text.endsWith(kExecuteFailed));
    EXPECT_FALSE(r.engineClosed);
}

TEST(RunCommand, RunStatusFileIsReplacedWhenTheRunStarts)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    BridgeSandbox::writeText(out + QStringLiteral("/BridgeStatus.tmp"), "2020/01/01 00:00:00\tSucceeded\r\n");
    box.run(runArguments(out, QString()));
    EXPECT_EQ(maskTimes(BridgeSandbox::readText(out + QStringLiteral("/BridgeStatus.tmp"))),
              QStringLiteral("yyyy/MM/dd hh:mm:ss\tExtract Running\r\n"));
}

} // namespace
