#include "MemoryWriter.h"
#include "SchoolConfig.h"

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
    bool Run(int flags, QString& errorText) { return writer.BeginExecute(params, flags, errorText); }
};

// Setup 2, lookups 10, 2 more, import 35 with flag 1; with flag 2 each filtered
// attendance kind adds (days since the update date or the school year's
// start on 3 September) / 6 + 1.
TEST_F(TaskFrameTest, ProgressSizeFollowsTheFlagsAndTheAttendanceDays)
{
    const struct
    {
        XDateTime now;
        int flags;
        const char* filterDaily;
        int size;
    } cases[] = {
        {At(2026, 10, 15, 8), 3, "true", 2 + 10 + 2 + 35 + (7 + 1) + (7 + 1)},
        {At(2026, 10, 15, 8), 2, "true", 2 + 10 + 2 + (7 + 1) + (7 + 1)},
        {At(2027, 3, 15, 8), 2, "true", 2 + 10 + 2 + (32 + 1) + (32 + 1)}, // the year began last year
        {At(2026, 10, 15, 8), 0, "true", 2 + 10 + 2},
        {At(2026, 10, 15, 8), 2, "false", 2 + 10 + 2 + (7 + 1)},
    };
    for (const auto& c : cases)
    {
        XClock::SetFixed(c.now);
        params["filterdaily"] = c.filterDaily;
        EXPECT_EQ(c.size, writer.CalculateProgressSize(c.flags)) << c.now.Format("YYYYMMDD").Std() << c.flags;
    }
    params["filterperiod"] = "TRUE";
    EXPECT_EQ(2 + 10 + 2, writer.CalculateProgressSize(2));

    writer.SetProgressCounts(2, 10, 35, 0, 4);
    writer.SetUpdateDate(XDate(2026, 12, 10)); // SaveSchoolConfig stores the day before: today
    writer.SaveSchoolConfig();
    ASSERT_EQ(XDate(2026, 12, 9), SchoolConfig::ReadUpdateDate(writer.SDEFolder()));
    XClock::SetFixed(At(2026, 12, 9, 10));
    params["filterdaily"] = "true";
    params["filterperiod"] = "true";
    EXPECT_EQ(2 + 10 + 2 + 5, writer.CalculateProgressSize(2));

    writer.SetProgressCounts(0, -1, 0, 0, 0);
    EXPECT_EQ(1, writer.CalculateProgressSize(1));
    for (const char* what : {"Setup", "LUT", "Import", "Daily Att", "Period Att"})
        EXPECT_TRUE(
            signalLog.Has(7, std::string("Calculating Progress Size: ") + what + " total is 0 or less"))
            << what;
}

TEST_F(TaskFrameTest, BeginExecuteRunsTheBody)
{
    XClock::SetFixed(At(2026, 10, 15, 8));
    int seenFlags = -1;
    writer.body = [&](ParamMap& given, int flags, QString&)
    {
        seenFlags = flags;
        EXPECT_EQ(&given, writer.Params());
        return true;
    };
    QString errorText;
    EXPECT_TRUE(Run(2, errorText));
    EXPECT_EQ(2, seenFlags);
    EXPECT_TRUE(errorText.isEmpty());
    EXPECT_EQ(nullptr, writer.Params()); // the map is not kept after the run
    ASSERT_EQ(1u, signalLog.progress.size());
    EXPECT_EQ(std::make_pair(std::string("start_progress"), 2 + 10 + 2 + 8 + 8), signalLog.progress[0]);

    // The stored update date is read back as stored, the day before the one saved.
    writer.SetUpdateDate(XDate(2026, 12, 8));
    writer.SetUpdateDateTime(At(2026, 12, 8, 14, 30));
    writer.SaveSchoolConfig();
    writer.SetUpdateDate(XDate());
    Run(0, errorText);
    EXPECT_EQ(XDate(2026, 12, 7), writer.UpdateDate());
    EXPECT_EQ(At(2026, 12, 7, 14, 30), writer.UpdateDateTime());
    EXPECT_TRUE(signalLog.Has(7, "Update Date is: Dec 07 2026"));
}

// A failed body's message, or the general one, becomes the error text and a level-3 line.
TEST_F(TaskFrameTest, AFailedOrThrowingBodyGivesFalseAndItsMessage)
{
    const char* general = "Bridge execution failed, consult logs for more information.";
    const struct
    {
        std::function<bool(ParamMap&, int, QString&)> body;
        const char* message;
        bool caught; // an exception of the standard library's family
    } cases[] = {
        {[](ParamMap&, int, QString&) { return false; }, general, false},
        {[](ParamMap&, int, QString& error)
         {
             error = "Cannot determine School Year, cannot continue.";
             return false;
         },
         "Cannot determine School Year, cannot continue.", false},
        {[](ParamMap&, int, QString&) -> bool { throw XException("Table does not exist : ST010"); },
         "Table does not exist : ST010", true},
        {[](ParamMap&, int, QString&) -> bool { throw std::runtime_error("bad_alloc-ish"); }, "bad_alloc-ish",
         true},
        {[](ParamMap&, int, QString&) -> bool { throw 7; },
         "Execute failed for an unkown reason, please consult Vantrel support.", false},
    };
    for (const auto& c : cases)
    {
        signalLog.logs.clear();
        writer.body = c.body;
        QString errorText;
        EXPECT_FALSE(Run(1, errorText)) << c.message;
        EXPECT_TRUE(signalLog.Has(3, c.message)) << c.message;
        EXPECT_EQ(c.message, errorText.toStdString());
        EXPECT_EQ(c.caught, signalLog.Has(7, "Caught Exception")) << c.message;
    }
}

TEST_F(TaskFrameTest, FolderThatCannotBeCreated)
{
    WriteFileBytes(PathOf("blocker"), "a file where a folder should go");
    params["path"] = QString::fromStdString(PathOf("blocker/sde"));
    bool called = false;
    writer.body = [&](ParamMap&, int, QString&) { return called = true; };
    QString errorText;
    EXPECT_FALSE(Run(1, errorText));
    EXPECT_FALSE(called);
    const std::string message = "Could not create sde folder: " + PathOf("blocker/sde");
    EXPECT_TRUE(signalLog.Has(3, message));
    ASSERT_EQ(1u, signalLog.errors.size());
    EXPECT_EQ(std::make_pair(std::string("file"), message), signalLog.errors[0]);
    EXPECT_TRUE(signalLog.progress.empty());

    EXPECT_TRUE(writer.SetSDEFolder(XString(PathOf("a\\b/c")))); // created with its parents
    EXPECT_EQ(PathOf("a/b/c/"), std::string(writer.SDEFolder().Path()));
    EXPECT_TRUE(QDir(QString::fromStdString(PathOf("a/b/c"))).exists());
}

TEST(BridgeTaskBaseTest, PlainTaskReportsTheMissingEngine)
{
    QTemporaryDir dir;
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
    EXPECT_EQ(3, log.logs.back().level);
    EXPECT_EQ("Not set up yet.", log.logs.back().message);
    EXPECT_EQ("BridgeTaskBase::LoadList", log.logs.back().method);
}

// Levels 5 and 6, Windows-1252 texts and lines without a method reach the
// progress lines of the bridge's whole runs; the job and total texts follow.
TEST(BridgeTaskBaseTest, LogLevelsReachTheProgressLines)
{
    BridgeTaskBase task;
    SignalLog log;
    log.Attach(task);
    task.PutJobText("Reading Students...");
    task.PutTotalText("total");
    EXPECT_EQ(std::vector<std::string>{"Reading Students..."}, log.increments);
    ASSERT_EQ(2u, log.logs.size());
    EXPECT_EQ(7, log.logs[0].level);
    EXPECT_EQ("BridgeTaskBase::PutJobText", log.logs[0].method);
    EXPECT_EQ("BridgeTaskBase::PutTotalText", log.logs[1].method);
}
} // namespace
