// The attendance update end to end: tsisbridge runs as the front-end starts
// them, over the demo district in SQLite and in PostgreSQL, each update file
// compared with the records read from the demo data.

#include "AttendanceExpected.h"
#include "BridgeProcess.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace
{

std::string runShell(const std::string& command, int& status)
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

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing: ") + path.toUtf8() + ">";
}

QByteArray expectedFile(const QString& name)
{
    return readBytes(QStringLiteral(TSIS_SOURCE_DIR "/tests/engine/expected/") + name);
}

QStringList sortedLines(const QByteArray& bytes)
{
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The school year running today, as TSIS numbers it (by its first year).
int currentSchoolYear()
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

    BridgeResult run(const QString& out, const QString& school, const QString& mode = QString())
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
        sleep(1); // every run its own update file name (a time stamp to the second)
        return box_.run(args);
    }

    static QStringList updateFiles(const QString& out)
    {
        return QDir(out).entryList({QStringLiteral("*.SDU")}, QDir::Files, QDir::Name);
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

    BridgeSandbox box_;
    std::unique_ptr<DemoAttendanceFile> demo_;
    std::string pgDatabase_;
};

TEST_P(AttendanceRun, SendsEachChangeOnceAndStartsAgainForAnotherSchool)
{
    const int year = currentSchoolYear();
    // A secondary school with at least three period records within the overlap of the third run.
    const QString overlapFrom = QDate::currentDate().addDays(-14).toString(QStringLiteral("yyyyMMdd"));
    QString school;
    QStringList recent;
    for (const QString& candidate : {QStringLiteral("202"), QStringLiteral("303")})
    {
        recent = demo_->rows(
            QStringLiteral("SELECT ID_NBR, CAL_DT, COURSE, XSECTION FROM AT030 WHERE DST_NBR = 16 "
                           "AND SCH_NBR = '%1' AND SCH_YR = %2 AND CAL_DT >= %3 ORDER BY 1, 2, 3")
                .arg(candidate)
                .arg(year)
                .arg(overlapFrom));
        if (recent.size() >= 3)
        {
            school = candidate;
            break;
        }
    }
    ASSERT_FALSE(school.isEmpty()) << "no school with three recent period records";
    const QString other = school == QStringLiteral("202") ? QStringLiteral("303") : QStringLiteral("202");
    const QString out = box_.path(QStringLiteral("out"));

    // 1. Everything from the school start, read in six-day windows.
    BridgeResult r = run(out, school);
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    const QStringList period = demo_->period(school, year);
    ASSERT_FALSE(period.isEmpty());
    EXPECT_EQ(QString::fromLatin1(normalizedUpdate(lastUpdate(out))),
              expected(demo_->daily(school, year), period));
    EXPECT_EQ(sortedLines(readBytes(out + QStringLiteral("/AttCodes.sef"))),
              sortedLines(expectedFile(QStringLiteral("AttCodes.sef"))));
    EXPECT_EQ(r.out.count(QStringLiteral("inc_progress\tReading Student Period Attendance...\n")),
              windowCount(school) + 1); // the table's start announces it too

    // 2. Nothing changed: the sections stay empty.
    r = run(out, school, QStringLiteral("--att"));
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_EQ(updateFiles(out).size(), 2);
    EXPECT_EQ(QString::fromLatin1(normalizedUpdate(lastUpdate(out))), expected({}, {}));

    // A period query that fails at a later row changes nothing and leaves no update file.
    const QByteArray config = readBytes(out + QStringLiteral("/SchoolConfig.xml"));
    const QStringList marks = cacheMarks(out);
    // The school's latest period records fail to read: the error arrives after good rows.
    const QString failing = postgres() ? QStringLiteral("CAST(CAST('x' || REAS_CD AS INTEGER) AS VARCHAR)")
                                       : QStringLiteral("to_date('x', 'YYYYMMDD')");
    change("ALTER TABLE AT030 RENAME TO AT030_DATA");
    change(QStringLiteral(
               "CREATE VIEW AT030 AS SELECT DST_NBR, SCH_NBR, SCH_YR, ID_NBR, CAL_DT, COURSE, XSECTION, "
               "CASE WHEN SCH_NBR = '%1' AND CAL_DT = (SELECT MAX(CAL_DT) FROM AT030_DATA WHERE SCH_NBR = '%1') "
               "THEN %2 ELSE REAS_CD END AS REAS_CD, ATT_STAT, MNT_DT "
               "FROM AT030_DATA")
               .arg(school, failing)
               .toStdString());
    r = run(out, school, QStringLiteral("--att"));
    EXPECT_EQ(r.status, 1) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Student Period Attendance failed"))) << qPrintable(r.out);
    EXPECT_EQ(updateFiles(out).size(), 2);
    EXPECT_EQ(QString::fromLatin1(readBytes(out + QStringLiteral("/SchoolConfig.xml"))),
              QString::fromLatin1(config));
    EXPECT_EQ(cacheMarks(out), marks);
    change("DROP VIEW AT030");
    change("ALTER TABLE AT030_DATA RENAME TO AT030");

    // 3. One code changed, one record deleted, one code cleared; a daily record deleted.
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    auto where = [&](int i)
    {
        const QStringList k = recent.at(i).split(QLatin1Char('\t'));
        return QStringLiteral(" WHERE DST_NBR = 16 AND SCH_NBR = '%1' AND SCH_YR = %2 AND ID_NBR = %3 AND "
                              "CAL_DT = %4 AND COURSE = '%5' AND XSECTION = '%6'")
            .arg(school)
            .arg(year)
            .arg(k[0], k[1], k[2], k[3])
            .toStdString();
    };
    auto periodLine = [&](int i, const QString& code)
    {
        const QStringList k = recent.at(i).split(QLatin1Char('\t'));
        const QStringList lines = demo_->period(school, year);
        for (const QString& line : lines)
        {
            QStringList v = line.split(QLatin1Char('\t'));
            const QStringList p =
                demo_->rows(QStringLiteral("SELECT DISTINCT PERIOD FROM SC065 WHERE DST_NBR = 16 "
                                           "AND SCH_NBR = '%1' AND SCH_YR = %2 AND COURSE = '%3' "
                                           "AND XSECTION = '%4'")
                                .arg(school)
                                .arg(year)
                                .arg(k[2], k[3]));
            if (v[0] == k[0] && v[1] == k[1] && !p.isEmpty() && v[2] == p.first())
            {
                v[3] = code;
                return v.join(QLatin1Char('\t'));
            }
        }
        return QStringLiteral("<no line for ") + recent.at(i) + QLatin1Char('>');
    };
    QStringList sent = {periodLine(0, QStringLiteral("CUT")), periodLine(2, QString())};
    change("UPDATE AT030 SET REAS_CD = 'CUT', MNT_DT = " + today.toStdString() + where(0));
    sent << periodLine(1, QString()); // its values stay those last read
    change("DELETE FROM AT030" + where(1));
    change("UPDATE AT030 SET REAS_CD = '', MNT_DT = " + today.toStdString() + where(2));
    change("DELETE FROM AT020 WHERE DST_NBR = 16 AND SCH_NBR = '" + school.toStdString() +
           "' AND CAL_DT = (SELECT max(CAL_DT) FROM AT020 WHERE DST_NBR = 16 AND SCH_NBR = '" +
           school.toStdString() + "')");
    std::sort(sent.begin(), sent.end());
    r = run(out, school, QStringLiteral("--att"));
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_EQ(updateFiles(out).size(), 3);
    EXPECT_EQ(QString::fromLatin1(normalizedUpdate(lastUpdate(out))), expected({}, sent));

    // 4. Another school: the folder's update state is thrown away and reading starts again.
    r = run(out, other, QStringLiteral("--att"));
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Bridge Configuration Changed.")));
    EXPECT_EQ(updateFiles(out).size(), 1);
    EXPECT_EQ(normalizedUpdate(lastUpdate(out)),
              expected(demo_->daily(other, year), demo_->period(other, year)));
    EXPECT_EQ(cacheMarks(out).size(), demo_->period(other, year).size());
}

TEST_P(AttendanceRun, DemoAloneWritesTablesAttAloneOnlyTheUpdate)
{
    const QString tables = box_.path(QStringLiteral("tables"));
    BridgeResult r = run(tables, QStringLiteral("202"), QStringLiteral("--demo"));
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_TRUE(QFileInfo::exists(tables + QStringLiteral("/AttCodes.sef")));
    EXPECT_TRUE(updateFiles(tables).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(tables + QStringLiteral("/Attendance/Attendance.db")));

    const QString update = box_.path(QStringLiteral("update"));
    r = run(update, QStringLiteral("202"), QStringLiteral("--att"));
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_TRUE(
        QDir(update).entryList({QStringLiteral("*.sef"), QStringLiteral("*.SDE")}, QDir::Files).isEmpty());
    EXPECT_EQ(updateFiles(update).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Demo, AttendanceRun, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info)
                         { return info.param ? "PostgreSQL" : "SQLite"; });

} // namespace
