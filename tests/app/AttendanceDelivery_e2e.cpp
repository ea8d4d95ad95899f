// Attendance delivery under faults: a record counts as sent only once the
// update file carrying it is complete and in place. Every run is a real
// "tsisbridge run --att" over the fixture's demo district.

#include "AttendanceFixture.h"

#include <QElapsedTimer>

#include <random>

namespace
{

class AttendanceDelivery : public AttendanceRun
{
protected:
    // A first run (tables and every attendance record) of a school with
    // recent records into out_.
    void SetUp() override
    {
        AttendanceRun::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (const QString& school : {u"202"_s, u"303"_s})
            if (recentRecords(school, 2).size() == 4)
                school_ = school;
        ASSERT_FALSE(school_.isEmpty()) << "no school with two recent daily and period records";
        records_ = recentRecords(school_, 2);
        out_ = box_.path(u"out"_s);
        const BridgeResult r = run(out_, school_);
        ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    }

    BridgeResult runAtt(const QStringList& env = {})
    {
        return box_.run(runArguments(out_, school_, u"--att"_s), env);
    }

    // Record i of records_ gets a new code in the SIS; the handheld must end with it.
    void setCode(size_t i, const QString& code)
    {
        AttendanceRun::setCode(records_.at(i), code);
        want_[records_.at(i).key] = code;
    }
    void expectDelivered() const
    {
        const QMap<QString, QString> sent = newestCodes(out_);
        for (auto it = want_.cbegin(); it != want_.cend(); ++it)
            EXPECT_EQ(sent.value(it.key(), u"<not sent>"_s), it.value()) << qPrintable(it.key());
    }

    // The cache refuses the statements starting with statement, from the first after one starting with after.
    static QStringList cacheLocked(const char* statement, const char* after = "")
    {
        return preloadEnv(CACHE_FAULTS_LIB,
                          {u"TSIS_CACHE_LOCKED="_s + statement, u"TSIS_CACHE_LOCKED_AFTER="_s + after});
    }

    QString school_;
    QString out_;
    std::vector<Record> records_; // two daily, then two period records
    QMap<QString, QString> want_;
};

TEST_P(AttendanceDelivery, AFailedDeliveryMarksNothingAndTheNextRunSendsEachChangeOnce)
{
    const QString cacheFile = out_ + u"/Attendance/Attendance.db"_s;
    const QString student = records_.at(2).key.section(QLatin1Char('\t'), 0, 0);
    struct Case
    {
        const char* name;
        QStringList env;
        QString cacheSql; // run on the cache before the failing run, its trigger dropped after
        bool fileStays;   // the failure comes once the update file is in place
        const char* logged;
        bool inFill = false; // the failure comes while the cache is filled: it stays as it was
    };
    const Case cases[] = {
        {"the cache is locked when the period read-back begins, after the daily one",
         cacheLocked("SELECT * FROM sqlite_master WHERE type='table' AND name='PERIOD_ATT'"), QString(),
         false, "database is locked"},
        {"the update file cannot be synced", faultEnv(u"eio-sync"_s, out_) << u"TSIS_FAULT_NAME=Update *"_s,
         QString(), false, "Error syncing file"},
        {"the cache cannot be written at all", faultEnv(u"erofs"_s, out_ + u"/Attendance"_s), QString(),
         false, "attempt to write a readonly database", true},
        {"the cache refuses a row after the blank",
         {},
         u"CREATE TRIGGER refuse BEFORE UPDATE ON PERIOD_ATT WHEN NEW.stdkey = '%1' AND "
         "NEW.newcode <> '' BEGIN SELECT RAISE(FAIL, 'refused'); END"_s.arg(student),
         false,
         "Attendance: Update Row: Sql Error: refused"},
        {"the marks cannot be committed", cacheLocked("commit transaction", "UPDATE PERIOD_ATT SET oldcode"),
         QString(), true, "its records could not be marked as sent"},
    };
    int round = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ++round;
        for (size_t i = 0; i < records_.size(); ++i)
            setCode(i, u"F%1%2"_s.arg(round).arg(i));
        const QStringList files = updateFiles(out_);
        const QStringList marks = cacheRows(out_, c.inFill);
        const QByteArray config = ReadFile(out_ + u"/SchoolConfig.xml"_s);
        if (!c.cacheSql.isEmpty())
        {
            ASSERT_TRUE(DemoAttendanceFile(cacheFile).execute(c.cacheSql));
        }

        BridgeResult r = runAtt(c.env);
        EXPECT_EQ(r.status, 1) << qPrintable(r.out);
        EXPECT_TRUE(r.out.contains(QString::fromLatin1(c.logged))) << qPrintable(r.out);
        EXPECT_EQ(updateFiles(out_).size(), files.size() + (c.fileStays ? 1 : 0));
        EXPECT_EQ(unfinishedUpdates(out_), QStringList());
        EXPECT_EQ(cacheRows(out_, c.inFill), marks);
        EXPECT_EQ(ReadFile(out_ + u"/SchoolConfig.xml"_s), config);
        if (!c.cacheSql.isEmpty())
        {
            ASSERT_TRUE(DemoAttendanceFile(cacheFile).execute(u"DROP TRIGGER refuse"_s));
        }

        r = runAtt();
        ASSERT_EQ(r.status, 0) << qPrintable(r.out);
        expectDelivered();
        // Exactly the four changes: nothing sent before goes again.
        EXPECT_EQ(updateRecords(lastUpdate(out_)).size(), 4) << lastUpdate(out_).constData();
    }
}

// Runs killed at any moment (SIGKILL: no clean-up at all) lose no change:
// each change reaches an update file in place, now or with a later run.
TEST_P(AttendanceDelivery, KilledRunsLoseNoChange)
{
    QElapsedTimer usual;
    usual.start();
    ASSERT_EQ(runAtt().status, 0);
    const int span = static_cast<int>(usual.elapsed());
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed) + ", usual run " + std::to_string(span) + " ms");
    std::mt19937 random(seed);
    for (int i = 0; i < 20; ++i)
    {
        if (i % 2 == 0)
            setCode(static_cast<size_t>(i / 2) % records_.size(), u"K%1"_s.arg(i, 2, 10, QChar('0')));
        const Launched launched = launchBridge(box_, runArguments(out_, school_, u"--att"_s), u"killed"_s);
        const timespec pause{0, std::uniform_int_distribution<long>(0, span)(random) * 1000 * 1000};
        nanosleep(&pause, nullptr);
        kill(launched.pid, SIGKILL);
        waitpid(launched.pid, nullptr, 0);
    }
    const BridgeResult r = runAtt();
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    expectDelivered();
    EXPECT_EQ(unfinishedUpdates(out_), QStringList());
}

// A run never replaces an update file already in the folder, however close
// the runs end: the stamp of a taken name moves on by a second.
TEST_P(AttendanceDelivery, ATakenNameMovesTheStampOn)
{
    setCode(0, u"S1"_s);
    ASSERT_EQ(runAtt().status, 0);
    const QByteArray first = lastUpdate(out_);
    // Files of runs ending in each of the next ten seconds.
    const QDateTime now = QDateTime::currentDateTime();
    QStringList taken;
    for (int s = 0; s <= 10; ++s)
    {
        const QString name = u"Update "_s + now.addSecs(s).toString(u"yyyyMMddHHmmss"_s) + u".SDU"_s;
        if (!QFileInfo::exists(out_ + QLatin1Char('/') + name))
        {
            BridgeSandbox::writeText(out_ + QLatin1Char('/') + name, first);
            taken << name;
        }
    }
    const QStringList before = updateFiles(out_);
    setCode(2, u"S2"_s);
    ASSERT_EQ(runAtt().status, 0);
    for (const QString& name : taken)
        EXPECT_EQ(ReadFile(out_ + QLatin1Char('/') + name), first) << qPrintable(name);
    const QStringList after = updateFiles(out_);
    ASSERT_EQ(after.size(), before.size() + 1);
    const QString added = after.last();
    EXPECT_GT(added, taken.last());
    EXPECT_TRUE(ReadFile(out_ + QLatin1Char('/') + added)
                    .contains("#pragma update \"" + added.mid(7, 14).toLatin1() + "\""));
    expectDelivered();
}

// Without its period table the run blanks nothing: no period record goes out as deleted.
TEST_P(AttendanceDelivery, AMissingPeriodTableBlanksNothing)
{
    const QStringList cache = cacheRows(out_, true);
    change("DROP VIEW DBTSIS_AT030_V");
    change("ALTER TABLE AT030 RENAME TO AT030_GONE");
    const BridgeResult r = runAtt();
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_EQ(normalizedUpdate(lastUpdate(out_)), expectedUpdate({}, {}));
    EXPECT_EQ(cacheRows(out_, true), cache);
}

INSTANTIATE_TEST_SUITE_P(Demo, AttendanceDelivery, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info)
                         { return info.param ? "PostgreSQL" : "SQLite"; });

} // namespace
