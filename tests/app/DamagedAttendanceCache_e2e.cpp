// A damaged attendance cache (not a database, or tables of another shape) is
// thrown away: the update run succeeds and sends everything from the school
// start again, keeping the earlier update files and SchoolConfig.xml.

#include "AttendanceFixture.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace
{

TEST(DamagedAttendanceCache, IsDeletedAndAttendanceIsReadFromTheSchoolStart)
{
    BridgeSandbox box;
    ASSERT_TRUE(box.makeDemoDistrict(e2e::Today()));
    DemoAttendanceFile demo(box.path(u"demo/tsisdemo-tsis.db"_s));
    ASSERT_TRUE(demo.ok());
    const QString school = u"202"_s;
    const int year = currentSchoolYear();
    const QString out = box.path(u"out"_s);
    const QString cache = out + u"/Attendance/Attendance.db"_s;
    auto run = [&]
    {
        sleep(1); // every update file its own time stamp
        return box.run({u"run"_s, u"--att"_s, u"--dsn=TSISDemo"_s, u"--district=16"_s,
                        u"--school="_s + school, u"--useyear=true"_s, u"--year="_s + QString::number(year),
                        u"--path="_s + out});
    };
    const QString everything = expectedUpdate(demo.daily(school, year), demo.period(school, year));

    BridgeResult r = run();
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    ASSERT_EQ(normalizedUpdate(lastUpdate(out)), everything);

    const struct
    {
        const char* name;
        const char* sql; // builds the damaged file; none: the file holds text
    } damages[] = {
        {"not a database", nullptr},
        {"wrong schema", "CREATE TABLE PERIOD_ATT (stdkey VARCHAR(100), attdate DATETIME, code VARCHAR(10))"},
    };
    for (const auto& damage : damages)
    {
        SCOPED_TRACE(damage.name);
        QFile::remove(cache);
        if (damage.sql)
        {
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(cache.toUtf8().constData(), &db), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(db, damage.sql, nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        else
        {
            BridgeSandbox::writeText(cache, QByteArray("this is no database\n").repeated(100));
        }
        const QStringList before = updateFiles(out);
        const QByteArray config = e2e::ReadFile(out + u"/SchoolConfig.xml"_s);
        // An update date is kept: without the mend only its last days would be read.
        ASSERT_TRUE(QString::fromLatin1(config).contains(QRegularExpression(u"UpdateDateValue=\"[^\"]+\""_s)))
            << config.constData();

        r = run();
        ASSERT_EQ(r.status, 0) << qPrintable(r.out);
        EXPECT_TRUE(r.out.contains(u"log\tWarning      \t"_s)) << qPrintable(r.out);
        EXPECT_TRUE(r.out.contains(u"is damaged"_s)) << qPrintable(r.out);
        const QStringList after = updateFiles(out);
        ASSERT_EQ(after.size(), before.size() + 1);
        EXPECT_EQ(after.mid(0, before.size()), before);
        EXPECT_EQ(normalizedUpdate(lastUpdate(out)), everything);
    }
}

} // namespace
