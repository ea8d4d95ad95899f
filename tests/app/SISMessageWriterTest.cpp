#include "SISMessageWriter.h"
#include "CapturedConsole.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
    writer->outProgress(u"start_progress"_s, 0);
    writer->outProgress(u"end_progress"_s);
    writer->outProgress_increment();
    writer->outProgress_increment(u"Step"_s);
    writer->outProgress_warning();
    writer->outProgress_warning(u"Careful"_s);
    writer->outSetting(u"start_setting"_s);
    writer->outSetting_increment(u"setting"_s, u"g"_s, u"k"_s, QString());
    writer->outSetting_increment(u"setting"_s, u"g"_s, u"k"_s, u"v"_s, u"grp"_s);
    EXPECT_EQ(console.out, u"start_progress\t0\nend_progress\ninc_progress\ninc_progress\tStep\n"
                           "inc_progress\nwarn_progress\tCareful\nstart_setting\n"
                           "setting\tg\tk\t\nsetting\tg\tk\tv\tgrp\n"_s);
    EXPECT_EQ(console.err, QString());
}

TEST_F(SISMessageWriterTest, AnswerLinesKeepTheirFieldOrder)
{
    writer->outTest(u"success"_s, u"connection"_s, u"Connection Successful."_s);
    writer->outVersion(u"a"_s, u"v"_s, u"m"_s, u"n"_s, u"g"_s);
    writer->outHiddenParam(u"k"_s, u"v"_s, QString());
    writer->outTree(u"k"_s, u"d"_s, u"p"_s, u"n"_s, QString());
    writer->outHidden(u"k"_s, u"t"_s, u"n"_s, u"h"_s, QString());
    writer->outFile(u"k"_s, u"*.dat"_s, QString());
    writer->outNumber(u"k"_s, u"min=3"_s, QString());
    writer->outDate(u"k"_s, u"s"_s, u"e"_s, u"d"_s);
    writer->outStatus(u"success"_s, u"d"_s, u"m"_s);
    writer->outManage(u"fail"_s, u"m"_s);
    EXPECT_EQ(console.out, u"test\tconnection\tsuccess\tConnection Successful.\n"
                           "version\ta\tv\tm\tn\tg\n"
                           "hidden_param\tk\tv\t\n"
                           "tree\tk\td\tp\tn\t\n"
                           "hidden\tk\tt\tn\th\t\n"
                           "file\tk\t*.dat\t\n"
                           "number\tk\tmin=3\t\n"
                           "date\tk\ts\te\td\n"
                           "status\tsuccess\td\tm\n"
                           "manage\tfail\tm\n"_s);
}

TEST_F(SISMessageWriterTest, ListLinesOnlyForListTypes)
{
    writer->outList(u"school_list"_s, u"school"_s, u"1"_s, u"One"_s, QString());
    writer->outMissing(u"dsn"_s, u"gone"_s);
    writer->outList(u"tree"_s, u"x"_s, u"1"_s, u"One"_s, QString());
    EXPECT_EQ(console.out, u"school_list\tschool\t1\tOne\t\n"_s);
    EXPECT_EQ(console.err, u"missing\tdsn\tgone\nerror\tlist\tList type not set up.\n"_s);
}

TEST_F(SISMessageWriterTest, MissingLinesWaitForTheWarningAndAreNotRepeated)
{
    writer->outMissing(u"dsn"_s, u"ODBC DSN missing or blank."_s);
    writer->outMissing(u"user"_s, u"Username missing or blank."_s);
    writer->outMissing(u"dsn"_s, u"ODBC DSN missing or blank."_s);
    EXPECT_EQ(console.err, QString());
    writer->outWarning(u"connection"_s, u"Required parameter missing."_s);
    EXPECT_EQ(console.err, u"missing\tdsn\tODBC DSN missing or blank.\n"
                           "missing\tuser\tUsername missing or blank.\n"_s);
    EXPECT_EQ(console.out, u"warning\tconnection\tRequired parameter missing.\n"_s);
    EXPECT_TRUE(writer->pendingMissing().isEmpty());
}

TEST_F(SISMessageWriterTest, ClearedMissingLinesAreNeverWritten)
{
    writer->outMissing(u"dsn"_s, u"x"_s);
    writer->clearMessages();
    writer->outError(u"App Problem"_s, u"broken"_s);
    EXPECT_EQ(console.err, u"error\tApp Problem\tbroken\n"_s);
    EXPECT_EQ(console.out, QString());
}

} // namespace
