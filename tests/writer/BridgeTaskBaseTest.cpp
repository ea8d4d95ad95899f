#include "MemoryWriter.h"
#include "SchoolConfig.h"

#include "XException.h"

namespace
{
class TaskFrameTest : public WriterTest
{
protected:
    void SetUp() override
    {
        WriterTest::SetUp();
        writer.SetProgressCounts(2, 10, 35, 1, 1);
        params["filterdaily"] = "true";
        params["filterperiod"] = "true";
    }
};

TEST_F(TaskFrameTest, AttendanceUnitsFromTheSchoolYearStart)
{
    XClock::SetFixed(At(2026, 10, 15, 8, 0, 0));
    // (15 Oct 2026 - 3 Sep 2026) / 6 = 7 units for each attendance kind.
    EXPECT_EQ(2 + 10 + 2 + 35 + (7 + 1) + (7 + 1), writer.CalculateProgressSize(3));
    EXPECT_EQ(2 + 10 + 2 + (7 + 1) + (7 + 1), writer.CalculateProgressSize(2));

    XClock::SetFixed(At(2027, 3, 15, 8, 0, 0));
    // Before September the year started last year: 193 days / 6 = 32.
    EXPECT_EQ(2 + 10 + 2 + (32 + 1) + (32 + 1), writer.CalculateProgressSize(2));
}

TEST_F(TaskFrameTest, UpdateDateTodayGivesOneUnit)
{
    writer.SetProgressCounts(2, 10, 35, 0, 4);
    writer.SetUpdateDate(XDate(2026, 12, 10)); // SaveSchoolConfig stores the day before
    writer.SaveSchoolConfig();
    ASSERT_EQ(XDate(2026, 12, 9), SchoolConfig::ReadUpdateDate(writer.SDEFolder()));
    EXPECT_EQ(2 + 10 + 2 + 5, writer.CalculateProgressSize(2));
    EXPECT_TRUE(signalLog.Has(7, "Calculating Progress Size: Period Att total is 0 or less"));
}

TEST_F(TaskFrameTest, FiltersOffOrFlagsZero)
{
    EXPECT_EQ(2 + 10 + 2, writer.CalculateProgressSize(0));
    params["filterdaily"] = "false";
    params["filterperiod"] = "TRUE";
    XClock::SetFixed(At(2026, 10, 15, 8, 0, 0));
    EXPECT_EQ(2 + 10 + 2, writer.CalculateProgressSize(2));
}

TEST_F(TaskFrameTest, ZeroCountsAreOnlyLogged)
{
    writer.SetProgressCounts(0, -1, 0, 0, 0);
    EXPECT_EQ(1, writer.CalculateProgressSize(1));
    for (const char* what : {"Setup", "LUT", "Import", "Daily Att", "Period Att"})
        EXPECT_TRUE(signalLog.Has(7, std::string("Calculating Progress Size: ") + what + " total is 0 or less"))
            << what;
}

TEST_F(TaskFrameTest, BeginExecuteRunsTheBody)
{
    XClock::SetFixed(At(2026, 10, 15, 8, 0, 0));
    int seenFlags = -1;
    writer.body = [&](ParamMap& given, int flags, QString&) {
        seenFlags = flags;
        EXPECT_EQ(&given, writer.Params());
        return true;
    };
    QString errorText;
    EXPECT_TRUE(writer.BeginExecute(params, 2, errorText));
    EXPECT_EQ(2, seenFlags);
    EXPECT_TRUE(errorText.isEmpty());
    EXPECT_EQ(nullptr, writer.Params()); // the map is not kept after the run

    ASSERT_FALSE(signalLog.logs.empty());
    EXPECT_EQ(5, signalLog.logs[0].level);
    EXPECT_EQ("Starting Execution...", signalLog.logs[0].message);
    EXPECT_EQ("BridgeTaskBase::BeginExecute", signalLog.logs[0].method);
    EXPECT_EQ("Starting Execution...", signalLog.increments.at(0));
    EXPECT_TRUE(signalLog.Has(7, "Update Date is: "));
    ASSERT_EQ(1u, signalLog.progress.size());
    EXPECT_EQ(std::make_pair(std::string("start_progress"), 2 + 10 + 2 + 8 + 8), signalLog.progress[0]);
}

TEST_F(TaskFrameTest, BeginExecuteReadsTheStoredUpdateDate)
{
    writer.SetUpdateDate(XDate(2026, 12, 8));
    writer.SetUpdateDateTime(At(2026, 12, 8, 14, 30, 0));
    writer.SaveSchoolConfig();
    writer.SetUpdateDate(XDate());
    writer.body = [](ParamMap&, int, QString&) { return true; };
    QString errorText;
    writer.BeginExecute(params, 0, errorText);
    EXPECT_EQ(XDate(2026, 12, 7), writer.UpdateDate());
    EXPECT_EQ(At(2026, 12, 7, 14, 30, 0), writer.UpdateDateTime());
    EXPECT_TRUE(signalLog.Has(7, "Update Date is: Dec 07 2026"));
}

TEST_F(TaskFrameTest, FalseWithoutMessageGetsTheGeneralOne)
{
    writer.body = [](ParamMap&, int, QString&) { return false; };
    QString errorText;
    EXPECT_FALSE(writer.BeginExecute(params, 1, errorText));
    EXPECT_EQ("Bridge execution failed, consult logs for more information.", errorText.toStdString());
    EXPECT_TRUE(signalLog.Has(3, "Bridge execution failed, consult logs for more information."));
}

TEST_F(TaskFrameTest, FalseWithMessageKeepsIt)
{
    writer.body = [](ParamMap&, int, QString& error) {
        error = "Cannot determine School Year, cannot continue.";
        return false;
    };
    QString errorText;
    EXPECT_FALSE(writer.BeginExecute(params, 1, errorText));
    EXPECT_EQ("Cannot determine School Year, cannot continue.", errorText.toStdString());
    EXPECT_TRUE(signalLog.Has(3, "Cannot determine School Year, cannot continue."));
}

TEST_F(TaskFrameTest, ExceptionsBecomeFalse)
{
    writer.body = [](ParamMap&, int, QString&) -> bool { throw XException("Table does not exist : ST010"); };
    QString errorText;
    EXPECT_FALSE(writer.BeginExecute(params, 1, errorText));
    EXPECT_TRUE(signalLog.Has(7, "Caught Exception"));
    EXPECT_TRUE(signalLog.Has(3, "Table does not exist : ST010"));

    signalLog.logs.clear();
    writer.body = [](ParamMap&, int, QString&) -> bool { throw std::runtime_error("bad_alloc-ish"); };
    EXPECT_FALSE(writer.BeginExecute(params, 1, errorText));
    EXPECT_TRUE(signalLog.Has(3, "bad_alloc-ish"));

    signalLog.logs.clear();
    writer.body = [](ParamMap&, int, QString&) -> bool { throw 7; };
    QString unknownText;
    EXPECT_FALSE(writer.BeginExecute(params, 1, unknownText));
    EXPECT_TRUE(signalLog.Has(3, "Execute failed for an unkown reason, please consult Vantrel support."));
    EXPECT_FALSE(unknownText.isEmpty());
}

TEST_F(TaskFrameTest, FolderThatCannotBeCreated)
{
    WriteFileBytes(PathOf("blocker"), "a file where a folder should go");
    params["path"] = QString::fromStdString(PathOf("blocker/sde"));
    bool called = false;
    writer.body = [&](ParamMap&, int, QString&) { return called = true; };
    QString errorText;
    EXPECT_FALSE(writer.BeginExecute(params, 1, errorText));
    EXPECT_FALSE(called);
    const std::string message = "Could not create sde folder: " + PathOf("blocker/sde");
    EXPECT_TRUE(signalLog.Has(3, message));
    ASSERT_EQ(1u, signalLog.errors.size());
    EXPECT_EQ(std::make_pair(std::string("file"), message), signalLog.errors[0]);
    EXPECT_TRUE(signalLog.progress.empty());
}

TEST_F(TaskFrameTest, FolderIsCreatedWithItsParents)
{
    std::string nested = PathOf("a\\b/c");
    EXPECT_TRUE(writer.SetSDEFolder(XString(nested)));
    EXPECT_EQ(PathOf("a/b/c/"), std::string(writer.SDEFolder().Path()));
    EXPECT_TRUE(QDir(QString::fromStdString(PathOf("a/b/c"))).exists());
}

TEST(BridgeTaskBaseTest, PlainTaskReportsTheMissingEngine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    BridgeTaskBase task;
    SignalLog log;
    log.Attach(task);
    ParamMap params;
    params["path"] = dir.path();
    QString errorText;
    EXPECT_FALSE(task.BeginExecute(params, 1, errorText));
    EXPECT_EQ("Execute not defined correctly in ExpEngine.", errorText.toStdString());
    EXPECT_TRUE(log.Has(3, "Execute not defined correctly in ExpEngine."));

    QList<BridgeTaskBase::ListEntry> entries;
    EXPECT_FALSE(task.LoadList(entries, "teacher", params, errorText));
    ASSERT_FALSE(log.logs.empty());
    EXPECT_EQ(3, log.logs.back().level);
    EXPECT_EQ("Not set up yet.", log.logs.back().message);
    EXPECT_EQ("BridgeTaskBase::LoadList", log.logs.back().method);
}

TEST(BridgeTaskBaseTest, LogLevelsReachTheProgressLines)
{
    BridgeTaskBase task;
    SignalLog log;
    log.Attach(task);
    task.Log(5, "five", "A::B");
    task.Log(6, "six");
    task.Log(7, "seven");
    task.PutJobText("Reading Students...");
    task.PutTotalText("total");

    std::vector<std::string> increments = {"five", "Reading Students..."};
    EXPECT_EQ(increments, log.increments);
    EXPECT_EQ(std::vector<std::string>{"six"}, log.warnings);
    ASSERT_EQ(5u, log.logs.size());
    EXPECT_EQ("A::B", log.logs[0].method);
    EXPECT_EQ("", log.logs[1].method);
    EXPECT_EQ(7, log.logs[3].level);
    EXPECT_EQ("BridgeTaskBase::PutJobText", log.logs[3].method);
    EXPECT_EQ("BridgeTaskBase::PutTotalText", log.logs[4].method);
}

TEST(BridgeTaskBaseTest, LatinOneCrossesUnchanged)
{
    BridgeTaskBase task;
    SignalLog log;
    log.Attach(task);
    task.Log(7, XString("caf\xe9"));
    ASSERT_EQ(1u, log.logs.size());
    EXPECT_EQ("caf\xc3\xa9", log.logs[0].message); // toStdString gives UTF-8
}
} // namespace
