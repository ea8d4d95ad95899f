// What real districts hold and how cron runs the bridge: values with line
// ends, links planted in the output folder, impossible dates. Every run is a
// real tsisbridge run over a demo district of its own.

#include "AttendanceFixture.h"

#include <gtest/gtest.h>

#include <QDirIterator>

#include <sys/stat.h>

namespace
{

class HostileData : public ::testing::Test
{
protected:
    // A demo district of the flavour (tsis or schmax) in SQLite.
    bool makeDistrict(const char* flavour) { return box_.makeDemoDistrict(e2e::Today(), flavour); }
    QStringList runArguments(const QString& out, const QString& dsn = u"TSISDemo"_s) const
    {
        return {u"run"_s, u"--dsn="_s + dsn, u"--district=16"_s, u"--school=202"_s, u"--path="_s + out};
    }

    BridgeSandbox box_;
};

// Links planted at the names a run writes (cron runs it as root, in folders
// other accounts may write) after a first run: their targets stay untouched.
TEST_F(HostileData, PlantedLinksAreNeverWrittenThrough)
{
    ASSERT_TRUE(makeDistrict("tsis"));
    const QString out = box_.path(u"out"_s);
    // Run as cron runs it (umask 022): nothing the run creates grants anything to others.
    const mode_t previous = umask(022);
    const BridgeResult first = box_.run(runArguments(out));
    umask(previous);
    ASSERT_EQ(first.status, 0) << qPrintable(first.out); // the next run's configuration is unchanged
    QStringList open;
    QDirIterator it(out, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    for (QString path = out; !path.isEmpty(); path = it.hasNext() ? it.next() : QString())
    {
        struct stat entry
        {
        };
        if (lstat(QFile::encodeName(path).constData(), &entry) != 0 || (entry.st_mode & S_IRWXO) != 0)
            open << path;
    }
    EXPECT_EQ(open, QStringList());
    EXPECT_GT(QDir(out).entryList(QDir::Files).size(), 30);

    const QString nowhere = box_.path(u"nowhere"_s);
    const QString victim = box_.path(u"victim"_s);
    BridgeSandbox::writeText(victim, "precious");
    QStringList names = {u"Students.sef.part"_s, u"TSIS SchoolMAX.SDE"_s, u"Data ExtractorStatus.tmp"_s,
                         u"TSIS_SchoolMAX--202-"_s + QDate::currentDate().toString(Qt::ISODate) + u".log"_s};
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s < 30; ++s)
        for (const char* suffix : {".SDU", ".SDU.part"})
            names << u"Update "_s + now.addSecs(s).toString(u"yyyyMMddHHmmss"_s) + suffix;
    for (const QString& name : names)
    {
        QFile::remove(out + QLatin1Char('/') + name);
        ASSERT_TRUE(QFile::link(name.size() % 2 ? victim : nowhere, out + QLatin1Char('/') + name))
            << qPrintable(name);
    }

    const BridgeResult r = box_.run(runArguments(out));
    EXPECT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_EQ(e2e::ReadFile(victim), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    const QStringList updates = QDir(out).entryList({u"Update *.SDU"_s}, QDir::Files | QDir::System);
    EXPECT_FALSE(QFileInfo(out + QLatin1Char('/') + updates.last()).isSymLink())
        << qPrintable(updates.join(' '));
    for (const char* written : {"Students.sef", "TSIS SchoolMAX.SDE", "Data ExtractorStatus.tmp"})
        EXPECT_FALSE(QFileInfo(out + QLatin1Char('/') + written).isSymLink()) << written;
    EXPECT_TRUE(r.err.contains(u"Log File Error"_s)) << qPrintable(r.err);
}

// Without HOME and with a log folder that cannot be made, the log goes to the
// output folder: nothing is created at the root of the file system.
TEST_F(HostileData, WithoutHomeTheLogFallsBackToTheOutputFolder)
{
    ASSERT_TRUE(makeDistrict("tsis"));
    ASSERT_FALSE(QFileInfo::exists(u"/Documents"_s));
    const QString out = box_.path(u"out"_s);
    BridgeSandbox::writeText(box_.path(u"file"_s), "a file, no folder");
    const BridgeResult r =
        box_.run(runArguments(out) << u"--logpath="_s + box_.path(u"file/logs"_s), {u"HOME="_s});
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(QFileInfo::exists(u"/Documents"_s));
    const QString log = u"TSIS_SchoolMAX--202-"_s + today() + u".log"_s;
    EXPECT_TRUE(r.err.contains(u". Will now write to: "_s + out)) << qPrintable(r.err);
    EXPECT_TRUE(BridgeSandbox::readText(out + QLatin1Char('/') + log).contains(u"Export complete."_s));
}

// A CR LF and a TAB in every text column of the SIS that is no key: every
// line of every data file keeps its header's number of fields.
class HostileFlavour : public HostileData, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(HostileFlavour, LineEndsInValuesNeverSplitARecord)
{
    static const QStringList keys = {"SCH_NBR", "VERSION",   "COURSE",   "XSECTION", "TERM_CD", "EVENT_CAT",
                                     "PERIOD",  "GR_PERIOD", "GRADE_TY", "CAL_TY",   "DAY_CD",  "CYCLE_DAY"};
    const char* flavour = GetParam();
    ASSERT_TRUE(makeDistrict(flavour));
    const DemoAttendanceFile db(box_.path(u"demo/tsisdemo-%1.db"_s.arg(flavour)));
    int columns = 0;
    for (const QString& column :
         db.rows(u"SELECT m.name || '.' || p.name FROM sqlite_master m, pragma_table_info(m.name) p "
                 "WHERE m.type = 'table' AND p.type LIKE 'VARCHAR%'"_s))
    {
        const QString table = column.section(QLatin1Char('.'), 0, 0);
        const QString name = column.section(QLatin1Char('.'), 1);
        if (keys.contains(name))
            continue;
        ASSERT_TRUE(db.execute(u"UPDATE %1 SET %2 = %2 || char(13, 10) || 'B' || char(9) || "
                               "'C' WHERE %2 <> ''"_s.arg(table, name)));
        ++columns;
    }
    EXPECT_GT(columns, 150);

    const QString out = box_.path(u"out"_s);
    const bool tsis = QByteArray(flavour) == "tsis";
    const BridgeResult r = box_.run(runArguments(out, tsis ? u"TSISDemo"_s : u"TSISDemoSchmax"_s));
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_EQ(e2e::LayoutFaults(out), QStringList());
    // The files where nurses' comments and incident times live have records to check.
    const QStringList files =
        tsis ? QStringList{"StudentMed.sef", "StuMedications.sef", "StuImmunizations.sef",
                           "ConductIncident.sef"}
             : QStringList{"StudentAllergy.sef", "StuMedications.sef", "ConductIncident.sef"};
    for (const QString& file : files)
        EXPECT_GT(e2e::ReadFile(out + QLatin1Char('/') + file).count('\n'), 0) << qPrintable(file);
}

INSTANTIATE_TEST_SUITE_P(Demo, HostileFlavour, ::testing::Values("tsis", "schmax"), e2e::ParamName);

} // namespace
