#pragma once

// The attendance process tests' one fixture: a demo district of its own, in
// SQLite or in PostgreSQL (the parameter), the runs of tsisbridge over it and
// the update files they leave; and what the update must send, read straight
// from the demo's SQLite file with the rules of the export: the daily and
// period records of a school's included students (a student with a name),
// absent "1" ("0.5" for a daily half day) for status A, tardy "1" for T.

#include "BridgeHarness.h"

#include <QMap>

#include <functional>

#include <sqlite3.h>

class DemoAttendanceFile
{
public:
    explicit DemoAttendanceFile(const QString& path)
    {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            db_ = nullptr;
    }
    ~DemoAttendanceFile() { sqlite3_close(db_); }
    bool ok() const { return db_ != nullptr; }

    // Rows of a statement, columns joined by TAB.
    QStringList rows(const QString& sql) const
    {
        QStringList out;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            return {u"<error: "_s + QString::fromUtf8(sqlite3_errmsg(db_)) + QLatin1Char('>')};
        while (sqlite3_step(st) == SQLITE_ROW)
        {
            QStringList columns;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
            out << columns.join(QLatin1Char('\t'));
        }
        sqlite3_finalize(st);
        return out;
    }
    bool execute(const QString& sql) const
    {
        return sqlite3_exec(db_, sql.toUtf8().constData(), 0, 0, 0) == 0;
    }

    // The SDU lines of one school's records dated up to today, sorted.
    QStringList daily(const QString& school, int year) const
    {
        return lines(u"SELECT a.ID_NBR, a.CAL_DT, '', a.REAS_CD, '', '', "
                     "CASE a.ATT_STAT WHEN 'A' THEN CASE a.HALF_DAYS WHEN 1 THEN '0.5' ELSE '1' "
                     "END ELSE '0' END, CASE a.ATT_STAT WHEN 'T' THEN '1' ELSE '0' END, '', '' "
                     "FROM AT020 a WHERE "_s +
                     where(school, year));
    }
    QStringList period(const QString& school, int year) const
    {
        return lines(u"SELECT DISTINCT a.ID_NBR, a.CAL_DT, c.PERIOD, a.REAS_CD, '', '', "
                     "CASE a.ATT_STAT WHEN 'A' THEN '1' ELSE '0' END, "
                     "CASE a.ATT_STAT WHEN 'T' THEN '1' ELSE '0' END, '', '' FROM AT030 a "
                     "JOIN SC065 c ON c.DST_NBR = a.DST_NBR AND c.SCH_NBR = a.SCH_NBR AND "
                     "c.SCH_YR = a.SCH_YR AND c.COURSE = a.COURSE AND c.XSECTION = a.XSECTION "
                     "WHERE "_s +
                     where(school, year));
    }

private:
    static QString where(const QString& school, int year)
    {
        const QString today = QDate::currentDate().toString(u"yyyyMMdd"_s);
        return u"a.DST_NBR = 16 AND a.SCH_NBR = '%1' AND a.SCH_YR = %2 AND a.CAL_DT <= %3 AND "
               "a.ID_NBR IN (SELECT s.ID_NBR FROM ST010 s JOIN CE020 e ON e.DST_NBR = s.DST_NBR "
               "AND e.ID_NBR = s.ID_NBR WHERE s.DST_NBR = 16 AND s.SCH_NBR = '%1' AND "
               "s.SCH_YR = %2 AND (trim(e.LST_NME) <> '' OR trim(e.FRST_NME) <> ''))"_s.arg(school)
                   .arg(year)
                   .arg(today);
    }
    QStringList lines(const QString& sql) const
    {
        QStringList out = rows(sql);
        std::sort(out.begin(), out.end());
        return out;
    }

    sqlite3* db_ = nullptr;
};

using e2e::ExpectedFile;
using e2e::ReadFile;

// The update files of a folder, by name: in the order they were written.
inline QStringList updateFiles(const QString& out)
{
    return QDir(out).entryList({u"*.SDU"_s}, QDir::Files, QDir::Name);
}

inline QByteArray lastUpdate(const QString& out)
{
    const QStringList files = updateFiles(out);
    return files.isEmpty() ? QByteArray("<no update file>") : ReadFile(out + QLatin1Char('/') + files.last());
}

// The record lines of an update file: those of its sections, below each header line.
inline QStringList updateRecords(const QByteArray& update)
{
    QStringList records;
    bool inSection = false;
    for (const QString& line : QString::fromLatin1(update).split(u"\r\n"_s))
    {
        if (line.startsWith(u"AttStdRef\t"_s))
            inSection = true;
        else if (line == u"*"_s)
            inSection = false;
        else if (inSection)
            records << line;
    }
    return records;
}

// An update file with its run-dependent texts masked and the data lines of
// every section sorted (the cache hands them out in its own order).
inline QString normalizedUpdate(const QByteArray& bytes)
{
    QStringList lines = QString::fromLatin1(e2e::MaskRun(bytes)).split(u"\r\n"_s);
    for (int i = 0; i < lines.size(); ++i)
    {
        if (!lines[i].startsWith(u"AttStdRef\t"_s))
            continue;
        int end = i + 1;
        while (end < lines.size() && lines[end] != u"*"_s)
            ++end;
        std::sort(lines.begin() + i + 1, lines.begin() + end);
        i = end;
    }
    return lines.join(u"\r\n"_s);
}

// The expected update file: the template with the two sections' lines.
inline QString expectedUpdate(const QStringList& daily, const QStringList& period)
{
    auto block = [](const QStringList& lines)
    { return lines.isEmpty() ? QString() : lines.join(u"\r\n"_s) + u"\r\n"_s; };
    return QString::fromLatin1(ExpectedFile(u"AttendanceUpdate.SDU"_s))
        .replace(u"<daily>"_s, block(daily))
        .replace(u"<period>"_s, block(period));
}

class AttendanceRun : public ::testing::TestWithParam<bool>
{
protected:
    bool postgres() const { return GetParam(); }

    void SetUp() override
    {
        std::string why;
        e2e::RequirePostgres(postgres(), !postgres() || e2e::PostgresAvailable(why), why);
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(box_.makeDemoDistrict(e2e::Today(), "tsis", postgres() ? "att_e2e" : ""))
            << box_.demo()->Error();
        demo_ = std::make_unique<DemoAttendanceFile>(box_.path(u"demo/tsisdemo-tsis.db"_s));
        ASSERT_TRUE(demo_->ok());
    }

    // Runs SQL against the demo database of this test's flavour.
    void change(const std::string& sql)
    {
        if (postgres())
        {
            const e2e::CommandResult r =
                e2e::Psql(box_.demo()->PgDatabases().at(0), sql, e2e::Env("TSIS_PG_USER", "postgres"));
            ASSERT_EQ(r.status, 0) << sql << "\n" << r.output;
        }
        else
            ASSERT_TRUE(demo_->execute(QString::fromStdString(sql))) << sql;
    }

    QStringList runArguments(const QString& out, const QString& school, const QString& mode = QString()) const
    {
        return words(u"run --district=16 --useyear=true --dsn=TSISDemo"_s + (postgres() ? u"PG"_s : u""_s)) +
               QStringList{u"--school="_s + school, u"--year="_s + QString::number(currentSchoolYear()),
                           u"--path="_s + out} +
               words(mode);
    }
    BridgeResult run(const QString& out, const QString& school, const QString& mode = QString())
    {
        return box_.run(runArguments(out, school, mode));
    }

    // Whatever else the folder holds besides update files in place: none may be left unfinished.
    static QStringList unfinishedUpdates(const QString& out)
    {
        return QDir(out).entryList({u"*.part"_s}, QDir::Files, QDir::Name);
    }
    // The number of six-day windows from the date the Calendar export sets as the
    // school start (its first dated calendar row, a workday before the first
    // day of school) to today.
    int windowCount(const QString& school) const
    {
        const QStringList first = demo_->rows(
            u"SELECT MIN(CAL_DT) FROM CA005 WHERE DST_NBR = 16 AND SCH_NBR = '%1' AND SCH_YR = %2 AND "
            "CAL_DT > 0"_s.arg(school)
                .arg(currentSchoolYear()));
        if (first.size() != 1)
            return -1;
        QDate day = QDate::fromString(first.first(), u"yyyyMMdd"_s);
        int n = 1;
        for (; QDate::currentDate() > day.addDays(6); day = day.addDays(6))
            ++n;
        return n;
    }
    // Both cache tables with the codes sent (oldcode) or, with fill, read (newcode) too.
    static QStringList cacheRows(const QString& out, bool fill)
    {
        DemoAttendanceFile cache(out + u"/Attendance/Attendance.db"_s);
        const QString codes = fill ? u"oldcode, newcode"_s : u"oldcode"_s;
        return cache.rows(
            u"SELECT 'P', stdkey, attdate, perkey, %1 FROM PERIOD_ATT UNION ALL "
            "SELECT 'D', stdkey, attdate, timeframe, %1 FROM DAILY_ATT ORDER BY 1, 2, 3, 4"_s.arg(codes));
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
        const QString from = QDate::currentDate().addDays(-13).toString(u"yyyyMMdd"_s);
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
    // files by their order, not their time-stamped names; the times and
    // stamps of the control and update files are masked.
    static QMap<QString, QByteArray> importFiles(const QString& folder)
    {
        QMap<QString, QByteArray> files;
        int update = 0;
        const QStringList patterns{u"*.sef"_s, u"*.SDE"_s, u"*.txt"_s, u"*.SDU"_s};
        for (const QFileInfo& f : QDir(folder).entryInfoList(patterns, QDir::Files, QDir::Name))
        {
            const QString name = f.fileName();
            const QByteArray bytes = ReadFile(f.filePath());
            files.insert(name.endsWith(u".SDU"_s) ? u"update %1"_s.arg(++update) : name,
                         name.endsWith(u".sef"_s) ? bytes : e2e::MaskRun(bytes, false));
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
    // runStep(n) makes the runs of step n (0: the full export). The import
    // files of out are returned; its update files carry the changes, so the
    // ones compared are not empty.
    QMap<QString, QByteArray>
    runFullThenTwoUpdates(const QString& school, const std::function<void(int)>& runStep, const QString& out)
    {
        runStep(0);
        if (HasFatalFailure())
            return {};
        const std::vector<Record> records = recentRecords(school, 2);
        EXPECT_EQ(records.size(), 4u) << "the school lacks recent attendance records";
        if (records.size() != 4)
            return {};
        setCode(records[0], u"U"_s);
        setCode(records[2], u"U"_s);
        runStep(1);
        if (HasFatalFailure())
            return {};
        setCode(records[1], u"E"_s);
        change("DELETE FROM " + records[3].table + " WHERE " + records[3].where);
        runStep(2);
        const QMap<QString, QByteArray> files = importFiles(out);
        EXPECT_EQ(files.keys().filter(u"update "_s).size(), 3);
        EXPECT_TRUE(files.value(u"update 2"_s).contains(records[0].key.toLatin1()));
        EXPECT_TRUE(files.value(u"update 3"_s).contains(records[1].key.toLatin1()));
        EXPECT_TRUE(files.value(u"update 3"_s).contains(records[3].key.toLatin1()));
        return files;
    }

    // Gives a record a new reason code, changed today.
    void setCode(const Record& record, const QString& code)
    {
        change("UPDATE " + record.table + " SET REAS_CD = '" + code.toStdString() +
               "', MNT_DT = " + e2e::Today() + " WHERE " + record.where);
    }
    // Per record, the code of its newest line over the folder's update files,
    // taken in the importer's order (by name): what the handheld ends with.
    static QMap<QString, QString> newestCodes(const QString& out)
    {
        QMap<QString, QString> codes;
        for (const QString& file : updateFiles(out))
            for (const QString& line : updateRecords(ReadFile(out + QLatin1Char('/') + file)))
            {
                const QStringList v = line.split(QLatin1Char('\t'));
                codes.insert(v.mid(0, 3).join(QLatin1Char('\t')), v.value(3));
            }
        return codes;
    }

    BridgeSandbox box_;
    std::unique_ptr<DemoAttendanceFile> demo_;
};
