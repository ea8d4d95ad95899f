#include "SISMessageWriter.h"
#include "CapturedConsole.h"

#include <gtest/gtest.h>

namespace
{

class SISMessageWriterTest : public ::testing::Test
{
protected:
    void SetUp() override { writer->clearMessages(); }

    SISMessageWriter* writer = SISMessageWriter::instance();
    CapturedConsole console;
};

TEST_F(SISMessageWriterTest, ProgressLines)
{
    writer->outProgress(QStringLiteral("start_progress"), 0);
    writer->outProgress(QStringLiteral("end_progress"));
    writer->outProgress_increment();
    writer->outProgress_increment(QStringLiteral("Step"));
    writer->outProgress_warning();
    writer->outProgress_warning(QStringLiteral("Careful"));
    writer->outSetting(QStringLiteral("start_setting"));
    writer->outSetting_increment(QStringLiteral("setting"), QStringLiteral("g"), QStringLiteral("k"),
                                 QString());
    writer->outSetting_increment(QStringLiteral("setting"), QStringLiteral("g"), QStringLiteral("k"),
                                 QStringLiteral("v"), QStringLiteral("grp"));
    EXPECT_EQ(console.out,
              QStringLiteral("start_progress\t0\nend_progress\ninc_progress\ninc_progress\tStep\n"
                             "inc_progress\nwarn_progress\tCareful\nstart_setting\n"
                             "setting\tg\tk\t\nsetting\tg\tk\tv\tgrp\n"));
    EXPECT_EQ(console.err, QString());
}

TEST_F(SISMessageWriterTest, AnswerLinesKeepTheirFieldOrder)
{
    writer->outTest(QStringLiteral("success"), QStringLiteral("connection"),
                    QStringLiteral("Connection Successful."));
    writer->outVersion(QStringLiteral("a"), QStringLiteral("v"), QStringLiteral("m"), QStringLiteral("n"),
                       QStringLiteral("g"));
    writer->outHiddenParam(QStringLiteral("k"), QStringLiteral("v"), QString());
    writer->outTree(QStringLiteral("k"), QStringLiteral("d"), QStringLiteral("p"), QStringLiteral("n"),
                    QString());
    writer->outHidden(QStringLiteral("k"), QStringLiteral("t"), QStringLiteral("n"), QStringLiteral("h"),
                      QString());
    writer->outFile(QStringLiteral("k"), QStringLiteral("*.dat"), QString());
    writer->outNumber(QStringLiteral("k"), QStringLiteral("min=3"), QString());
    writer->outDate(QStringLiteral("k"), QStringLiteral("s"), QStringLiteral("e"), QStringLiteral("d"));
    writer->outStatus(QStringLiteral("success"), QStringLiteral("d"), QStringLiteral("m"));
    writer->outManage(QStringLiteral("fail"), QStringLiteral("m"));
    EXPECT_EQ(console.out, QStringLiteral("test\tconnection\tsuccess\tConnection Successful.\n"
                                          "version\ta\tv\tm\tn\tg\n"
                                          "hidden_param\tk\tv\t\n"
                                          "tree\tk\td\tp\tn\t\n"
                                          "hidden\tk\tt\tn\th\t\n"
                                          "file\tk\t*.dat\t\n"
                                          "number\tk\tmin=3\t\n"
                                          "date\tk\ts\te\td\n"
                                          "status\tsuccess\td\tm\n"
                                          "manage\tfail\tm\n"));
}

TEST_F(SISMessageWriterTest, ListLinesOnlyForListTypes)
{
    writer->outList(QStringLiteral("school_list"), QStringLiteral("school"), QStringLiteral("1"),
                    QStringLiteral("One"), QString());
    writer->outMissing(QStringLiteral("dsn"), QStringLiteral("gone"));
    writer->outList(QStringLiteral("tree"), QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("One"),
                    QString());
    EXPECT_EQ(console.out, QStringLiteral("school_list\tschool\t1\tOne\t\n"));
    EXPECT_EQ(console.err, QStringLiteral("missing\tdsn\tgone\nerror\tlist\tList type not set up.\n"));
}

TEST_F(SISMessageWriterTest, MissingLinesWaitForTheWarningAndAreNotRepeated)
{
    writer->outMissing(QStringLiteral("dsn"), QStringLiteral("ODBC DSN missing or blank."));
    writer->outMissing(QStringLiteral("user"), QStringLiteral("Username missing or blank."));
    writer->outMissing(QStringLiteral("dsn"), QStringLiteral("ODBC DSN missing or blank."));
    EXPECT_EQ(console.err, QString());
    writer->outWarning(QStringLiteral("connection"), QStringLiteral("Required parameter missing."));
    EXPECT_EQ(console.err, QStringLiteral("missing\tdsn\tODBC DSN missing or blank.\n"
                                          "missing\tuser\tUsername missing or blank.\n"));
    EXPECT_EQ(console.out, QStringLiteral("warning\tconnection\tRequired parameter missing.\n"));
    EXPECT_TRUE(writer->pendingMissing().isEmpty());
}

TEST_F(SISMessageWriterTest, ClearedMissingLinesAreNeverWritten)
{
    writer->outMissing(QStringLiteral("dsn"), QStringLiteral("x"));
    writer->clearMessages();
    writer->outError(QStringLiteral("App Problem"), QStringLiteral("broken"));
    EXPECT_EQ(console.err, QStringLiteral("error\tApp Problem\tbroken\n"));
    EXPECT_EQ(console.out, QString());
}

} // namespace
