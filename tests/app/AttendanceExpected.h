#pragma once

// What the attendance update of the demo district must send, read straight
// from the demo's SQLite file with the rules of the export: the daily and
// period records of a school's included students (a student with a name),
// absent "1" ("0.5" for a daily half day) for status A, tardy "1" for T.

#include <sqlite3.h>

#include <QByteArray>
#include <QDate>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>

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
            return {QStringLiteral("<error: ") + QString::fromUtf8(sqlite3_errmsg(db_)) + QLatin1Char('>')};
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
        return lines(
            QStringLiteral("SELECT a.ID_NBR, a.CAL_DT, '', a.REAS_CD, '', '', "
                           "CASE a.ATT_STAT WHEN 'A' THEN CASE a.HALF_DAYS WHEN 1 THEN '0.5' ELSE '1' "
                           "END ELSE '0' END, CASE a.ATT_STAT WHEN 'T' THEN '1' ELSE '0' END, '', '' "
                           "FROM AT020 a WHERE ") +
            where(school, year));
    }
    QStringList period(const QString& school, int year) const
    {
        return lines(QStringLiteral("SELECT DISTINCT a.ID_NBR, a.CAL_DT, c.PERIOD, a.REAS_CD, '', '', "
                                    "CASE a.ATT_STAT WHEN 'A' THEN '1' ELSE '0' END, "
                                    "CASE a.ATT_STAT WHEN 'T' THEN '1' ELSE '0' END, '', '' FROM AT030 a "
                                    "JOIN SC065 c ON c.DST_NBR = a.DST_NBR AND c.SCH_NBR = a.SCH_NBR AND "
                                    "c.SCH_YR = a.SCH_YR AND c.COURSE = a.COURSE AND c.XSECTION = a.XSECTION "
                                    "WHERE ") +
                     where(school, year));
    }

private:
    static QString where(const QString& school, int year)
    {
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
        return QStringLiteral(
                   "a.DST_NBR = 16 AND a.SCH_NBR = '%1' AND a.SCH_YR = %2 AND a.CAL_DT <= %3 AND "
                   "a.ID_NBR IN (SELECT s.ID_NBR FROM ST010 s JOIN CE020 e ON e.DST_NBR = s.DST_NBR "
                   "AND e.ID_NBR = s.ID_NBR WHERE s.DST_NBR = 16 AND s.SCH_NBR = '%1' AND "
                   "s.SCH_YR = %2 AND (trim(e.LST_NME) <> '' OR trim(e.FRST_NME) <> ''))")
            .arg(school)
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

// An update file with its run-dependent texts masked and the data lines of
// every section sorted (the cache hands them out in its own order).
inline QByteArray normalizedUpdate(const QByteArray& bytes)
{
    QString s = QString::fromLatin1(bytes);
    s.replace(QRegularExpression(QStringLiteral("// [A-Z][a-z]{2} \\d\\d, \\d{4}\r\n")),
              QStringLiteral("// <date>\r\n"));
    s.replace(QRegularExpression(QStringLiteral("// Generated : [^\r]*")),
              QStringLiteral("// Generated : <time>"));
    s.replace(QRegularExpression(QStringLiteral("Vantrel Software \\d{4} ")),
              QStringLiteral("Vantrel Software <year> "));
    s.replace(QRegularExpression(QStringLiteral("#pragma update \"\\d{14}\"")),
              QStringLiteral("#pragma update \"<stamp>\""));
    s.replace(QRegularExpression(QStringLiteral("#pragma exportdate \"\\d{8}\"")),
              QStringLiteral("#pragma exportdate \"<date>\""));
    s.replace(QRegularExpression(QStringLiteral("//  (Start|End|Difference): [^\r]*")),
              QStringLiteral("//  \\1: <time>"));
    QStringList lines = s.split(QStringLiteral("\r\n"));
    for (int i = 0; i < lines.size(); ++i)
    {
        if (!lines[i].startsWith(QStringLiteral("AttStdRef\t")))
            continue;
        int end = i + 1;
        while (end < lines.size() && lines[end] != QStringLiteral("*"))
            ++end;
        std::sort(lines.begin() + i + 1, lines.begin() + end);
        i = end;
    }
    return lines.join(QStringLiteral("\r\n")).toLatin1();
}

// The expected update file: the template with the two sections' lines.
inline QByteArray expectedUpdate(const QByteArray& templ, const QStringList& daily, const QStringList& period)
{
    auto block = [](const QStringList& lines)
    {
        QString text;
        for (const QString& line : lines)
            text += line + QStringLiteral("\r\n");
        return text;
    };
    QString s = QString::fromLatin1(templ);
    s.replace(QStringLiteral("<daily>"), block(daily));
    s.replace(QStringLiteral("<period>"), block(period));
    return s.toLatin1();
}
