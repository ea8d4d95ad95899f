#pragma once

// The process tests' harness: the built tsisbridge run in a sandbox (HOME and
// the XDG folders point into a temporary folder, so logs, documents and
// application data stay there), over a demo district of its own, and the
// protocol texts its answers are compared with.

#include "DemoHarness.h"
#include "QStringPrinter.h"

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMap>
#include <QPair>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

extern char** environ;

struct BridgeResult
{
    QString out; // standard output without the engine's closing lines
    QString err;
    int status = -1;
    bool engineClosed = false; // the engine's destructor lines ended standard output
};

// The export engine logs its destruction when the application ends; with the
// console channel on, every answer closes with these two lines.
inline const QRegularExpression kEngineClosingLines(
    u"log\\tInformational\\t\\d\\d:\\d\\d:\\d\\d\\t\\tStart DataAccessBase Destructor\\n"
    "log\\tInformational\\t\\d\\d:\\d\\d:\\d\\d\\t\\tEnd DataAccessBase Destructor\\n$"_s);

class BridgeSandbox
{
public:
    BridgeSandbox()
    {
        for (const QString& folder :
             {u"home/.local/share"_s, u"home/.config"_s, u"home/.cache"_s, u"runtime"_s})
            QDir(dir_.path()).mkpath(folder);
        QFile::setPermissions(path(u"runtime"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString path(const QString& relative = QString()) const
    {
        return relative.isEmpty() ? dir_.path() : dir_.path() + QLatin1Char('/') + relative;
    }
    QString home() const { return path(u"home"_s); }
    QString documents() const { return home() + u"/Documents"_s; }
    QString dataHome() const { return home() + u"/.local/share"_s; }

    void setEnv(const QString& name, const QString& value)
    {
        extraEnv_.append(name + QLatin1Char('=') + value);
    }

    // Builds the demo district of a flavour for a day (yyyyMMdd; empty: the
    // real day) into demo/, in PostgreSQL too with a pgPrefix, and takes over
    // the ODBC settings the script prints; false when the script failed.
    bool makeDemoDistrict(const std::string& today, const std::string& flavour = "tsis",
                          const std::string& pgPrefix = std::string())
    {
        demo_ = std::make_unique<e2e::DemoDistrict>(
            e2e::DemoOptions{{flavour}, path(u"demo"_s).toStdString(), today, pgPrefix, ""});
        for (const auto& [name, value] : demo_->exports())
            setEnv(name, value);
        return demo_->Ok();
    }
    const e2e::DemoDistrict* demo() const { return demo_.get(); }
    // A PostgreSQL data source of the demo's configuration, without a stored login.
    void addPostgresSource(const QString& name, const QString& port, const QString& database) const
    {
        demo_->AddDataSource(name.toStdString(),
                             "Driver=PostgreSQL\nServername=" + e2e::Env("TSIS_PG_HOST", "127.0.0.1") +
                                 "\nPort=" + port.toStdString() + "\nDatabase=" + database.toStdString());
    }

    // The environment the program runs in: the sandbox's folders, a UTF-8
    // locale unless an added entry says otherwise, and the added entries.
    std::vector<std::string> environment() const
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
        {
            const std::string entry(*e);
            if (entry.rfind("HOME=", 0) == 0 || entry.rfind("XDG_", 0) == 0 ||
                entry.rfind("TMPDIR=", 0) == 0 || entry.rfind("LC_", 0) == 0 || entry.rfind("LANG", 0) == 0)
                continue;
            env.push_back(entry);
        }
        env.push_back("HOME=" + home().toStdString());
        env.push_back("XDG_DATA_HOME=" + dataHome().toStdString());
        env.push_back("XDG_CONFIG_HOME=" + (home() + u"/.config"_s).toStdString());
        env.push_back("XDG_CACHE_HOME=" + (home() + u"/.cache"_s).toStdString());
        env.push_back("XDG_RUNTIME_DIR=" + path(u"runtime"_s).toStdString());
        env.push_back("TMPDIR=" + path().toStdString());
        env.push_back("LANG=C.UTF-8");
        for (const QString& e : extraEnv_)
            env.push_back(e.toStdString());
        return env;
    }

    // Runs to its end; its answer files are removed.
    BridgeResult run(const QStringList& arguments, const QStringList& env = {}) const;

    static QString readText(const QString& file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(f.readAll());
    }

    static void writeText(const QString& file, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }

    // Names of the files in a folder, sorted.
    static QStringList files(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

private:
    QTemporaryDir dir_;
    QStringList extraEnv_;
    std::unique_ptr<e2e::DemoDistrict> demo_;
};

// Every file below a folder (its path below it) with its bytes.
inline QMap<QString, QByteArray> treeFiles(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
    {
        QFile f(it.next());
        files.insert(it.filePath().mid(folder.size()),
                     f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>");
    }
    return files;
}

// Times and dates that change from run to run.
inline QString maskTimes(QString text)
{
    static const QRegularExpression logTime(u"\t\\d\\d:\\d\\d:\\d\\d\t"_s);
    static const QRegularExpression stamp(u"(^|\n)\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\t"_s);
    static const QRegularExpression fileTime(u"TSIS SchoolMAX:\\d\\d:\\d\\d:\\d\\d: "_s);
    static const QRegularExpression generated(u"Generated on   : [^\r]*"_s);
    text.replace(logTime, u"\thh:mm:ss\t"_s);
    text.replace(stamp, u"\\1yyyy/MM/dd hh:mm:ss\t"_s);
    text.replace(fileTime, u"TSIS SchoolMAX:hh:mm:ss: "_s);
    text.replace(generated, u"Generated on   : <now>"_s);
    return text;
}

// The school year running today, as TSIS numbers it (by its first year).
inline int currentSchoolYear()
{
    const QDate today = QDate::currentDate();
    return today.month() >= 7 ? today.year() : today.year() - 1;
}

inline QString today()
{
    return QDate::currentDate().toString(u"yyyy-MM-dd"_s);
}

// Arguments written as one line, split at blanks.
inline QStringList words(const QString& line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

// Starts tsisbridge in a sandbox without waiting, for runs the test meets
// while they are under way (a second run, a stop signal, a time limit).
struct Launched
{
    pid_t pid = -1;
    QString outFile;
    QString errFile;
};

// The arguments as bytes (argv[0] first), so a test can pass what is no UTF-8;
// program is found through PATH when it has no "/". An added entry of the
// environment replaces one of the same name; the process runs in the sandbox.
inline Launched launchBridgeBytes(const BridgeSandbox& box, std::vector<QByteArray> args, const QString& name,
                                  const QStringList& extraEnv = {}, const char* program = TSISBRIDGE_EXE)
{
    Launched launched{-1, box.path(name + u".out"_s), box.path(name + u".err"_s)};
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = box.environment();
    for (const QString& e : extraEnv)
    {
        const std::string entry = e.toStdString();
        const std::string name = entry.substr(0, entry.find('=') + 1);
        std::erase_if(env, [&name](const std::string& old) { return old.rfind(name, 0) == 0; });
        env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray out = QFile::encodeName(launched.outFile);
    const QByteArray err = QFile::encodeName(launched.errFile);
    const QByteArray home = QFile::encodeName(box.path());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, home.constData());
    if (posix_spawnp(&launched.pid, program, &actions, nullptr, argv.data(), envp.data()) != 0)
        launched.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return launched;
}

inline Launched launchBridge(const BridgeSandbox& box, const QStringList& arguments, const QString& name,
                             const QStringList& extraEnv = {})
{
    std::vector<QByteArray> args{QByteArray(TSISBRIDGE_EXE)};
    for (const QString& a : arguments)
        args.push_back(a.toUtf8());
    return launchBridgeBytes(box, args, name, extraEnv);
}

// Asks done every 10 ms until it holds; false after the time limit.
template <class Done> bool pollUntil(int seconds, Done done)
{
    const timespec pause{0, 10 * 1000 * 1000};
    for (int i = 0; i < seconds * 100; ++i)
    {
        if (done())
            return true;
        nanosleep(&pause, nullptr);
    }
    return false;
}

// The raw wait status, or -1 when the process had to be killed after the time limit.
inline int waitBridge(const Launched& launched, int seconds)
{
    int status = 0;
    if (pollUntil(seconds, [&] { return waitpid(launched.pid, &status, WNOHANG) == launched.pid; }))
        return status;
    kill(launched.pid, SIGKILL);
    waitpid(launched.pid, &status, 0);
    return -1;
}

// Waits for the end of a launched run: its answer, status -1 when it did not
// end by itself (a signal, the time limit).
inline BridgeResult finish(const Launched& launched, int seconds = 300)
{
    const int raw = waitBridge(launched, seconds);
    BridgeResult result;
    result.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = BridgeSandbox::readText(launched.outFile);
    result.err = BridgeSandbox::readText(launched.errFile);
    const QRegularExpressionMatch closing = kEngineClosingLines.match(result.out);
    if (closing.hasMatch())
    {
        result.out.truncate(closing.capturedStart());
        result.engineClosed = true;
    }
    return result;
}

inline BridgeResult BridgeSandbox::run(const QStringList& arguments, const QStringList& env) const
{
    const Launched launched = launchBridge(*this, arguments, u"answer"_s, env);
    const BridgeResult result = finish(launched, 600);
    QFile::remove(launched.outFile);
    QFile::remove(launched.errFile);
    return result;
}

// The environment that preloads a library of the tests with its settings. (A
// sanitizer build would refuse a library preloaded ahead of its runtime.)
inline QStringList preloadEnv(const char* library, const QStringList& settings)
{
    return QStringList{u"LD_PRELOAD="_s + QString::fromUtf8(library)} + settings +
           QStringList{u"ASAN_OPTIONS=verify_asan_link_order=0:"_s + qEnvironmentVariable("ASAN_OPTIONS")};
}

// The output-fault library for one folder.
inline QStringList faultEnv(const QString& fault, const QString& folder)
{
    return preloadEnv(OUTPUT_FAULTS_LIB, {u"TSIS_FAULT="_s + fault, u"TSIS_FAULT_DIR="_s + folder});
}

// Found under tests/app/golden, the texts the process tests compare with.
inline QString goldenText(const QString& name)
{
    return BridgeSandbox::readText(QStringLiteral(TSIS_SOURCE_DIR "/tests/app/golden/") + name);
}

inline const QString kUsage = goldenText(u"usage.txt"_s);

inline const QString kEmptyAnswer = u"start_progress\t0\nend_progress\n"_s;

inline const QString kStartedLine =
    u"log\tInformational\thh:mm:ss\t\tVantrel Data Extractor for TSIS/SchoolMAX started.\n"_s;

inline const QString kStatusFile = u"Data ExtractorStatus.tmp"_s;
inline const QString kFinishedFile = u"finished_bridge.tmp"_s;

// What a run left in its status folder: the status file with its times masked,
// and the finished marker.
inline QString statusFileText(const QString& folder)
{
    return maskTimes(BridgeSandbox::readText(folder + QLatin1Char('/') + kStatusFile));
}

inline QString finishedFileText(const QString& folder)
{
    return BridgeSandbox::readText(folder + QLatin1Char('/') + kFinishedFile);
}

inline QString statusLine(const QString& word, const QString& text)
{
    return u"yyyy/MM/dd hh:mm:ss\t"_s + word + QLatin1Char('\t') + text + u"\r\n"_s;
}

// Only the protocol lines of an answer: "log" lines and the continuation lines
// of multi-line log messages (driver reports) are dropped.
inline QString protocolLines(const QString& out)
{
    static const QRegularExpression protocol(
        u"^(start_progress|end_progress|inc_progress|warn_progress|test|warning|error|missing|params|version|"
        "list|bridgelist|district_list|school_list|year_list|start_setting|end_setting|setting)(\\t|$)"_s);
    QString kept;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (protocol.match(line).hasMatch())
            kept += line + QLatin1Char('\n');
    return kept;
}

// A golden transcript, tests/app/golden/<Suite>.<Test><part>.txt: cases run in
// order in one sandbox. "$ arguments" (split at blanks) begins a case; its lines:
//   exit N        the exit status
//   1|line        a line of standard output, times masked (none: no output)
//   p|line        a protocol line instead: the answer's protocol lines are
//                 these, or end with them unless the first is start_progress
//   2|line        a line of standard error (none: no output)
//   holds TEXT    the answer holds TEXT
//   status TEXT   the run leaves the status line "Word\ttext" and the finished
//                 marker in <out>, and nothing else; "-": neither <out> nor the
//                 documents folder
//   files A|B     with a status, the files <out> holds instead
//   closed 0|1    whether the engine's closing lines ended the answer
// <out> is a folder of the sandbox, removed before each case; <box> is the
// sandbox, <golden> this folder, <exe> the program, <exedir> its folder, <today>
// the day (yyyy-MM-dd); a line "<usage>" is golden/usage.txt. "#" begins a comment.
struct Transcript
{
    QString args;
    int status = 0;
    QString out;
    QString err;
    QString holds;
    QString statusFile;
    QString files;
    int closed = -1;
    bool protocol = false;
};

inline QList<Transcript> readTranscript(const QString& name)
{
    const QString text = goldenText(name);
    EXPECT_FALSE(text.isEmpty()) << "no golden/" << qPrintable(name);
    QList<Transcript> cases;
    for (const QString& line : text.split(QLatin1Char('\n')))
    {
        const QString key = line.section(QLatin1Char(' '), 0, 0);
        const QString value = line.mid(key.size() + 1);
        if (key == u"$"_s)
        {
            cases.append(Transcript{});
            cases.last().args = value;
        }
        else if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        else if (cases.isEmpty())
            ADD_FAILURE() << "a line before the first case: " << qPrintable(line);
        else if (line.startsWith(u"1|"_s) || line.startsWith(u"p|"_s))
        {
            cases.last().out += line.mid(2) + QLatin1Char('\n');
            cases.last().protocol = line.startsWith(u"p|"_s);
        }
        else if (line.startsWith(u"2|"_s))
            cases.last().err += line.mid(2) + QLatin1Char('\n');
        else if (key == u"exit"_s)
            cases.last().status = value.toInt();
        else if (key == u"holds"_s)
            cases.last().holds = value;
        else if (key == u"status"_s)
            cases.last().statusFile = value;
        else if (key == u"files"_s)
            cases.last().files = value;
        else if (key == u"closed"_s)
            cases.last().closed = value.toInt();
        else
            ADD_FAILURE() << "not a transcript line: " << qPrintable(line);
    }
    return cases;
}

inline void expectTranscript(const BridgeSandbox& box, const QString& part = QString())
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString out = box.path(u"out"_s);
    const QString exe = QStringLiteral(TSISBRIDGE_EXE);
    auto expand = [&](QString text)
    {
        return text.replace(u"<usage>\n"_s, kUsage)
            .replace(u"<out>"_s, out)
            .replace(u"<box>"_s, box.path())
            .replace(u"<golden>"_s, QStringLiteral(TSIS_SOURCE_DIR "/tests/app/golden"))
            .replace(u"<exedir>"_s, QFileInfo(exe).canonicalPath())
            .replace(u"<exe>"_s, exe)
            .replace(u"<today>"_s, today());
    };
    for (const Transcript& c : readTranscript(QString::fromUtf8(test->test_suite_name()) + QLatin1Char('.') +
                                              QString::fromUtf8(test->name()) + part + u".txt"_s))
    {
        SCOPED_TRACE(c.args.toStdString());
        QDir(out).removeRecursively();
        const BridgeResult r = box.run(expand(c.args).split(u' ', Qt::SkipEmptyParts));
        EXPECT_EQ(r.status, c.status);
        const QString want = expand(c.out);
        if (!c.protocol)
            EXPECT_EQ(maskTimes(r.out), want);
        else if (want.startsWith(u"start_progress"_s))
            EXPECT_EQ(protocolLines(r.out), want);
        else
            EXPECT_TRUE(protocolLines(r.out).endsWith(want)) << qPrintable(r.out);
        EXPECT_TRUE(r.out.contains(expand(c.holds))) << qPrintable(r.out);
        EXPECT_EQ(r.err, expand(c.err));
        if (c.closed >= 0)
        {
            EXPECT_EQ(r.engineClosed, c.closed == 1);
        }
        if (c.statusFile == u"-"_s)
            EXPECT_FALSE(QFileInfo::exists(out) || QFileInfo::exists(box.documents()));
        else if (!c.statusFile.isEmpty())
        {
            EXPECT_EQ(BridgeSandbox::files(out), c.files.isEmpty() ? QStringList({kStatusFile, kFinishedFile})
                                                                   : expand(c.files).split(u'|'));
            EXPECT_EQ(statusFileText(out), u"yyyy/MM/dd hh:mm:ss\t"_s + expand(c.statusFile) + u"\r\n"_s);
            EXPECT_EQ(finishedFileText(out), u"finished\r\n"_s);
        }
    }
}

// A test that is its transcript alone, in a sandbox of its own.
#define TRANSCRIPT_TEST(suite, name)                                                                         \
    TEST(suite, name)                                                                                        \
    {                                                                                                        \
        expectTranscript(BridgeSandbox());                                                                   \
    }

// One sandbox and TSIS demo district (the real day) shared by the cases of a
// suite, in PostgreSQL too when Suite::kDatabase names its database (dropped
// at the end); a case of such a suite needs the server (required under CI).
template <class Suite> class SharedDemo : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        box_ = new BridgeSandbox;
        const std::string database = Suite::kDatabase;
        ok_ = (database.empty() || e2e::PostgresAvailable(why_)) &&
              box_->makeDemoDistrict(e2e::Today(), "tsis", database);
        if (!ok_ && why_.empty())
            why_ = "make-demo-district.sh failed: " + box_->demo()->Error();
    }
    static void TearDownTestSuite()
    {
        delete box_;
        box_ = nullptr;
    }
    void SetUp() override
    {
        e2e::RequirePostgres(!std::string(Suite::kDatabase).empty(), ok_, why_);
        if (!IsSkipped())
        {
            ASSERT_TRUE(ok_) << why_;
        }
    }

    static std::string database() { return box_->demo()->PgDatabases().at(0); }
    static QString value(const char* name) { return box_->demo()->Value(QString::fromLatin1(name)); }
    static inline BridgeSandbox* box_ = nullptr;
    static inline bool ok_ = false;
    static inline std::string why_;
};
