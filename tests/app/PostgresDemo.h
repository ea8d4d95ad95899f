#pragma once

// The demo district of one test suite in the PostgreSQL server of
// scripts/start-postgres.sh: its own database (dropped at the end) and a
// unixODBC configuration of its own in a temporary folder, to which a suite
// adds data sources or a trace.

#include "BridgeProcess.h"

#include <QMap>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

class PostgresDemo
{
public:
    // The TSIS flavour; the database is named after name and this process.
    explicit PostgresDemo(const std::string& name) : database_(name + "_" + std::to_string(getpid()))
    {
        if (!readExports(TSIS_SOURCE_DIR "/scripts/start-postgres.sh 2>/dev/null"))
        {
            error_ = QStringLiteral("no PostgreSQL server");
            return;
        }
        for (auto it = env_.cbegin(); it != env_.cend(); ++it)
            setenv(it.key().toLatin1().constData(), it.value().toLatin1().constData(), 1);
        const std::string command = std::string(TSIS_SOURCE_DIR "/scripts/make-demo-district.sh --today ") +
                                    QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toStdString() +
                                    " --out '" + folder().toStdString() +
                                    "' --build-dir '" TSIS_BINARY_DIR "' --postgres --pg-db " + database_ +
                                    " 2>/dev/null";
        if (!readExports(command))
            error_ = QStringLiteral("make-demo-district.sh failed");
        created_ = true;
    }

    ~PostgresDemo()
    {
        if (created_)
            psql("DROP DATABASE IF EXISTS " + database_, "postgres");
    }

    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }
    const std::string& database() const { return database_; }
    QString folder() const { return dir_.path(); }
    // A setting printed by the two scripts (TSIS_PG_..., ODBCSYSINI, ODBCINI).
    QString value(const QString& name) const { return env_.value(name); }

    // Runs SQL on the demo database (or another) as the cluster's superuser:
    // what psql printed (rows unaligned, errors too) and whether it succeeded.
    bool psql(const std::string& sql, const std::string& database = std::string(),
              std::string* output = nullptr) const
    {
        std::string quoted = sql;
        for (size_t at = quoted.find('\''); at != std::string::npos; at = quoted.find('\'', at + 4))
            quoted.replace(at, 1, "'\\''");
        const std::string command = "psql -X -q -tA -v ON_ERROR_STOP=1 -h " +
                                    value("TSIS_PG_HOST").toStdString() + " -p " +
                                    value("TSIS_PG_PORT").toStdString() + " -U postgres -d " +
                                    (database.empty() ? database_ : database) + " -c '" + quoted + "' 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return false;
        std::string text;
        char buffer[1024];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, n);
        const int rc = pclose(pipe);
        if (output)
            *output = text;
        return WIFEXITED(rc) && WEXITSTATUS(rc) == 0;
    }

    // A data source on the demo database at port, without a stored login.
    void addDataSource(const QString& name, const QString& port) const
    {
        appendTo(value("ODBCINI"), "[" + name + "]\nDriver=PostgreSQL\nServername=" + value("TSIS_PG_HOST") +
                                       "\nPort=" + port + "\nDatabase=" + QString::fromStdString(database_) +
                                       "\n\n");
    }

    // unixODBC traces every call of the suite's processes into file.
    void traceTo(const QString& file) const
    {
        const QString ini = value("ODBCSYSINI") + QStringLiteral("/odbcinst.ini");
        const QByteArray drivers = readFile(ini);
        BridgeSandbox::writeText(ini, "[ODBC]\nTrace=Yes\nTraceFile=" + file.toUtf8() + "\n\n" + drivers);
    }

    // The environment a sandbox needs to reach the demo's data sources.
    void configure(BridgeSandbox& box) const
    {
        box.setEnv(QStringLiteral("ODBCSYSINI"), value("ODBCSYSINI"));
        box.setEnv(QStringLiteral("ODBCINI"), value("ODBCINI"));
    }

private:
    bool readExports(const std::string& command)
    {
        const auto exports = ScriptExports(command);
        if (!exports)
            return false;
        for (const auto& [name, value] : *exports)
            env_.insert(name, value);
        return true;
    }

    static QByteArray readFile(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void appendTo(const QString& file, const QString& text)
    {
        QFile f(file);
        if (f.open(QIODevice::Append))
            f.write(text.toUtf8());
    }

    QTemporaryDir dir_;
    std::string database_;
    QMap<QString, QString> env_;
    QString error_;
    bool created_ = false;
};
