// The attendance update end to end: tsisbridge runs as the front-end starts
// them, over the demo district in SQLite and in PostgreSQL, each update file
// compared with the records read from the demo data.

#include "AttendanceFixture.h"

namespace
{

TEST_P(AttendanceRun, SendsEachChangeOnceAndStartsAgainForAnotherSchool)
{
    const int year = currentSchoolYear();
    // A secondary school with three period records within the overlap of the third run.
    QString school;
    std::vector<Record> recent;
    for (const QString& candidate : {u"202"_s, u"303"_s})
    {
        recent = recentRecords(candidate, 3);
        std::erase_if(recent, [](const Record& r) { return r.table != "AT030"; });
        if (recent.size() == 3)
        {
            school = candidate;
            break;
        }
    }
    ASSERT_FALSE(school.isEmpty()) << "no school with three recent period records";
    const QString other = school == u"202"_s ? u"303"_s : u"202"_s;
    const QString out = box_.path(u"out"_s);

    // 1. Everything from the school start, read in six-day windows.
    BridgeResult r = run(out, school);
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    const QStringList period = demo_->period(school, year);
    ASSERT_FALSE(period.isEmpty());
    EXPECT_EQ(normalizedUpdate(lastUpdate(out)), expectedUpdate(demo_->daily(school, year), period));
    EXPECT_EQ(e2e::SortedLines(ReadFile(out + u"/AttCodes.sef"_s)),
              e2e::SortedLines(ExpectedFile(u"AttCodes.sef"_s)));
    EXPECT_TRUE(QFileInfo::exists(out + u"/Staff.sef"_s));
    EXPECT_EQ(statusFileText(out), statusLine(u"Succeeded"_s, u"Succeeded"_s));
    EXPECT_EQ(finishedFileText(out), u"finished\r\n"_s);
    EXPECT_EQ(r.out.count(u"inc_progress\tReading Student Period Attendance...\n"_s),
              windowCount(school) + 1); // the table's start announces it too

    // 2. Nothing changed: the sections stay empty.
    r = run(out, school, u"--att"_s);
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_EQ(updateFiles(out).size(), 2);
    EXPECT_EQ(normalizedUpdate(lastUpdate(out)), expectedUpdate({}, {}));

    // A period query that fails at a later row changes nothing and leaves no update file.
    const QByteArray config = ReadFile(out + u"/SchoolConfig.xml"_s);
    const QStringList marks = cacheRows(out, false);
    // The school's latest period records fail to read: the error arrives after good rows.
    const QString failing =
        postgres() ? u"CAST(CAST('x' || REAS_CD AS INTEGER) AS VARCHAR)"_s : u"to_date('x', 'YYYYMMDD')"_s;
    change("ALTER TABLE AT030 RENAME TO AT030_DATA");
    change(u"CREATE VIEW AT030 AS SELECT DST_NBR, SCH_NBR, SCH_YR, ID_NBR, CAL_DT, COURSE, XSECTION, "
           "CASE WHEN SCH_NBR = '%1' AND CAL_DT = (SELECT MAX(CAL_DT) FROM AT030_DATA WHERE SCH_NBR = '%1') "
           "THEN %2 ELSE REAS_CD END AS REAS_CD, ATT_STAT, MNT_DT "
           "FROM AT030_DATA"_s.arg(school, failing)
               .toStdString());
    r = run(out, school, u"--att"_s);
    EXPECT_EQ(r.status, 1) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains(u"Student Period Attendance failed"_s)) << qPrintable(r.out);
    EXPECT_EQ(updateFiles(out).size(), 2);
    EXPECT_EQ(QString::fromLatin1(ReadFile(out + u"/SchoolConfig.xml"_s)), QString::fromLatin1(config));
    EXPECT_EQ(cacheRows(out, false), marks);
    change("DROP VIEW AT030");
    change("ALTER TABLE AT030_DATA RENAME TO AT030");

    // 3. One code changed, one record deleted, one code cleared; a daily record deleted.
    auto periodLine = [&](const Record& record, const QString& code)
    {
        for (const QString& line : demo_->period(school, year))
            if (line.startsWith(record.key + QLatin1Char('\t')))
            {
                QStringList v = line.split(QLatin1Char('\t'));
                v[3] = code;
                return v.join(QLatin1Char('\t'));
            }
        return u"<no line for "_s + record.key + QLatin1Char('>');
    };
    QStringList sent = {periodLine(recent[0], u"CUT"_s), periodLine(recent[2], QString())};
    setCode(recent[0], u"CUT"_s);
    sent << periodLine(recent[1], QString()); // its values stay those last read
    change("DELETE FROM AT030 WHERE " + recent[1].where);
    setCode(recent[2], QString());
    change("DELETE FROM AT020 WHERE DST_NBR = 16 AND SCH_NBR = '" + school.toStdString() +
           "' AND CAL_DT = (SELECT max(CAL_DT) FROM AT020 WHERE DST_NBR = 16 AND SCH_NBR = '" +
           school.toStdString() + "')");
    std::sort(sent.begin(), sent.end());
    r = run(out, school, u"--att"_s);
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_EQ(updateFiles(out).size(), 3);
    EXPECT_EQ(normalizedUpdate(lastUpdate(out)), expectedUpdate({}, sent));

    // 4. Another school: the folder's update state is thrown away and reading starts again.
    r = run(out, other, u"--att"_s);
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains(u"Bridge Configuration Changed."_s));
    EXPECT_EQ(updateFiles(out).size(), 1);
    EXPECT_EQ(normalizedUpdate(lastUpdate(out)),
              expectedUpdate(demo_->daily(other, year), demo_->period(other, year)));
    EXPECT_EQ(cacheRows(out, false).filter(QRegularExpression(u"^P\t"_s)).size(),
              demo_->period(other, year).size());
}

TEST_P(AttendanceRun, DemoAloneWritesTablesAttAloneOnlyTheUpdate)
{
    const QString tables = box_.path(u"tables"_s);
    BridgeResult r = run(tables, u"202"_s, u"--demo"_s);
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_TRUE(QFileInfo::exists(tables + u"/AttCodes.sef"_s));
    EXPECT_TRUE(updateFiles(tables).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(tables + u"/Attendance/Attendance.db"_s));

    const QString update = box_.path(u"update"_s);
    r = run(update, u"202"_s, u"--att"_s);
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_TRUE(QDir(update).entryList({u"*.sef"_s, u"*.SDE"_s}, QDir::Files).isEmpty());
    EXPECT_EQ(updateFiles(update).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Demo, AttendanceRun, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info)
                         { return info.param ? "PostgreSQL" : "SQLite"; });

} // namespace
