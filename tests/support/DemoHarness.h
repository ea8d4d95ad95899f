#pragma once

// The end-to-end suites' demo district: built through
// scripts/make-demo-district.sh into a folder of this test process (SQLite,
// and PostgreSQL when the server of scripts/start-postgres.sh is there), one
// fixture template that shares it across a suite's cases, an ExpEngine whose
// log lines are recorded, and the file helpers the comparisons use.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "AppIdentity.h"
#include "ExpEngine.h"
#include "GoldenSection.h"
#include "OdbcTestEnv.h"
#include "XClock.h"

using namespace Qt::StringLiterals;

namespace e2e
{

// The day the demo calendar and the engine's clock are fixed to: within the
// school year 2026-2027 (SCH_YR 2026 in TSIS, 2027 in SchoolMAX).
inline constexpr const char* kToday = "20261015";

using odbctest::Env;

// A PostgreSQL case without the test server: a failure under CI, else a skip.
inline void RequirePostgres(bool wanted, bool available, const std::string& why)
{
    if (!wanted || available)
        return;
    if (odbctest::RunningInCi())
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
    const int rc = pclose(pipe);
    result.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return result;
}

using Exports = QList<QPair<QString, QString>>;

// The "export NAME=value" lines a script printed (shell quotes around a value removed).
inline Exports ParseExports(const std::string& output)
{
    Exports exports;
    for (const QString& line : QString::fromStdString(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    {
        if (!line.startsWith(u"export "_s))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        QString value = line.mid(eq + 1);
        if (value.size() >= 2 && value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))
            value = value.mid(1, value.size() - 2);
        exports.append({line.mid(7, eq - 7), value});
    }
    return exports;
}

inline void ApplyExports(const Exports& exports)
{
    for (const auto& [name, value] : exports)
        setenv(name.toLatin1().constData(), value.toLatin1().constData(), 1);
}

// Whether a PostgreSQL server can be had: the settings of
// scripts/start-postgres.sh, or the script starting one now.
inline bool PostgresAvailable(std::string& why)
{
    if (!std::getenv("TSIS_PG_HOST"))
    {
        const CommandResult r = RunCommand(TSIS_SOURCE_DIR "/scripts/start-postgres.sh 2>/dev/null");
        if (r.status != 0)
        {
            why = "scripts/start-postgres.sh could not start a PostgreSQL server";
            return false;
        }
        ApplyExports(ParseExports(r.output));
    }
    return true;
}

inline std::string ShellQuoted(std::string text)
{
    for (size_t at = text.find('\''); at != std::string::npos; at = text.find('\'', at + 4))
        text.replace(at, 1, "'\\''");
    return "'" + text + "'";
}

// Runs SQL on a database of the test server (as the cluster's superuser
// unless a role is given): what psql printed, errors too, and its status.
inline CommandResult Psql(const std::string& database, const std::string& sql,
                          const std::string& role = "postgres")
{
    return RunCommand("psql -X -q -tA -v ON_ERROR_STOP=1 -h " + Env("TSIS_PG_HOST", "127.0.0.1") + " -p " +
                      Env("TSIS_PG_PORT", "55432") + " -U " + role + " -d " + database + " -c " +
                      ShellQuoted(sql) + " 2>&1");
}

inline std::string ProcessFolder(const std::string& name)
{
    return std::string(TSIS_BINARY_DIR) + "/engine-e2e/" + name + "-" + std::to_string(getpid());
}

// The real day, as make-demo-district.sh takes it.
inline std::string Today()
{
    return QDate::currentDate().toString(u"yyyyMMdd"_s).toStdString();
}

// What make-demo-district.sh builds: the flavours ("tsis", "schmax") into
// one folder, for a day (yyyyMMdd; empty: the real day), with PostgreSQL databases named after
// pgPrefix (none when empty), and extra arguments (for instance "--live-wth").
struct DemoOptions
{
    std::vector<std::string> flavours{"tsis"};
    std::string folder;
    std::string today = kToday;
    std::string pgPrefix;
    std::string extraArgs;
};

// The demo district built into its folder; its PostgreSQL databases belong
// to this process and are dropped at the end. exports() are the ODBC
// settings of its data sources (TSISDemo, TSISDemoSchmax and, with
// PostgreSQL, TSISDemoPG and TSISDemoSchmaxPG).
class DemoDistrict
{
public:
    explicit DemoDistrict(const DemoOptions& options) : folder_(options.folder)
    {
        QDir(QString::fromStdString(folder_)).removeRecursively();
        QDir().mkpath(QString::fromStdString(folder_));
        const std::string log = folder_ + ".log";
        for (const std::string& flavour : options.flavours)
        {
            std::string command = TSIS_SOURCE_DIR "/scripts/make-demo-district.sh --flavour " + flavour +
                                  (options.today.empty() ? "" : " --today " + options.today) + " --out '" +
                                  folder_ + "' --build-dir '" TSIS_BINARY_DIR "' " + options.extraArgs;
            if (!options.pgPrefix.empty())
            {
                const std::string database =
                    options.pgPrefix + "_" + flavour + "_" + std::to_string(getpid());
                command += " --pg-db " + database + " --postgres";
                pgDatabases_.push_back(database);
            }
            const CommandResult r = RunCommand(command + " 2>>'" + log + "'");
            if (r.status != 0)
            {
                QFile f(QString::fromStdString(log));
                error_ =
                    f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "make-demo-district.sh failed";
                return;
            }
            exports_ = ParseExports(r.output);
        }
        ok_ = true;
    }

    ~DemoDistrict()
    {
        // FORCE: the engine may have run in this process and still keep its last log-in.
        for (const std::string& database : pgDatabases_)
            Psql("postgres", "DROP DATABASE IF EXISTS " + database + " WITH (FORCE)");
        if (!std::getenv("TSIS_KEEP_E2E"))
            QDir(QString::fromStdString(folder_)).removeRecursively();
    }

    bool Ok() const { return ok_; }
    const std::string& Error() const { return error_; }
    const std::string& Folder() const { return folder_; }
    const Exports& exports() const { return exports_; }
    // A setting the scripts printed, else this process's.
    QString Value(const QString& name) const
    {
        for (const auto& [n, v] : exports_)
            if (n == name)
                return v;
        return QString::fromStdString(Env(name.toLatin1().constData()));
    }
    const std::vector<std::string>& PgDatabases() const { return pgDatabases_; }

    // Adds a data source to the ODBC configuration the demo selected.
    bool AddDataSource(const std::string& dsn, const std::string& settings) const
    {
        QFile ini(Value(QStringLiteral("ODBCINI")));
        return ini.open(QIODevice::Append | QIODevice::Text) &&
               ini.write(QByteArray::fromStdString("\n[" + dsn + "]\n" + settings + "\n")) > 0;
    }

    // A copy of a flavour's SQLite database changed by sql, reached as the data source dsn.
    bool AlteredCopy(const std::string& flavour, const std::string& dsn, const std::string& sql) const
    {
        const std::string copy = folder_ + "/" + dsn + ".db";
        return RunCommand("cp '" + folder_ + "/tsisdemo-" + flavour + ".db' '" + copy +
                          "' && sqlite3 -bail '" + copy + "' " + ShellQuoted(sql))
                       .status == 0 &&
               AddDataSource(dsn, "Driver=SQLite3\nDatabase=" + copy + "\nNoCreat=1\nLoadExt=" + folder_ +
                                      "/lib/libtsisdemo_sqlite.so");
    }

private:
    std::string folder_;
    std::vector<std::string> pgDatabases_;
    Exports exports_;
    bool ok_ = false;
    std::string error_;
};

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

inline bool IsPostgres(const QString& dsn)
{
    return dsn.endsWith(u"PG"_s);
}

// Names the cases of a suite after their parameter (a data source, a flavour).
inline const auto ParamName = [](const auto& info) { return std::string(info.param); };

// Which district a suite builds (Suite::Demo(), public).
struct DemoPlan
{
    std::vector<std::string> flavours{"tsis"};
    bool postgres = false;
    std::string name = "demo";
    std::string extraArgs = "";
};

// One demo district per suite, built before its first case and removed with
// its folders after the last. Suite::Demo() says which district; a case
// whose Dsn() is a PostgreSQL source needs the server (required under CI).
template <class Suite, class Base = ::testing::Test> class DemoSuite : public Base
{
public:
    static void SetUpTestSuite()
    {
        const DemoPlan plan = Suite::Demo();
        postgres_ = plan.postgres && PostgresAvailable(why_);
        demo_ = new DemoDistrict({plan.flavours, ProcessFolder(plan.name), kToday,
                                  postgres_ ? "engine_e2e_" + plan.name : std::string(), plan.extraArgs});
        ApplyExports(demo_->exports());
    }
    static void TearDownTestSuite()
    {
        delete demo_;
        demo_ = nullptr;
        RemoveProcessFolders();
    }

protected:
    void SetUp() override
    {
        // The engine's "today" is the demo district's day while a case runs.
        XDate day;
        day.Parse("YYYYMMDD", kToday);
        XClock::SetFixed(XDateTime(day, XTime(9, 30, 0)));
        RequirePostgres(IsPostgres(Dsn()), postgres_, why_);
        if (!this->IsSkipped())
        {
            ASSERT_TRUE(demo_->Ok()) << demo_->Error();
        }
    }
    void TearDown() override { XClock::Reset(); }
    virtual QString Dsn() const { return QString(); }
    void NeedPostgres() const { RequirePostgres(true, postgres_, why_); }

    static inline DemoDistrict* demo_ = nullptr;
    static inline bool postgres_ = false;
    static inline std::string why_;
};

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

    bool Logged(const QString& message, int level = -1) const
    {
        return std::any_of(log_.begin(), log_.end(),
                           [&](const LogLine& l) {
                               return l.message == message &&
                                      (level < 0 || (l.level == level && l.method.isEmpty()));
                           });
    }
    bool LoggedContaining(const QString& part) const
    {
        return std::any_of(log_.begin(), log_.end(),
                           [&](const LogLine& l) { return l.message.contains(part); });
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

// The parameters the application hands to an extraction; psqlODBC takes an
// empty user as the login role, so a PostgreSQL source gets the server's.
inline ParamMap RunParams(const QString& folder, const QString& dsn, const QString& school = "101",
                          const QString& district = "16")
{
    ParamMap p;
    p["path"] = folder;
    p["dsn"] = dsn;
    p["user"] = IsPostgres(dsn) ? QString::fromStdString(Env("TSIS_PG_USER", "tsis")) : QString();
    p["pwd"] = IsPostgres(dsn) ? "unused" : "";
    p["district"] = district;
    p["school"] = school;
    SetAppIdentity(p, "Dec 01 2026 10:20:30");
    return p;
}

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

// The lines of a section of tests/engine/golden/<file>, split at tabs; \t,
// \r and \n stand for a tab, a carriage return and a line feed.
inline QList<QStringList> GoldenFields(const char* file, const std::string& section)
{
    QList<QStringList> lines;
    for (const std::string& line :
         GoldenSection(std::string(TSIS_SOURCE_DIR "/tests/engine/golden/") + file, section))
    {
        QStringList fields = QString::fromStdString(line).split(u'\t');
        for (QString& f : fields)
            f.replace(u"\\t"_s, u"\t"_s).replace(u"\\r"_s, u"\r"_s).replace(u"\\n"_s, u"\n"_s);
        lines << fields;
    }
    return lines;
}

// Lines in a fixed order, for a query without ORDER BY: the server chooses
// the order, every line stays compared byte for byte.
inline QList<QByteArray> SortedLines(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The value at column of every line in file order (column 0: the first two
// values), and the lines without it, sorted.
inline QPair<QList<QByteArray>, QList<QByteArray>> SplitKey(const QByteArray& file, int column)
{
    QList<QByteArray> keys, rest;
    for (const QByteArray& line : file.split('\n'))
    {
        QList<QByteArray> values = line.split('\t');
        if (values.size() > 1)
        {
            keys.push_back(column == 0 ? values[0] + "\t" + values[1] : values.takeAt(column));
            if (column == 0)
                values.removeFirst();
        }
        rest.push_back(values.join('\t'));
    }
    std::sort(rest.begin(), rest.end());
    return {keys, rest};
}

// The first values of the lines ascend, as the order by incident gives them.
inline bool KeysAscend(const QByteArray& text)
{
    long previous = 0;
    for (const QByteArray& line : text.split('\n'))
    {
        if (line.isEmpty())
            continue;
        const long key = line.left(line.indexOf('\t')).toLong();
        if (key < previous)
            return false;
        previous = key;
    }
    return true;
}

// A data file against its expected file, compared in the order
// golden/demo_export.txt names (its notes say what each does).
inline void ExpectSame(const QByteArray& actual, const QByteArray& expected, const QString& order,
                       bool postgres)
{
    static const QStringList kOrders{u"Fixed"_s,      u"Server"_s,     u"FixedOnSqlite"_s,
                                     u"ByIncident"_s, u"KeyInOrder"_s, u"StudentKeys"_s};
    ASSERT_TRUE(kOrders.contains(order)) << "no such order: " << order.toStdString();
    if (order == u"Fixed"_s || (order == u"FixedOnSqlite"_s && !postgres))
        EXPECT_EQ(actual, expected);
    else if (order == u"KeyInOrder"_s || order == u"StudentKeys"_s)
    {
        const int column = order == u"KeyInOrder"_s ? 1 : 0;
        EXPECT_EQ(SplitKey(actual, column), SplitKey(expected, column));
    }
    else
    {
        // Without ORDER BY the server chooses the order.
        EXPECT_TRUE(order != u"ByIncident"_s || KeysAscend(actual));
        EXPECT_EQ(SortedLines(actual), SortedLines(expected));
    }
}

// One table block of a control file: the header line's names and the file included.
struct Block
{
    QStringList names; // empty for an include without a header (the custom-field file)
    QString file;
};

inline QList<Block> ReadBlocks(const QByteArray& control)
{
    static const QRegularExpression include(u"^#include \"([^\"]+)\"$"_s);
    const QStringList lines = QString::fromLatin1(control).split(u"\r\n"_s);
    QList<Block> blocks;
    for (int i = 1; i < lines.size(); ++i)
    {
        const QRegularExpressionMatch m = include.match(lines[i]);
        if (m.hasMatch())
            blocks << Block{lines[i - 1].startsWith(u"//"_s) ? QStringList() : lines[i - 1].split(u'\t'),
                            m.captured(1)};
    }
    return blocks;
}

// What an importer would trip over in the data files a control file in out
// names: a line whose number of fields is not its header's, a bare CR or LF,
// a missing file. Empty when sound.
inline QStringList LayoutFaults(const QString& out)
{
    QStringList faults;
    for (const Block& block : ReadBlocks(ReadFile(out + u"/TSIS SchoolMAX.SDE"_s)))
    {
        if (!block.file.endsWith(u".sef"_s))
            continue;
        // A header field with "$=" is a constant of the importer's, not in the lines.
        const qsizetype fields = block.names.size() - block.names.filter(u"$="_s).size();
        const QString& name = block.file;
        QList<QByteArray> lines = ReadFile(out + QLatin1Char('/') + name).split('\n');
        if (lines.isEmpty() || !lines.takeLast().isEmpty())
            faults << name + u": no line end at its end"_s;
        for (int n = 0; n < lines.size(); ++n)
        {
            const QByteArray& line = lines[n];
            if (!line.endsWith('\r') || line.count('\r') != 1)
                faults << name + u": line %1 is broken"_s.arg(n + 1);
            else if (line.count('\t') + 1 != fields)
                faults << name + u": line %1 has %2 fields, its header %3"_s.arg(n + 1)
                                     .arg(line.count('\t') + 1)
                                     .arg(fields);
        }
    }
    return faults;
}

// The texts of an import file that change from run to run masked: its times
// and update stamp, and with dates the day and the year of the run too.
inline QByteArray MaskRun(const QByteArray& bytes, bool dates = true)
{
    static const std::pair<const char*, const char*> kMasks[] = {
        {"// Generated : [^\r]*", "// Generated : <time>"},
        {"//  (Start|End|Difference): [^\r]*", "//  \\1: <time>"},
        {"#pragma update \"\\d{14}\"", "#pragma update \"<stamp>\""},
        {"// [A-Z][a-z]{2} \\d\\d, \\d{4}\r\n", "// <date>\r\n"},
        {"Vantrel Software \\d{4} ", "Vantrel Software <year> "},
        {"#pragma exportdate \"\\d{8}\"", "#pragma exportdate \"<date>\""},
    };
    QString s = QString::fromLatin1(bytes);
    for (const auto& [pattern, mask] : dates ? std::span(kMasks) : std::span(kMasks).first(3))
        s.replace(QRegularExpression(QString::fromLatin1(pattern)), QString::fromLatin1(mask));
    return s.toLatin1();
}

inline QString FreshFolder(const std::string& name)
{
    const QString folder = QString::fromStdString(ProcessFolder(name));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder;
}

// A full export (flags 1), attendance (2) or both (3) into a fresh folder; the folder.
inline QString Export(RecordedEngine& engine, const std::string& name, const QString& dsn, int flags = 1,
                      const QString& school = "101")
{
    ParamMap params = RunParams(FreshFolder(name), dsn, school);
    QString error;
    EXPECT_TRUE(engine->BeginExecute(params, flags, error)) << error.toStdString() << engine.Dump();
    return params["path"];
}

} // namespace e2e
