#pragma once

#include "QStringPrinter.h"

// Runs the built tsisbridge in a sandbox: HOME and the XDG folders point into a
// temporary folder, so logs, documents and application data stay there.

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
#include <unistd.h>

#include <optional>
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

// Runs a set-up script and collects the "export NAME=value" lines it prints
// (shell quotes around a value removed); nothing when the script failed.
inline std::optional<QList<QPair<QString, QString>>> ScriptExports(const std::string& command)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    QByteArray text;
    char buffer[1024];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, static_cast<qsizetype>(n));
    const int rc = pclose(pipe);
    if (!WIFEXITED(rc) || WEXITSTATUS(rc) != 0)
        return std::nullopt;
    QList<QPair<QString, QString>> exports;
    for (const QString& line : QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    {
        if (!line.startsWith(QStringLiteral("export ")))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        QString value = line.mid(eq + 1);
        if (value.size() >= 2 && value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))
            value = value.mid(1, value.size() - 2);
        exports.append({line.mid(7, eq - 7), value});
    }
    return exports;
}

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

    // Builds the SQLite demo district for the given day (none: the real day)
    // into demo/ and takes over the ODBC settings the script prints; false when
    // the script failed. extraArgs go to the script unchanged.
    bool makeDemoDistrict(const char* today, const std::string& extraArgs = std::string())
    {
        const std::string command = std::string(TSIS_SOURCE_DIR "/scripts/make-demo-district.sh") +
                                    (today ? std::string(" --today ") + today : std::string()) + " --out '" +
                                    path(QStringLiteral("demo")).toStdString() +
                                    "' --build-dir '" TSIS_BINARY_DIR "' " + extraArgs + " 2>/dev/null";
        const auto exports = ScriptExports(command);
        if (!exports)
            return false;
        for (const auto& [name, value] : *exports)
            setEnv(name, value);
        return true;
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
};

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

inline QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}
