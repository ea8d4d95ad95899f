#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

QString exeFolder()
{
    return QFileInfo(QStringLiteral(TSISBRIDGE_EXE)).canonicalPath();
}

QString versionAnswer()
{
    return QStringLiteral(
               "start_progress\t1\nversion\ttsis\t4.2.9.0\t2.01.0057\tTSIS SchoolMAX (Data Extractor)\t") +
           exeFolder() + QStringLiteral("/help/TSISGuide.pdf\nend_progress\n");
}

// Usage, help and the scanner's failures, each logged at its level, and unmet requirements.
TEST(CommandLine, UsageAndScannerFailures)
{
    const QString warning = QStringLiteral("log\tWarning      \thh:mm:ss\tAppBase::qMessageOutput\t");
    const QString error = QStringLiteral("log\tError        \thh:mm:ss\tAppBase::qMessageOutput\t");
    expectCases({
        {{}, 1, error + QStringLiteral("Lacking required argument\n") + kEmptyAnswer, kUsage},
        {{QStringLiteral("help")}, 1, kEmptyAnswer, kUsage},
        {{QStringLiteral("params"), QStringLiteral("--group=global"), QStringLiteral("--help")},
         1,
         kEmptyAnswer,
         kUsage},
        {{QStringLiteral("version"), QStringLiteral("--nosuch=1")},
         1,
         warning + QStringLiteral("Unknown option --nosuch\n") + kEmptyAnswer,
         kUsage},
        {{QStringLiteral("version"), QStringLiteral("-x")},
         1,
         warning + QStringLiteral("Unknown option -x\n") + kEmptyAnswer,
         kUsage},
        // A value given as a separate argument is a second bare word.
        {{QStringLiteral("--group"), QStringLiteral("global"), QStringLiteral("params")},
         1,
         error + QStringLiteral("Too many arguments --global\n") + kEmptyAnswer,
         kUsage},
        // Unmet requirements write no status file.
        {{QStringLiteral("test")},
         1,
         QStringLiteral("warning\ttest\tRequired parameter missing.\n") + kEmptyAnswer,
         QStringLiteral("missing\tgroup\tGroup missing or blank.\n")},
    });
}

TEST(CommandLine, RunGivenTwiceShowsUsageAndRecordsMaskedArguments)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const BridgeResult r =
        box.run({QStringLiteral("run"), QStringLiteral("run"), QStringLiteral("--path=") + out,
                 QStringLiteral("--pwdencode=536563726574"), QStringLiteral("--pwd=Plain")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        maskTimes(r.out),
        QStringLiteral("log\tError        \thh:mm:ss\tAppBase::qMessageOutput\tToo many arguments --run\n") +
            kEmptyAnswer);
    EXPECT_EQ(r.err, kUsage);
    EXPECT_EQ(BridgeSandbox::files(out), QStringList({kStatusFile, kFinishedFile}));
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("args: ") + QStringLiteral(TSISBRIDGE_EXE) +
                                                       QStringLiteral(", run, run, --path=") + out +
                                                       QStringLiteral(", --pwdencode=****, --pwd=****")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));
}

TEST(CommandLine, BareDoubleHyphenEndsWithStatusTwo)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const BridgeResult r =
        box.run({QStringLiteral("version"), QStringLiteral("--path=") + out, QStringLiteral("--")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(
        maskTimes(r.out),
        QStringLiteral(
            "log\tWarning      \thh:mm:ss\tAppBase::qMessageOutput\t'--' feature not supported, yet\n"));
    EXPECT_FALSE(r.engineClosed);
    EXPECT_EQ(r.err, QString());
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST(CommandLine, VersionSucceedsAndWritesStatusFiles)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const BridgeResult r = box.run({QStringLiteral("version"), QStringLiteral("--path=") + out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, versionAnswer());
    // The engine logs its destruction when the application object goes away.
    EXPECT_TRUE(r.engineClosed);
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(BridgeSandbox::files(out), QStringList({kStatusFile, kFinishedFile}));
    EXPECT_EQ(statusFileText(out), statusLine(QStringLiteral("Succeeded"), QStringLiteral("Succeeded")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));
}

TEST(CommandLine, VersionWithoutPathLeavesNoStatusFiles)
{
    BridgeSandbox box;
    const BridgeResult r = box.run({QStringLiteral("version")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, versionAnswer());
    EXPECT_FALSE(QFileInfo::exists(box.documents()));
}

TEST(CommandLine, ValidationValueOfLettersLeavesNormalOperation)
{
    BridgeSandbox box;
    const BridgeResult r = box.run({QStringLiteral("version"), QStringLiteral("--validate=seven")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, versionAnswer());
}

TEST(CommandLine, PathWithTrailingDoubleQuoteEndsWithSeparator)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("quoted"));
    const BridgeResult r =
        box.run({QStringLiteral("version"), QStringLiteral("--path=") + out + QLatin1Char('"')});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(BridgeSandbox::files(out), QStringList({kStatusFile, kFinishedFile}));
    EXPECT_FALSE(QFileInfo::exists(out + QLatin1Char('"')));
}

TEST(CommandLine, UndefinedCommandWordIsReported)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const BridgeResult r = box.run({QStringLiteral("frobnicate"), QStringLiteral("--path=") + out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(r.err, QStringLiteral("error\tApp Problem\tThis command has not been defined: frobnicate\n"));
    EXPECT_EQ(statusFileText(out),
              statusLine(QStringLiteral("Failed"), QStringLiteral("Command not defined.")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));
}

TEST(CommandLine, RunNeedsConnectionSchoolAndPath)
{
    BridgeSandbox box;
    BridgeResult r = box.run({QStringLiteral("run"), QStringLiteral("--dsn=Sis")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("warning\tschool\tRequired parameter missing.\n") + kEmptyAnswer);
    EXPECT_EQ(r.err, QStringLiteral("missing\tdistrict\tDistrict missing or blank.\n"
                                    "missing\tschool\tSchool Number missing or blank.\n"));

    r = box.run({QStringLiteral("run"), QStringLiteral("--dsn=Sis"), QStringLiteral("--district=1"),
                 QStringLiteral("--school=2")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("warning\trun\tRequired parameter missing.\n") + kEmptyAnswer);
    EXPECT_EQ(r.err, QStringLiteral("missing\tpath\tSDE Folder missing or blank.\n"));
    EXPECT_FALSE(QFileInfo::exists(box.documents()));
}

} // namespace
