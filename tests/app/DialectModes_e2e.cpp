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

    QString out(const Dialect& d) const { return box_.path(u"out-"_s + d.mode); }
    QString logs(const Dialect& d, int step) const
    {
        return box_.path(u"logs-%1-%2"_s.arg(d.mode).arg(step));
    }
    QString recording(const Dialect& d) const { return box_.path(u"%1.sql"_s.arg(d.mode)); }

    // One step (0: the full export, then attendance updates) in every dialect.
    void runStep(int step)
    {
        for (const Dialect& d : kDialects)
        {
            QStringList args = runArguments(out(d), u"202"_s, step ? u"--att"_s : QString());
            args << u"--logpath="_s + logs(d, step);
            const BridgeResult r =
                box_.run(args, preloadEnv(DIALECT_HARNESS_LIB, {u"TSIS_DIALECT="_s + d.mode,
                                                                u"TSIS_DIALECT_RECORD="_s + recording(d)}));
            ASSERT_EQ(r.status, 0) << d.mode << " step " << step << ": " << qPrintable(r.out);
            // The detection's trials, in the order the run made them.
            QStringList trials;
            for (const QFileInfo& log : QDir(logs(d, step)).entryInfoList({u"*.log"_s}, QDir::Files))
                for (const QString& line : QString::fromLatin1(ReadFile(log.filePath())).split(u"\r\n"_s))
                    if (line.contains(u"SetDatabaseType: Trying: "_s))
                        trials << line.mid(line.indexOf(u"Trying: "_s));
            EXPECT_EQ(trials.size(), d.trials) << d.mode << " step " << step << ":\n"
                                               << qPrintable(trials.join('\n'));
            EXPECT_EQ(trials.value(trials.size() - 1), QString::fromLatin1(d.lastTrial)) << d.mode;
        }
    }
};

TEST_P(DialectModes, SqlServerAndAccessExportWhatOracleDoes)
{
    const QMap<QString, QByteArray> oracle = runFullThenTwoUpdates(
        u"202"_s, [this](int step) { runStep(step); }, out(kDialects[0]));
    if (HasFatalFailure())
        return;
    for (const Dialect& d : {kDialects[1], kDialects[2]})
        expectSameFiles(oracle, importFiles(out(d)), d.mode);

    // Each distinct statement sent in SQL Server mode, through the T-SQL grammar.
    const e2e::CommandResult report =
        e2e::RunCommand("node '" TSIS_SOURCE_DIR "/tests/support/tsql/check-tsql.js' '" +
                        recording(kDialects[1]).toStdString() +
                        "' '" TSIS_SOURCE_DIR "/tests/support/tsql/allow-list.json' 2>&1");
    EXPECT_EQ(report.status, 0) << report.output
                                << "(node and node-sql-parser come with scripts/install-deps.sh)";
    std::printf("%s", report.output.c_str());
}

INSTANTIATE_TEST_SUITE_P(Demo, DialectModes, ::testing::Values(false),
                         [](const ::testing::TestParamInfo<bool>&) { return std::string("SQLite"); });

} // namespace
