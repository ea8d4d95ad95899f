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
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <signal.h>
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
    QStringLiteral("log\\tInformational\\t\\d\\d:\\d\\d:\\d\\d\\t\\tStart DataAccessBase Destructor\\n"
                   "log\\tInformational\\t\\d\\d:\\d\\d:\\d\\d\\t\\tEnd DataAccessBase Destructor\\n$"));

class BridgeSandbox
{
public:
    BridgeSandbox()
    {
        QDir root(dir_.path());
        root.mkpath(QStringLiteral("home/.local/share"));
        root.mkpath(QStringLiteral("home/.config"));
        root.mkpath(QStringLiteral("home/.cache"));
        root.mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(path(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString path(const QString& relative = QString()) const
    {
        return relative.isEmpty() ? dir_.path() : dir_.path() + QLatin1Char('/') + relative;
    }
    QString home() const { return path(QStringLiteral("home")); }
    QString documents() const { return home() + QStringLiteral("/Documents"); }
    QString dataHome() const { return home() + QStringLiteral("/.local/share"); }

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
            e2e::DemoOptions{{flavour}, path(QStringLiteral("demo")).toStdString(), today, pgPrefix, ""});
        for (const auto& [name, value] : demo_->exports())
            setEnv(name, value);
        return demo_->Ok();
    }
    const e2e::DemoDistrict* demo() const { return demo_.get(); }

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
        env.push_back("XDG_CONFIG_HOME=" + (home() + QStringLiteral("/.config")).toStdString());
        env.push_back("XDG_CACHE_HOME=" + (home() + QStringLiteral("/.cache")).toStdString());
        env.push_back("XDG_RUNTIME_DIR=" + path(QStringLiteral("runtime")).toStdString());
        env.push_back("TMPDIR=" + path().toStdString());
        env.push_back("LANG=C.UTF-8");
        for (const QString& e : extraEnv_)
            env.push_back(e.toStdString());
        return env;
    }

    BridgeResult run(const QStringList& arguments) const
    {
        const QString outFile = path(QStringLiteral("stdout.txt"));
        const QString errFile = path(QStringLiteral("stderr.txt"));

        std::vector<std::string> args{TSISBRIDGE_EXE};
        for (const QString& a : arguments)
            args.push_back(a.toStdString());
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        std::vector<std::string> env = environment();
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const QByteArray outPath = QFile::encodeName(outFile);
        const QByteArray errPath = QFile::encodeName(errFile);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

        BridgeResult result;
        pid_t pid = 0;
        if (posix_spawn(&pid, TSISBRIDGE_EXE, &actions, nullptr, argv.data(), envp.data()) == 0)
        {
            int status = 0;
            waitpid(pid, &status, 0);
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        result.out = readText(outFile);
        const QRegularExpressionMatch closing = kEngineClosingLines.match(result.out);
        if (closing.hasMatch())
        {
            result.out.truncate(closing.capturedStart());
            result.engineClosed = true;
        }
        result.err = readText(errFile);
        QFile::remove(outFile);
        QFile::remove(errFile);
        return result;
    }

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

// A run and its whole answer: exit status, standard output with its times
// masked, standard error.
struct Case
{
    QStringList args;
    int status;
    QString out;
    QString err;
};

inline QString maskTimes(QString text);

// Each case run in one sandbox, in order.
inline void expectCases(const QList<Case>& cases)
{
    BridgeSandbox box;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const BridgeResult r = box.run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(maskTimes(r.out), c.out);
        EXPECT_EQ(r.err, c.err);
    }
}

// Times and dates that change from run to run.
inline QString maskTimes(QString text)
{
    static const QRegularExpression logTime(QStringLiteral("\t\\d\\d:\\d\\d:\\d\\d\t"));
    static const QRegularExpression stamp(
        QStringLiteral("(^|\n)\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\t"));
    static const QRegularExpression fileTime(QStringLiteral("TSIS SchoolMAX:\\d\\d:\\d\\d:\\d\\d: "));
    static const QRegularExpression generated(QStringLiteral("Generated on   : [^\r]*"));
    text.replace(logTime, QStringLiteral("\thh:mm:ss\t"));
    text.replace(stamp, QStringLiteral("\\1yyyy/MM/dd hh:mm:ss\t"));
    text.replace(fileTime, QStringLiteral("TSIS SchoolMAX:hh:mm:ss: "));
    text.replace(generated, QStringLiteral("Generated on   : <now>"));
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
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

// Starts tsisbridge in a sandbox without waiting, for runs the test meets
// while they are under way (a second run, a stop signal, a time limit).
struct Launched
{
    std::string program = TSISBRIDGE_EXE; // found through PATH when it has no "/"
    pid_t pid = -1;
    QString outFile;
    QString errFile;
};

// The arguments as bytes, so a test can pass what is no UTF-8.
inline Launched launchBridgeBytes(const BridgeSandbox& box, std::vector<QByteArray> args, Launched launched,
                                  const QStringList& extraEnv = {})
{
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // An added entry replaces one of the same name.
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
    // Relative paths land in the sandbox.
    posix_spawn_file_actions_addchdir_np(&actions, home.constData());
    if (posix_spawnp(&launched.pid, launched.program.c_str(), &actions, nullptr, argv.data(), envp.data()) !=
        0)
        launched.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return launched;
}

inline Launched launchBridge(const BridgeSandbox& box, const QStringList& arguments, const QString& name,
                             const QStringList& extraEnv = {})
{
    Launched launched;
    launched.outFile = box.path(name + QStringLiteral(".out"));
    launched.errFile = box.path(name + QStringLiteral(".err"));
    std::vector<QByteArray> args{QByteArray(TSISBRIDGE_EXE)};
    for (const QString& a : arguments)
        args.push_back(a.toUtf8());
    return launchBridgeBytes(box, args, launched, extraEnv);
}

// The raw wait status, or -1 when the process had to be killed after the time limit.
inline int waitBridge(const Launched& launched, int seconds)
{
    timespec pause{0, 10 * 1000 * 1000};
    for (int i = 0; i < seconds * 100; ++i)
    {
        int status = 0;
        if (waitpid(launched.pid, &status, WNOHANG) == launched.pid)
            return status;
        nanosleep(&pause, nullptr);
    }
    kill(launched.pid, SIGKILL);
    int status = 0;
    waitpid(launched.pid, &status, 0);
    return -1;
}

// Waits until the file holds the text; false after the time limit.
inline bool waitForText(const QString& file, const QString& text, int seconds)
{
    timespec pause{0, 20 * 1000 * 1000};
    for (int i = 0; i < seconds * 50; ++i)
    {
        if (BridgeSandbox::readText(file).contains(text))
            return true;
        nanosleep(&pause, nullptr);
    }
    return false;
}

// The environment that preloads the fault library for one folder. (A sanitizer
// build would refuse a library preloaded ahead of its runtime.)
inline QStringList faultEnv(const QString& fault, const QString& folder)
{
    return {QStringLiteral("LD_PRELOAD=" OUTPUT_FAULTS_LIB), QStringLiteral("TSIS_FAULT=") + fault,
            QStringLiteral("TSIS_FAULT_DIR=") + folder,
            QStringLiteral("ASAN_OPTIONS=verify_asan_link_order=0:") + qEnvironmentVariable("ASAN_OPTIONS")};
}

// Protocol texts the process tests compare against.

inline const QString kUsage = QStringLiteral("Usage: \n"
                                             "tsisbridge\n"
                                             " [command]\n"
                                             "  [--all]\n"
                                             "  [--att]\n"
                                             "  [--demo]\n"
                                             "  [--help]\n"
                                             "   [--group=value]\n"
                                             "   [--paramkey=value]\n"
                                             "   [--path=value]\n"
                                             "   [--logpath=value]\n"
                                             "   [--log=value]\n"
                                             "   [--validate=value]\n"
                                             "   [--inactivedate=value]\n"
                                             "   [--year=value]\n"
                                             "   [--teacher=value]\n"
                                             "   [--dsn=value]\n"
                                             "   [--user=value]\n"
                                             "   [--pwdencode=value]\n"
                                             "   [--pwd=value]\n"
                                             "   [--district=value]\n"
                                             "   [--school=value]\n"
                                             "   [--year=value]\n"
                                             "   [--useyear=value]\n"
                                             "\n");

inline const QString kEmptyAnswer = QStringLiteral("start_progress\t0\nend_progress\n");

inline const QString kStartedLine =
    QStringLiteral("log\tInformational\thh:mm:ss\t\tVantrel Data Extractor for TSIS/SchoolMAX started.\n");

inline const QString kStatusFile = QStringLiteral("Data ExtractorStatus.tmp");
inline const QString kFinishedFile = QStringLiteral("finished_bridge.tmp");

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
    return QStringLiteral("yyyy/MM/dd hh:mm:ss\t") + word + QLatin1Char('\t') + text + QStringLiteral("\r\n");
}

// Only the protocol lines of an answer: "log" lines and the continuation lines
// of multi-line log messages (driver reports) are dropped.
inline QString protocolLines(const QString& out)
{
    static const QRegularExpression protocol(QStringLiteral(
        "^(start_progress|end_progress|inc_progress|warn_progress|test|warning|error|missing|params|version|"
        "list|bridgelist|district_list|school_list|year_list|start_setting|end_setting|setting)(\\t|$)"));
    QString kept;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (protocol.match(line).hasMatch())
            kept += line + QLatin1Char('\n');
    return kept;
}

// The demo district of one suite in the PostgreSQL server of
// scripts/start-postgres.sh: its own database (dropped at the end) and a
// unixODBC configuration of its own in a temporary folder, to which a suite
// adds data sources or a trace.
class PostgresDemo
{
public:
    // The TSIS flavour, for the real day; the database is named after name and this process.
    explicit PostgresDemo(const std::string& name)
        : available_(e2e::PostgresAvailable(why_)),
          demo_(e2e::DemoOptions{{"tsis"}, (dir_.path() + QStringLiteral("/demo")).toStdString(), e2e::Today(),
                                 available_ ? name : std::string(), ""})
    {
    }

    bool ok() const { return available_ && demo_.Ok(); }
    QString error() const
    {
        return QString::fromStdString(available_ ? "make-demo-district.sh failed: " + demo_.Error() : why_);
    }
    std::string database() const { return demo_.PgDatabases().at(0); }
    QString folder() const { return dir_.path(); }
    // A setting printed by the two scripts (TSIS_PG_..., ODBCSYSINI, ODBCINI).
    QString value(const QString& name) const { return demo_.Value(name); }

    // Runs SQL on the demo database as the cluster's superuser: what psql
    // printed (rows unaligned, errors too) and whether it succeeded.
    bool psql(const std::string& sql, const std::string& database = std::string(),
              std::string* output = nullptr) const
    {
        const e2e::CommandResult r = e2e::Psql(database.empty() ? this->database() : database, sql);
        if (output)
            *output = r.output;
        return r.status == 0;
    }

    // A data source on the demo database at port, without a stored login.
    void addDataSource(const QString& name, const QString& port) const
    {
        QFile f(value("ODBCINI"));
        if (f.open(QIODevice::Append))
            f.write(("[" + name + "]\nDriver=PostgreSQL\nServername=" + value("TSIS_PG_HOST") + "\nPort=" + port +
                     "\nDatabase=" + QString::fromStdString(database()) + "\n\n")
                        .toUtf8());
    }

    // unixODBC traces every call of the suite's processes into file.
    void traceTo(const QString& file) const
    {
        const QString ini = value("ODBCSYSINI") + QStringLiteral("/odbcinst.ini");
        const QByteArray drivers = BridgeSandbox::readText(ini).toUtf8();
        BridgeSandbox::writeText(ini, "[ODBC]\nTrace=Yes\nTraceFile=" + file.toUtf8() + "\n\n" + drivers);
    }

    // The environment a sandbox needs to reach the demo's data sources.
    void configure(BridgeSandbox& box) const
    {
        box.setEnv(QStringLiteral("ODBCSYSINI"), value("ODBCSYSINI"));
        box.setEnv(QStringLiteral("ODBCINI"), value("ODBCINI"));
    }

private:
    QTemporaryDir dir_;
    std::string why_;
    bool available_;
    e2e::DemoDistrict demo_;
};
