// The Windows build, run under Wine, against this build: the same demo district
// (with students named beyond Windows-1252) through Wine's odbc32 and the same
// SQLite ODBC driver must give the same import folder, byte for byte, and the
// same protocol lines apart from their ends. Each architecture's build comes
// from scripts/build-windows.sh; one that is not built is skipped.

#include "AttendanceFixture.h"

#include <QFileInfo>

namespace
{

struct WindowsBuild
{
    const char* arch;
    const char* folder; // the build folder beside build/
};

const WindowsBuild kBuilds[] = {{"x86_64", "build-win64"}, {"i686", "build-win32"}};

class WindowsBuildRun : public AttendanceRun
{
protected:
    const WindowsBuild& build() const { return kBuilds[windowsIndex_]; }

    void SetUp() override
    {
        exe_ = QStringLiteral(TSIS_SOURCE_DIR "/") + build().folder + QStringLiteral("/bin/tsisbridge.exe");
        // CI builds both and sets TSIS_REQUIRE_WINDOWS: there a missing one fails.
        const bool required = qEnvironmentVariableIsSet("TSIS_REQUIRE_WINDOWS");
        if (!QFileInfo::exists(exe_) || e2e::RunCommand("command -v wine >/dev/null").status != 0)
        {
            if (required)
                FAIL() << "no Windows build or no wine: " << qPrintable(exe_);
            GTEST_SKIP() << "no Windows build (" << build().arch << ") or no wine: scripts/build-windows.sh "
                         << build().arch;
        }
        AttendanceRun::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const QString cache = qEnvironmentVariable(
            "TSIS_WINDOWS_CACHE", QDir::homePath() + QStringLiteral("/.cache/tsisbridge-windows"));
        wineEnv_ = {QStringLiteral("WINEPREFIX=") + cache + QStringLiteral("/wineprefix-") + build().arch,
                    QStringLiteral("WINEDEBUG=-all")};
        if (windowsIndex_ == 1)
            useDriversOf32BitLinux(cache);
        // Names the code page lacks: a stand-in, the same on both systems.
        const char* const names[] = {"Łukasz", "Ğül", "Nguyễn", "王"};
        const QStringList students = demo_->rows(QStringLiteral(
            "SELECT DISTINCT ID_NBR FROM ST010 WHERE SCH_NBR = '202' ORDER BY ID_NBR LIMIT 4"));
        ASSERT_EQ(students.size(), 4);
        for (int i = 0; i < 4; ++i)
            change(std::string("UPDATE CE020 SET FRST_NME = '") + names[i] +
                   "' WHERE ID_NBR = " + students[i].toStdString());
    }

    // One step (0: the full export, then attendance updates) on Linux and under Wine.
    void runStep(int step)
    {
        const QString mode = step ? QStringLiteral("--att") : QString();
        BridgeResult linux = box_.run(runArguments(out(false), QStringLiteral("202"), mode)
                                      << QStringLiteral("--logpath=") + box_.path(QStringLiteral("logs")));
        ASSERT_EQ(linux.status, 0) << qPrintable(linux.out);

        QStringList args = runArguments(QStringLiteral("Z:") + out(true), QStringLiteral("202"), mode);
        args << QStringLiteral("--logpath=Z:") + box_.path(QStringLiteral("logs"));
        Launched launched;
        launched.program = "wine";
        launched.outFile = box_.path(QStringLiteral("windows-%1.out").arg(step));
        launched.errFile = box_.path(QStringLiteral("windows-%1.err").arg(step));
        std::vector<QByteArray> argv{"wine", exe_.toUtf8()};
        for (const QString& a : args)
            argv.push_back(a.toUtf8());
        launched = launchBridgeBytes(box_, argv, launched, wineEnv_);
        const int status = waitBridge(launched, 300);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "step " << step << ": " << qPrintable(BridgeSandbox::readText(launched.outFile))
            << qPrintable(BridgeSandbox::readText(launched.errFile));
        const QString windows = QString::fromLatin1(ReadFile(launched.outFile));
        const QStringList want = protocol(linux.out.split('\n'), false);
        const QStringList got = protocol(windows.split(QStringLiteral("\r\n")), true);
        qsizetype line = 0;
        while (line < want.size() && line < got.size() && want[line] == got[line])
            ++line;
        EXPECT_TRUE(line == want.size() && line == got.size())
            << "step " << step << ", protocol line " << line + 1 << ":\n  " << qPrintable(want.value(line))
            << "\n  " << qPrintable(got.value(line)) << "\n"
            << qPrintable(BridgeSandbox::readText(launched.errFile));
    }

    QString out(bool windows) const { return box_.path(windows ? "out-windows" : "out-linux"); }

    // The protocol lines with their times and output folders left out.
    QStringList protocol(const QStringList& lines, bool windows) const
    {
        static const QRegularExpression time(QStringLiteral("\\b\\d?\\d:\\d\\d:\\d\\d\\b"));
        QStringList kept;
        for (QString line : lines)
        {
            line.replace(time, QStringLiteral("<time>"))
                .replace(windows ? QStringLiteral("Z:") + out(true) : out(false), QStringLiteral("<out>"))
                .replace(windows ? QStringLiteral("Z:") + box_.path() : box_.path(), QStringLiteral("<box>"));
            if (!line.isEmpty() && !line.contains(QStringLiteral("DataAccessBase Destructor")))
                kept << line;
        }
        return kept;
    }

    // The full run and two updates on both systems, then the folders compared.
    void expectTheLinuxFolder()
    {
        const std::vector<Record> records =
            runFullThenTwoUpdates(QStringLiteral("202"), [this](int step) { runStep(step); });
        if (HasFatalFailure())
            return;
        QMap<QString, QByteArray> linux = importFiles(out(false));
        expectChangesSent(linux, records);
        QMap<QString, QByteArray> windows = importFiles(out(true));
        // SchoolConfig.xml too, apart from the time of the last update.
        static const QRegularExpression time(QStringLiteral("\\d?\\d:\\d\\d:\\d\\d"));
        for (auto [files, folder] : {std::pair{&linux, out(false)}, std::pair{&windows, out(true)}})
            files->insert(QStringLiteral("SchoolConfig.xml"),
                          QString::fromLatin1(ReadFile(folder + QStringLiteral("/SchoolConfig.xml")))
                              .replace(time, QStringLiteral("<time>"))
                              .toLatin1());
        expectSameFiles(linux, windows, build().arch);
    }

    // A 32-bit program reaches the host's 32-bit driver manager, which loads
    // the i386 SQLite driver (named so its own library path finds it) and a
    // 32-bit build of the demo's extension (scripts/windows-prereqs.sh i686).
    void useDriversOf32BitLinux(const QString& cache)
    {
        const QString extension = cache + QStringLiteral("/i686/linux/libtsisdemo_sqlite.so");
        ASSERT_TRUE(QFileInfo::exists(extension)) << "run scripts/windows-prereqs.sh i686";
        const QString folder = box_.path(QStringLiteral("odbc-i686"));
        QDir().mkpath(folder);
        QFile inst(folder + QStringLiteral("/odbcinst.ini"));
        ASSERT_TRUE(inst.open(QIODevice::WriteOnly));
        inst.write("[SQLite3]\nDriver=libsqlite3odbc.so\n");
        inst.close();
        static const QRegularExpression loadExt(QStringLiteral("^LoadExt=.*$"),
                                                QRegularExpression::MultilineOption);
        QFile ini(folder + QStringLiteral("/odbc.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QString::fromUtf8(ReadFile(box_.path(QStringLiteral("demo/odbc.ini"))))
                      .replace(loadExt, QStringLiteral("LoadExt=") + extension)
                      .toUtf8());
        ini.close();
        wineEnv_ << QStringLiteral("ODBCSYSINI=") + folder
                 << QStringLiteral("ODBCINI=") + folder + QStringLiteral("/odbc.ini");
    }

    int windowsIndex_ = 0;
    QString exe_;
    QStringList wineEnv_;
};

class WindowsBuildX64 : public WindowsBuildRun
{
};

class WindowsBuildI686 : public WindowsBuildRun
{
public:
    WindowsBuildI686() { windowsIndex_ = 1; }
};

TEST_P(WindowsBuildX64, ExportsWhatLinuxDoes)
{
    expectTheLinuxFolder();
}

TEST_P(WindowsBuildI686, ExportsWhatLinuxDoes)
{
    expectTheLinuxFolder();
}

INSTANTIATE_TEST_SUITE_P(Wine, WindowsBuildX64, ::testing::Values(false),
                         [](const ::testing::TestParamInfo<bool>&) { return std::string("SQLite"); });
INSTANTIATE_TEST_SUITE_P(Wine, WindowsBuildI686, ::testing::Values(false),
                         [](const ::testing::TestParamInfo<bool>&) { return std::string("SQLite"); });

} // namespace
