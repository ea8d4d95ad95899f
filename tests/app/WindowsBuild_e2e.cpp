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
        exe_ = QStringLiteral(TSIS_SOURCE_DIR "/") + build().folder + u"/bin/tsisbridge.exe"_s;
        // CI sets TSIS_REQUIRE_WINDOWS to the builds that must run ("1": both):
        // there a missing one fails; one it leaves out cannot run on that machine.
        const QString wanted = qEnvironmentVariable("TSIS_REQUIRE_WINDOWS");
        const bool required = wanted == u"1"_s || wanted.split(u' ').contains(QLatin1String(build().arch));
        if (!wanted.isEmpty() && !required)
            GTEST_SKIP() << build().arch
                         << " builds are not run on this machine (TSIS_REQUIRE_WINDOWS=" << qPrintable(wanted)
                         << ")";
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
        const QString cache =
            qEnvironmentVariable("TSIS_WINDOWS_CACHE", QDir::homePath() + u"/.cache/tsisbridge-windows"_s);
        wineEnv_ = {u"WINEPREFIX="_s + cache + u"/wineprefix-"_s + build().arch, u"WINEDEBUG=-all"_s};
        if (windowsIndex_ == 1)
            useDriversOf32BitLinux(cache);
        // Names the code page lacks: a stand-in, the same on both systems.
        const char* const names[] = {"Łukasz", "Ğül", "Nguyễn", "王"};
        const QStringList students =
            demo_->rows(u"SELECT DISTINCT ID_NBR FROM ST010 WHERE SCH_NBR = '202' ORDER BY ID_NBR LIMIT 4"_s);
        ASSERT_EQ(students.size(), 4);
        for (int i = 0; i < 4; ++i)
            change(std::string("UPDATE CE020 SET FRST_NME = '") + names[i] +
                   "' WHERE ID_NBR = " + students[i].toStdString());
    }

    // One step (0: the full export, then attendance updates) on Linux and under Wine.
    void runStep(int step)
    {
        const QString mode = step ? u"--att"_s : QString();
        BridgeResult linux =
            box_.run(runArguments(out(false), u"202"_s, mode) << u"--logpath="_s + box_.path(u"logs"_s));
        ASSERT_EQ(linux.status, 0) << qPrintable(linux.out);

        QStringList args = runArguments(u"Z:"_s + out(true), u"202"_s, mode);
        args << u"--logpath=Z:"_s + box_.path(u"logs"_s);
        std::vector<QByteArray> argv{"wine", exe_.toUtf8()};
        for (const QString& a : args)
            argv.push_back(a.toUtf8());
        const Launched launched = launchBridgeBytes(box_, argv, u"windows-%1"_s.arg(step), wineEnv_, "wine");
        const int status = waitBridge(launched, 300);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "step " << step << ": " << qPrintable(BridgeSandbox::readText(launched.outFile))
            << qPrintable(BridgeSandbox::readText(launched.errFile));
        const QString windows = QString::fromLatin1(ReadFile(launched.outFile));
        const QStringList want = protocol(linux.out.split('\n'), false);
        const QStringList got = protocol(windows.split(u"\r\n"_s), true);
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
        static const QRegularExpression time(u"\\b\\d?\\d:\\d\\d:\\d\\d\\b"_s);
        QStringList kept;
        for (QString line : lines)
        {
            line.replace(time, u"<time>"_s)
                .replace(windows ? u"Z:"_s + out(true) : out(false), u"<out>"_s)
                .replace(windows ? u"Z:"_s + box_.path() : box_.path(), u"<box>"_s);
            if (!line.isEmpty() && !line.contains(u"DataAccessBase Destructor"_s))
                kept << line;
        }
        return kept;
    }

    // The full run and two updates on both systems, then the folders compared.
    void expectTheLinuxFolder()
    {
        QMap<QString, QByteArray> linux = runFullThenTwoUpdates(
            u"202"_s, [this](int step) { runStep(step); }, out(false));
        if (HasFatalFailure())
            return;
        QMap<QString, QByteArray> windows = importFiles(out(true));
        // SchoolConfig.xml too, apart from the time of the last update.
        static const QRegularExpression time(u"\\d?\\d:\\d\\d:\\d\\d"_s);
        for (auto [files, folder] : {std::pair{&linux, out(false)}, std::pair{&windows, out(true)}})
            files->insert(u"SchoolConfig.xml"_s,
                          QString::fromLatin1(ReadFile(folder + u"/SchoolConfig.xml"_s))
                              .replace(time, u"<time>"_s)
                              .toLatin1());
        expectSameFiles(linux, windows, build().arch);
    }

    // A 32-bit program reaches the host's 32-bit driver manager, which loads
    // the i386 SQLite driver (named so its own library path finds it) and a
    // 32-bit build of the demo's extension (scripts/windows-prereqs.sh i686).
    void useDriversOf32BitLinux(const QString& cache)
    {
        const QString extension = cache + u"/i686/linux/libtsisdemo_sqlite.so"_s;
        ASSERT_TRUE(QFileInfo::exists(extension)) << "run scripts/windows-prereqs.sh i686";
        const QString folder = box_.path(u"odbc-i686"_s);
        BridgeSandbox::writeText(folder + u"/odbcinst.ini"_s, "[SQLite3]\nDriver=libsqlite3odbc.so\n");
        static const QRegularExpression loadExt(u"^LoadExt=.*$"_s, QRegularExpression::MultilineOption);
        BridgeSandbox::writeText(folder + u"/odbc.ini"_s,
                                 QString::fromUtf8(ReadFile(box_.path(u"demo/odbc.ini"_s)))
                                     .replace(loadExt, u"LoadExt="_s + extension)
                                     .toUtf8());
        wineEnv_ << u"ODBCSYSINI="_s + folder << u"ODBCINI="_s + folder + u"/odbc.ini"_s;
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
