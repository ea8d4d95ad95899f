#pragma once

// Helpers of the engine's end-to-end tests: the demo district built through
// scripts/make-demo-district.sh into a folder of this test process (SQLite,
// and PostgreSQL when the server of scripts/start-postgres.sh is there), an
// ExpEngine whose log lines are recorded, and byte-wise file comparison.

#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ExpEngine.h"
#include "XClock.h"

namespace enginee2e
{

// The day the demo calendar and the engine's clock are fixed to: within the
// school year 2026-2027 (SCH_YR 2026 in TSIS, 2027 in SchoolMAX).
inline constexpr const char* kToday = "20261015";

inline bool OnCi()
{
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

// A PostgreSQL case without the test server: a failure under CI, else a skip.
inline void RequirePostgres(bool wanted, bool available, const std::string& why)
{
    if (!wanted || available)
        return;
    if (OnCi())
        FAIL() << "PostgreSQL is required under CI: " << why;
    GTEST_SKIP() << why;
}

struct CommandResult
{
    int status = -1;
    std::string output; // standard output only
};

inline CommandResult RunCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    int rc = pclose(pipe);
    result.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return result;
}

// Applies the "export NAME=VALUE" lines a script printed.
inline void ApplyExports(const std::string& output)
{
    const QStringList lines = QString::fromStdString(output).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines)
    {
        if (!line.startsWith("export "))
            continue;
        const QString assignment = line.mid(7);
        const int eq = assignment.indexOf('=');
        if (eq > 0)
            setenv(assignment.left(eq).toLatin1().constData(), assignment.mid(eq + 1).toLatin1().constData(),
                   1);
    }
}

inline std::string ProcessFolder(const std::string& name)
{
    return std::string(TSIS_BINARY_DIR) + "/engine-e2e/" + name + "-" + std::to_string(getpid());
}

// Builds the demo district in the given flavours ("tsis", "schmax") into one
// folder of this process and points unixODBC at its data sources (TSISDemo,
// TSISDemoSchmax and, with PostgreSQL, TSISDemoPG and TSISDemoSchmaxPG).
// The PostgreSQL databases belong to this process and are dropped at the end.
class DemoDistrict
{
public:
    // name keeps apart the districts of suites that change their database;
    // extraArgs go to the script unchanged (for instance "--live-wth").
    DemoDistrict(const std::vector<std::string>& flavours, bool withPostgres,
                 const std::string& name = "demo", const std::string& extraArgs = "")
        : folder_(ProcessFolder(name))
    {
        QDir(QString::fromStdString(folder_)).removeRecursively();
        QDir().mkpath(QString::fromStdString(folder_));
        const std::string log = folder_ + ".log";
        CommandResult r;
        for (const std::string& flavour : flavours)
        {
            std::string command = std::string(TSIS_SOURCE_DIR) + "/scripts/make-demo-district.sh --flavour " +
                                  flavour + " --today " + kToday + " --out '" + folder_ + "' --build-dir '" +
                                  TSIS_BINARY_DIR + "' " + extraArgs;
            if (withPostgres)
            {
                const std::string database = "engine_e2e_" + (name == "demo" ? std::string() : name + "_") +
                                             flavour + "_" + std::to_string(getpid());
                command += " --pg-db " + database + " --postgres";
                pgDatabases_.push_back(database);
            }
            r = RunCommand(command + " 2>>'" + log + "'");
            if (r.status != 0)
            {
                QFile f(QString::fromStdString(log));
                if (f.open(QIODevice::ReadOnly))
                    error_ = f.readAll().toStdString();
                return;
            }
        }
        ApplyExports(r.output);
        ok_ = true;
    }

    ~DemoDistrict()
    {
        const char* host = std::getenv("TSIS_PG_HOST");
        const char* port = std::getenv("TSIS_PG_PORT");
        if (!host || !port)
            return;
        // FORCE: the engine ran in this process and may still keep its last log-in.
        for (const std::string& database : pgDatabases_)
            RunCommand("psql -X -q -h " + std::string(host) + " -p " + port +
                       " -U postgres -d postgres -c 'DROP DATABASE IF EXISTS " + database +
                       " WITH (FORCE)' >/dev/null 2>&1");
    }

    bool Ok() const { return ok_; }
    const std::string& Error() const { return error_; }
    const std::string& Folder() const { return folder_; }
    const std::vector<std::string>& PgDatabases() const { return pgDatabases_; }

private:
    std::string folder_;
    std::vector<std::string> pgDatabases_;
    bool ok_ = false;
    std::string error_;
};

// A copy of a flavour's demo database changed by sql, reached as the data
// source dsn (added to the ODBC configuration the demo selected).
inline bool AlteredCopy(const DemoDistrict& demo, const std::string& flavour, const std::string& dsn,
                        const std::string& sql)
{
    const std::string copy = demo.Folder() + "/" + dsn + ".db";
    if (RunCommand("cp '" + demo.Folder() + "/tsisdemo-" + flavour + ".db' '" + copy +
                   "' && sqlite3 -bail '" + copy + "' \"" + sql + "\"")
            .status != 0)
        return false;
    QFile ini(QString::fromLocal8Bit(std::getenv("ODBCINI")));
    if (!ini.open(QIODevice::Append | QIODevice::Text))
        return false;
    const QString entry =
        QString("\n[%1]\nDriver=SQLite3\nDatabase=%2\nNoCreat=1\nLoadExt=%3/lib/libtsisdemo_sqlite.so\n")
            .arg(QString::fromStdString(dsn), QString::fromStdString(copy),
                 QString::fromStdString(demo.Folder()));
    return ini.write(entry.toLocal8Bit()) > 0;
}

// Whether a PostgreSQL server can be had: the settings of
// scripts/start-postgres.sh, or the script starting one now.
inline bool PostgresAvailable(std::string& why)
{
    if (!std::getenv("TSIS_PG_HOST"))
    {
        CommandResult r = RunCommand(std::string(TSIS_SOURCE_DIR) + "/scripts/start-postgres.sh 2>/dev/null");
        if (r.status != 0)
        {
            why = "scripts/start-postgres.sh could not start a PostgreSQL server";
            return false;
        }
        ApplyExports(r.output);
    }
    return true;
}

struct LogLine
{
    int level;
    QString message;
    QString method;
};

// An ExpEngine with its log lines and protocol signals recorded.
class RecordedEngine
{
public:
    RecordedEngine()
    {
        engine_ = std::make_unique<ExpEngine>();
        QObject::connect(engine_.get(), &AppTaskBase::writeLog,
                         [this](int level, QString message, QString method) {
                             log_.push_back({level, message, method});
                         });
        QObject::connect(engine_.get(), &AppTaskBase::writeProgressIncrement,
                         [this](QString message) { progress_.push_back(message); });
        QObject::connect(engine_.get(), &AppTaskBase::writeMissing,
                         [this](QString key, QString message) { missing_.push_back(key + "\t" + message); });
    }

    ExpEngine& operator*() { return *engine_; }
    ExpEngine* operator->() { return engine_.get(); }

    const std::vector<LogLine>& Log() const { return log_; }
    const QStringList& Progress() const { return progress_; }
    const QStringList& Missing() const { return missing_; }

    bool Logged(const QString& message) const
    {
        for (const LogLine& l : log_)
            if (l.message == message)
                return true;
        return false;
    }
    bool LoggedContaining(const QString& part) const
    {
        for (const LogLine& l : log_)
            if (l.message.contains(part))
                return true;
        return false;
    }
    std::string Dump() const
    {
        std::string out;
        for (const LogLine& l : log_)
            out += std::to_string(l.level) + " [" + l.method.toStdString() + "] " + l.message.toStdString() +
                   "\n";
        return out;
    }

private:
    // The recorders outlive the engine, whose destructor still logs.
    std::vector<LogLine> log_;
    QStringList progress_;
    QStringList missing_;
    std::unique_ptr<ExpEngine> engine_;
};

// The parameters the application hands to an extraction.
inline ParamMap RunParams(const QString& folder, const QString& dsn, const QString& school = "101",
                          const QString& district = "16")
{
    ParamMap p;
    p["path"] = folder;
    p["dsn"] = dsn;
    p["user"] = "";
    p["pwd"] = "";
    p["district"] = district;
    p["school"] = school;
    p["appTitle_"] = "Vantrel Data Extractor for TSIS/SchoolMAX";
    p["appType_"] = "Data Extractor";
    p["appShortName_"] = "TSIS SchoolMAX";
    p["appVersion_"] = "4.2.9.0";
    p["appAlias_"] = "tsis";
    p["appBuildDate_"] = "Dec 01 2026 10:20:30";
    return p;
}

// Fixes "today" of the engine to the demo district's day while it lives.
class FixedToday
{
public:
    FixedToday()
    {
        XDate day;
        day.Parse("YYYYMMDD", kToday);
        XClock::SetFixed(XDateTime(day, XTime(9, 30, 0)));
    }
    ~FixedToday() { XClock::Reset(); }
};

inline QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing: ") + path.toLatin1() + ">";
    return f.readAll();
}

inline QByteArray ExpectedFile(const QString& name)
{
    return ReadFile(QString(TSIS_SOURCE_DIR) + "/tests/engine/expected/" + name);
}

// The control file with the time stamps that change from run to run masked.
inline QByteArray MaskTimes(QByteArray text)
{
    QString s = QString::fromLatin1(text);
    s.replace(QRegularExpression("// Generated : [^\r]*"), "// Generated : <time>");
    s.replace(QRegularExpression("//  Start: [^\r]*"), "//  Start: <time>");
    s.replace(QRegularExpression("//  End: [^\r]*"), "//  End: <time>");
    s.replace(QRegularExpression("//  Difference: [^\r]*"), "//  Difference: <time>");
    return s.toLatin1();
}

// Removes the folders and logs of this process (kept when TSIS_KEEP_E2E is set).
inline void RemoveProcessFolders()
{
    if (std::getenv("TSIS_KEEP_E2E"))
        return;
    QDir root(QString(TSIS_BINARY_DIR) + "/engine-e2e");
    const QString suffix = "-" + QString::number(getpid());
    for (const QFileInfo& entry : root.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot))
    {
        if (entry.fileName().endsWith(suffix))
            QDir(entry.filePath()).removeRecursively();
        else if (entry.fileName().endsWith(suffix + ".log"))
            QFile::remove(entry.filePath());
    }
}

inline QString FreshFolder(const std::string& name)
{
    const QString folder = QString::fromStdString(ProcessFolder(name));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder;
}

} // namespace enginee2e
