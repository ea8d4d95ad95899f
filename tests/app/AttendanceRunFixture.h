#pragma once

// The attendance process tests' one fixture: a demo district of its own, in
// SQLite or in PostgreSQL (the parameter), the runs of tsisbridge over it and
// the update files they leave.

#include "AttendanceExpected.h"
#include "BridgeLaunch.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QMap>
#include <QRegularExpression>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

inline std::string runShell(const std::string& command, int& status)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[1024];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int rc = pclose(pipe);
    status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing: ") + path.toUtf8() + ">";
}

inline QByteArray expectedFile(const QString& name)
{
    return readBytes(QStringLiteral(TSIS_SOURCE_DIR "/tests/engine/expected/") + name);
}

inline QStringList sortedLines(const QByteArray& bytes)
{
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The school year running today, as TSIS numbers it (by its first year).
inline int currentSchoolYear()
{
    const QDate today = QDate::currentDate();
    return today.month() >= 7 ? today.year() : today.year() - 1;
}

class AttendanceRun : public ::testing::TestWithParam<bool>
{
protected:
    bool postgres() const { return GetParam(); }

    void SetUp() override
    {
        std::string command = std::string(TSIS_SOURCE_DIR "/scripts/make-demo-district.sh --today ") +
                              QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toStdString() +
                              " --out '" + box_.path(QStringLiteral("demo")).toStdString() +
                              "' --build-dir '" TSIS_BINARY_DIR "'";
        if (postgres())
        {
            int started = 0;
            const std::string env =
                runShell(TSIS_SOURCE_DIR "/scripts/start-postgres.sh 2>/dev/null", started);
            if (started != 0)
                GTEST_SKIP() << "no PostgreSQL server";
            for (const QString& line :
                 QString::fromStdString(env).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                if (line.startsWith(QStringLiteral("export ")))
                {
                    const QString a = line.mid(7);
                    const int eq = static_cast<int>(a.indexOf(QLatin1Char('=')));
                    setenv(a.left(eq).toLatin1().constData(), a.mid(eq + 1).toLatin1().constData(), 1);
                }
            pgDatabase_ = "att_e2e_" + std::to_string(getpid());
            command += " --postgres --pg-db " + pgDatabase_;
        }
        int status = 0;
        const std::string exports = runShell(command + " 2>/dev/null", status);
        ASSERT_EQ(status, 0) << "make-demo-district.sh failed";
        for (const QString& line :
             QString::fromStdString(exports).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (line.startsWith(QStringLiteral("export ")))
            {
                const QString a = line.mid(7);
                const int eq = static_cast<int>(a.indexOf(QLatin1Char('=')));
                box_.setEnv(a.left(eq), a.mid(eq + 1));
            }
        demo_ = std::make_unique<DemoAttendanceFile>(box_.path(QStringLiteral("demo/tsisdemo-tsis.db")));
        ASSERT_TRUE(demo_->ok());
    }

    void TearDown() override
    {
        if (!pgDatabase_.empty())
            psql("DROP DATABASE IF EXISTS " + pgDatabase_, "postgres");
    }

    // Runs SQL against the demo database of this test's flavour.
    void change(const std::string& sql)
    {
        if (postgres())
            ASSERT_EQ(psql(sql, pgDatabase_), 0) << sql;
        else
            ASSERT_TRUE(demo_->execute(QString::fromStdString(sql))) << sql;
    }

    int psql(const std::string& sql, const std::string& database)
    {
        int status = 0;
        const std::string user = std::getenv("TSIS_PG_USER") ? std::getenv("TSIS_PG_USER") : "postgres";
        runShell(std::string("psql -X -q -v ON_ERROR_STOP=1 -h ") + std::getenv("TSIS_PG_HOST") + " -p " +
                     std::getenv("TSIS_PG_PORT") + " -U " + (database == "postgres" ? "postgres" : user) +
                     " -d " + database + " -c \"" + sql + "\" >/dev/null 2>&1",
                 status);
        return status;
    }

    QStringList runArguments(const QString& out, const QString& school, const QString& mode = QString()) const
    {
        QStringList args{QStringLiteral("run"),
                         QStringLiteral("--dsn=") + (postgres() ? "TSISDemoPG" : "TSISDemo"),
                         QStringLiteral("--district=16"),
                         QStringLiteral("--school=") + school,
                         QStringLiteral("--useyear=true"),
                         QStringLiteral("--year=") + QString::number(currentSchoolYear()),
                         QStringLiteral("--path=") + out};
        if (!mode.isEmpty())
            args << mode;
        return args;
    }
    BridgeResult run(const QString& out, const QString& school, const QString& mode = QString())
    {
        return box_.run(runArguments(out, school, mode));
    }

    static QStringList updateFiles(const QString& out)
    {
        return QDir(out).entryList({QStringLiteral("*.SDU")}, QDir::Files, QDir::Name);
    }
    // Whatever else the folder holds besides update files in place: none may be left unfinished.
    static QStringList unfinishedUpdates(const QString& out)
    {
        return QDir(out).entryList({QStringLiteral("*.part")}, QDir::Files, QDir::Name);
    }
    static QByteArray lastUpdate(const QString& out)
    {
        const QStringList files = updateFiles(out);
        return files.isEmpty() ? QByteArray("<no update file>")
                               : readBytes(out + QLatin1Char('/') + files.last());
    }
    QString expected(const QStringList& daily, const QStringList& period) const
    {
        return QString::fromLatin1(
            expectedUpdate(expectedFile(QStringLiteral("AttendanceUpdate.SDU")), daily, period));
    }
    // The number of six-day windows from the date the Calendar export sets as the
    // school start (its first dated calendar row, a workday before the first
    // day of school) to today.
    int windowCount(const QString& school) const
    {
        const QStringList first = demo_->rows(
            QStringLiteral(
                "SELECT MIN(CAL_DT) FROM CA005 WHERE DST_NBR = 16 AND SCH_NBR = '%1' AND SCH_YR = %2 AND "
                "CAL_DT > 0")
                .arg(school)
                .arg(currentSchoolYear()));
        if (first.size() != 1)
            return -1;
        QDate day = QDate::fromString(first.first(), QStringLiteral("yyyyMMdd"));
        int n = 1;
        for (; QDate::currentDate() > day.addDays(6); day = day.addDays(6))
            ++n;
        return n;
    }
    QStringList cacheMarks(const QString& out)
    {
        DemoAttendanceFile cache(out + QStringLiteral("/Attendance/Attendance.db"));
        return cache.rows(
            QStringLiteral("SELECT stdkey, attdate, perkey, oldcode FROM PERIOD_ATT ORDER BY 1, 2, 3"));
    }
    // Both cache tables with the codes sent (oldcode) or, with fill, read (newcode) too.
    static QStringList cacheRows(const QString& out, bool fill)
    {
        DemoAttendanceFile cache(out + QStringLiteral("/Attendance/Attendance.db"));
        const QString codes = fill ? QStringLiteral("oldcode, newcode") : QStringLiteral("oldcode");
        return cache.rows(
            QStringLiteral("SELECT 'P', stdkey, attdate, perkey, %1 FROM PERIOD_ATT UNION ALL "
                           "SELECT 'D', stdkey, attdate, timeframe, %1 FROM DAILY_ATT ORDER BY 1, 2, 3, 4")
                .arg(codes));
    }

    // An attendance record of the SIS: its key in an update file's lines, the
    // SQL condition that finds it, and the table it lives in.
    struct Record
    {
        QString key; // student TAB date TAB period (empty for a daily record)
        std::string where;
        std::string table;
    };
    // The first count daily and count period records of the school's included
    // students within the overlap of the next run.
    std::vector<Record> recentRecords(const QString& school, int count) const
    {
        const int year = currentSchoolYear();
        const QString from = QDate::currentDate().addDays(-13).toString(QStringLiteral("yyyyMMdd"));
        std::vector<Record> records;
        const std::string base =
            "DST_NBR = 16 AND SCH_NBR = '" + school.toStdString() + "' AND SCH_YR = " + std::to_string(year);
        for (const bool daily : {true, false})
        {
            int taken = 0;
            for (const QString& line : daily ? demo_->daily(school, year) : demo_->period(school, year))
            {
                const QStringList v = line.split(QLatin1Char('\t'));
                if (v[1] < from || taken == count)
                    continue;
                ++taken;
                std::string where =
                    base + " AND ID_NBR = " + v[0].toStdString() + " AND CAL_DT = " + v[1].toStdString();
                if (!daily)
                    where += " AND (COURSE || XSECTION) IN (SELECT COURSE || XSECTION FROM SC065 WHERE " +
                             base + " AND PERIOD = '" + v[2].toStdString() + "')";
                records.push_back(
                    {v[0] + QLatin1Char('\t') + v[1] + QLatin1Char('\t') + (daily ? QString() : v[2]), where,
                     daily ? "AT020" : "AT030"});
            }
        }
        return records;
    }
    // The import files: data, control, custom-field files and the update
    // files by their order, not their time-stamped names; the times the
    // control and update files show are left out.
    static QMap<QString, QByteArray> importFiles(const QString& folder)
    {
        QMap<QString, QByteArray> files;
        int update = 0;
        const QStringList patterns{QStringLiteral("*.sef"), QStringLiteral("*.SDE"), QStringLiteral("*.txt"),
                                   QStringLiteral("*.SDU")};
        for (const QFileInfo& f : QDir(folder).entryInfoList(patterns, QDir::Files, QDir::Name))
        {
            static const QRegularExpression times(
                QStringLiteral(
                    "^(// Generated : |//  Start: |//  End: |//  Difference: |#pragma update )[^\r]*"),
                QRegularExpression::MultilineOption);
            const QString name = f.fileName();
            QByteArray bytes = readBytes(f.filePath());
            if (!name.endsWith(QStringLiteral(".sef")))
                bytes = QString::fromLatin1(bytes).replace(times, QStringLiteral("\\1<time>")).toLatin1();
            files.insert(name.endsWith(QStringLiteral(".SDU")) ? QStringLiteral("update %1").arg(++update)
                                                               : name,
                         bytes);
        }
        return files;
    }

    // The same file names with the same bytes; where they differ, the first line that does.
    static void expectSameFiles(const QMap<QString, QByteArray>& want, const QMap<QString, QByteArray>& got,
                                const char* label)
    {
        EXPECT_EQ(got.keys(), want.keys()) << label;
        for (auto it = want.begin(); it != want.end(); ++it)
        {
            const QList<QByteArray> a = it.value().split('\n');
            const QList<QByteArray> b = got.value(it.key()).split('\n');
            qsizetype line = 0;
            while (line < a.size() && line < b.size() && a[line] == b[line])
                ++line;
            EXPECT_TRUE(line == a.size() && line == b.size())
                << label << ": " << qPrintable(it.key()) << " differs at line " << line + 1 << ":\n  "
                << a.value(line).constData() << "\n  " << b.value(line).constData();
        }
    }

    // A full export, then two attendance updates with changes between: the
    // runs that tell whether two ways of exporting give the same folder.
    // runStep(n) makes the runs of step n (0: the full export); the records
    // changed are returned.
    std::vector<Record> runFullThenTwoUpdates(const QString& school, const std::function<void(int)>& runStep)
    {
        runStep(0);
        if (HasFatalFailure())
            return {};
        const std::vector<Record> records = recentRecords(school, 2);
        EXPECT_EQ(records.size(), 4u) << "the school lacks recent attendance records";
        if (records.size() != 4)
            return {};
        setCode(records[0], QStringLiteral("U"));
        setCode(records[2], QStringLiteral("U"));
        runStep(1);
        if (HasFatalFailure())
            return {};
        setCode(records[1], QStringLiteral("E"));
        change("DELETE FROM " + records[3].table + " WHERE " + records[3].where);
        runStep(2);
        return records;
    }
    // The update files of those runs carry the changes, so the ones compared are not empty.
    static void expectChangesSent(const QMap<QString, QByteArray>& files, const std::vector<Record>& records)
    {
        ASSERT_EQ(files.keys().filter(QStringLiteral("update ")).size(), 3);
        ASSERT_EQ(records.size(), 4u);
        EXPECT_TRUE(files.value(QStringLiteral("update 2")).contains(records[0].key.toLatin1()));
        EXPECT_TRUE(files.value(QStringLiteral("update 3")).contains(records[1].key.toLatin1()));
        EXPECT_TRUE(files.value(QStringLiteral("update 3")).contains(records[3].key.toLatin1()));
    }

    // Gives a record a new reason code, changed today.
    void setCode(const Record& record, const QString& code)
    {
        const std::string today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toStdString();
        change("UPDATE " + record.table + " SET REAS_CD = '" + code.toStdString() + "', MNT_DT = " + today +
               " WHERE " + record.where);
    }
    // Per record, the code of its newest line over the folder's update files,
    // taken in the importer's order (by name): what the handheld ends with.
    static QMap<QString, QString> newestCodes(const QString& out)
    {
        QMap<QString, QString> codes;
        for (const QString& file : updateFiles(out))
        {
            bool inSection = false;
            for (const QString& line :
                 QString::fromLatin1(readBytes(out + QLatin1Char('/') + file)).split(QStringLiteral("\r\n")))
            {
                if (line.startsWith(QStringLiteral("AttStdRef\t")))
                    inSection = true;
                else if (line == QStringLiteral("*"))
                    inSection = false;
                else if (inSection)
                {
                    const QStringList v = line.split(QLatin1Char('\t'));
                    codes.insert(v.mid(0, 3).join(QLatin1Char('\t')), v.value(3));
                }
            }
        }
        return codes;
    }

    BridgeSandbox box_;
    std::unique_ptr<DemoAttendanceFile> demo_;
    std::string pgDatabase_;
};
