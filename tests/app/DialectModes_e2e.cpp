// The demo district read as Oracle (ODBC), SQL Server and Access: the dialect
// harness (tests/support/dialect) lets SQLite answer as each would, and the
// three import folders must be the same bytes. The statements sent in SQL
// Server mode are then parsed by a T-SQL grammar.

#include "AttendanceFixture.h"

namespace
{

struct Dialect
{
    const char* mode;      // the harness's name for it
    int trials;            // the detection trial that finds it
    const char* lastTrial; // that trial's log text
};

const Dialect kDialects[] = {
    {"oracle", 10, "Trying: Oracle (ODBC)"},
    {"mssql", 3, "Trying: MSSQL with suffix: "},
    {"access", 11, "Trying: Access"},
};

class DialectModes : public AttendanceRun
{
protected:
    void SetUp() override
    {
        AttendanceRun::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(demo_->execute(QString::fromUtf8(
            ReadFile(QStringLiteral(TSIS_SOURCE_DIR "/tests/support/dialect/DialectCatalogue.sql")))));
    }

    QString out(const Dialect& d) const { return box_.path(QStringLiteral("out-") + d.mode); }
    QString logs(const Dialect& d, int step) const
    {
        return box_.path(QStringLiteral("logs-%1-%2").arg(d.mode).arg(step));
    }
    QString recording(const Dialect& d) const { return box_.path(QStringLiteral("%1.sql").arg(d.mode)); }

    // One step (0: the full export, then attendance updates) in every dialect.
    void runStep(int step)
    {
        for (const Dialect& d : kDialects)
        {
            QStringList args =
                runArguments(out(d), QStringLiteral("202"), step ? QStringLiteral("--att") : QString());
            args << QStringLiteral("--logpath=") + logs(d, step);
            const Launched launched = launchBridge(
                box_, args, QStringLiteral("run-%1-%2").arg(d.mode).arg(step),
                {QStringLiteral("LD_PRELOAD=" DIALECT_HARNESS_LIB), QStringLiteral("TSIS_DIALECT=") + d.mode,
                 QStringLiteral("TSIS_DIALECT_RECORD=") + recording(d),
                 QStringLiteral("ASAN_OPTIONS=verify_asan_link_order=0:") +
                     qEnvironmentVariable("ASAN_OPTIONS")});
            const int status = waitBridge(launched, 300);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << d.mode << " step " << step << ": "
                << qPrintable(BridgeSandbox::readText(launched.outFile));
            // The detection's trials, in the order the run made them.
            QStringList trials;
            for (const QFileInfo& log :
                 QDir(logs(d, step)).entryInfoList({QStringLiteral("*.log")}, QDir::Files))
                for (const QString& line :
                     QString::fromLatin1(ReadFile(log.filePath())).split(QStringLiteral("\r\n")))
                    if (line.contains(QStringLiteral("SetDatabaseType: Trying: ")))
                        trials << line.mid(line.indexOf(QStringLiteral("Trying: ")));
            EXPECT_EQ(trials.size(), d.trials) << d.mode << " step " << step << ":\n"
                                               << qPrintable(trials.join('\n'));
            EXPECT_EQ(trials.value(trials.size() - 1), QString::fromLatin1(d.lastTrial)) << d.mode;
        }
    }
};

TEST_P(DialectModes, SqlServerAndAccessExportWhatOracleDoes)
{
    const std::vector<Record> records =
        runFullThenTwoUpdates(QStringLiteral("202"), [this](int step) { runStep(step); });
    if (HasFatalFailure())
        return;
    const QMap<QString, QByteArray> oracle = importFiles(out(kDialects[0]));
    expectChangesSent(oracle, records);
    for (const Dialect& d : {kDialects[1], kDialects[2]})
        expectSameFiles(oracle, importFiles(out(d)), d.mode);

    // Each distinct statement sent in SQL Server mode, through the T-SQL grammar.
    const e2e::CommandResult report = e2e::RunCommand(
        "node '" TSIS_SOURCE_DIR "/tests/support/tsql/check-tsql.js' '" + recording(kDialects[1]).toStdString() +
        "' '" TSIS_SOURCE_DIR "/tests/support/tsql/allow-list.json' 2>&1");
    EXPECT_EQ(report.status, 0) << report.output << "(node and node-sql-parser come with scripts/install-deps.sh)";
    std::printf("%s", report.output.c_str());
}

INSTANTIATE_TEST_SUITE_P(Demo, DialectModes, ::testing::Values(false),
                         [](const ::testing::TestParamInfo<bool>&) { return std::string("SQLite"); });

} // namespace
