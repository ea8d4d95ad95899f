// What real districts hold and how cron runs the bridge: values with line
// ends, links planted in the output folder, impossible dates. Every run is a
// real tsisbridge run over a demo district of its own.

#include "AttendanceFixture.h"

#include <gtest/gtest.h>

#include <QDirIterator>

#include <sys/stat.h>

namespace
{

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class HostileData : public ::testing::Test
{
protected:
    // A demo district of the flavour (tsis or schmax) in SQLite.
    bool makeDistrict(const char* flavour)
    {
        return box_.makeDemoDistrict(e2e::Today(), flavour);
    }
    DemoAttendanceFile sis(const char* flavour) const
    {
        return DemoAttendanceFile(box_.path(QStringLiteral("demo/tsisdemo-%1.db").arg(flavour)));
    }
    QStringList runArguments(const QString& out, const QString& mode = QString(),
                             const QString& dsn = QStringLiteral("TSISDemo")) const
    {
        QStringList args{QStringLiteral("run"), QStringLiteral("--dsn=") + dsn,
                         QStringLiteral("--district=16"), QStringLiteral("--school=202"),
                         QStringLiteral("--path=") + out};
        if (!mode.isEmpty())
            args << mode;
        return args;
    }

    // What an importer would trip over: a data line whose number of fields
    // is not its header's, a bare CR or LF, a missing file. Empty when sound.
    static QStringList layoutFaults(const QString& out)
    {
        QStringList faults;
        const QStringList control =
            QString::fromLatin1(fileBytes(out + QStringLiteral("/TSIS SchoolMAX.SDE")))
                .split(QStringLiteral("\r\n"));
        static const QRegularExpression include(QStringLiteral("^#include \"(.+)\"$"));
        for (int i = 1; i < control.size(); ++i)
        {
            const QRegularExpressionMatch m = include.match(control[i]);
            if (!m.hasMatch() || !m.captured(1).endsWith(QStringLiteral(".sef")))
                continue;
            // A header field with "$=" is a constant of the importer's, not in the lines.
            qsizetype fields = 0;
            for (const QString& field : control[i - 1].split(QLatin1Char('\t')))
                fields += !field.contains(QStringLiteral("$="));
            const QString name = m.captured(1);
            const QByteArray bytes = fileBytes(out + QLatin1Char('/') + name);
            QList<QByteArray> lines = bytes.split('\n');
            if (lines.isEmpty() || !lines.takeLast().isEmpty())
                faults << name + QStringLiteral(": no line end at its end");
            for (int n = 0; n < lines.size(); ++n)
            {
                const QByteArray& line = lines[n];
                if (!line.endsWith('\r') || line.count('\r') != 1)
                    faults << name + QStringLiteral(": line %1 is broken").arg(n + 1);
                else if (line.count('\t') + 1 != fields)
                    faults << name + QStringLiteral(": line %1 has %2 fields, its header %3")
                                         .arg(n + 1)
                                         .arg(line.count('\t') + 1)
                                         .arg(fields);
            }
        }
        return faults;
    }

    BridgeSandbox box_;
};

// Links planted at the names a run writes (cron runs it as root, in folders
// other accounts may write): their targets stay untouched.
TEST_F(HostileData, PlantedLinksAreNeverWrittenThrough)
{
    ASSERT_TRUE(makeDistrict("tsis"));
    const QString out = box_.path(QStringLiteral("out"));
    ASSERT_EQ(box_.run(runArguments(out)).status, 0); // the next run's configuration is unchanged
    const QString nowhere = box_.path(QStringLiteral("nowhere"));
    const QString victim = box_.path(QStringLiteral("victim"));
    BridgeSandbox::writeText(victim, "precious");
    QStringList names = {QStringLiteral("Students.sef.part"), QStringLiteral("TSIS SchoolMAX.SDE"),
                         QStringLiteral("Data ExtractorStatus.tmp"),
                         QStringLiteral("TSIS_SchoolMAX--202-") + QDate::currentDate().toString(Qt::ISODate) +
                             QStringLiteral(".log")};
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s < 30; ++s)
        for (const char* suffix : {".SDU", ".SDU.part"})
            names << QStringLiteral("Update ") + now.addSecs(s).toString(QStringLiteral("yyyyMMddHHmmss")) +
                         suffix;
    for (const QString& name : names)
    {
        QFile::remove(out + QLatin1Char('/') + name);
        ASSERT_TRUE(QFile::link(name.size() % 2 ? victim : nowhere, out + QLatin1Char('/') + name))
            << qPrintable(name);
    }

    const BridgeResult r = box_.run(runArguments(out));
    EXPECT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_EQ(fileBytes(victim), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    const QStringList updates =
        QDir(out).entryList({QStringLiteral("Update *.SDU")}, QDir::Files | QDir::System);
    EXPECT_FALSE(QFileInfo(out + QLatin1Char('/') + updates.last()).isSymLink())
        << qPrintable(updates.join(' '));
    for (const char* written : {"Students.sef", "TSIS SchoolMAX.SDE", "Data ExtractorStatus.tmp"})
        EXPECT_FALSE(QFileInfo(out + QLatin1Char('/') + written).isSymLink()) << written;
    EXPECT_TRUE(r.err.contains(QStringLiteral("Log File Error"))) << qPrintable(r.err);
}

// Run as cron runs it (umask 022): nothing the run creates grants anything to others.
TEST_F(HostileData, CreatedFilesGrantNothingToOthers)
{
    ASSERT_TRUE(makeDistrict("tsis"));
    const QString out = box_.path(QStringLiteral("out"));
    const mode_t previous = umask(022);
    const BridgeResult r = box_.run(runArguments(out));
    umask(previous);
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
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
}

// Without HOME and with a log folder that cannot be made, the log goes to the
// output folder: nothing is created at the root of the file system.
TEST_F(HostileData, WithoutHomeTheLogFallsBackToTheOutputFolder)
{
    ASSERT_TRUE(makeDistrict("tsis"));
    ASSERT_FALSE(QFileInfo::exists(QStringLiteral("/Documents")));
    const QString out = box_.path(QStringLiteral("out"));
    BridgeSandbox::writeText(box_.path(QStringLiteral("file")), "a file, no folder");
    const Launched run = launchBridge(
        box_, runArguments(out) << QStringLiteral("--logpath=") + box_.path(QStringLiteral("file/logs")),
        QStringLiteral("homeless"), {QStringLiteral("HOME=")});
    const int status = waitBridge(run, 120);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/Documents")));
    const QString log = QStringLiteral("TSIS_SchoolMAX--202-") + QDate::currentDate().toString(Qt::ISODate) +
                        QStringLiteral(".log");
    EXPECT_TRUE(BridgeSandbox::readText(run.errFile).contains(QStringLiteral(". Will now write to: ") + out))
        << qPrintable(BridgeSandbox::readText(run.errFile));
    EXPECT_TRUE(
        BridgeSandbox::readText(out + QLatin1Char('/') + log).contains(QStringLiteral("Export complete.")));
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
    const DemoAttendanceFile db = sis(flavour);
    int columns = 0;
    for (const QString& column : db.rows(QStringLiteral(
             "SELECT m.name || '.' || p.name FROM sqlite_master m, pragma_table_info(m.name) p "
             "WHERE m.type = 'table' AND p.type LIKE 'VARCHAR%'")))
    {
        const QString table = column.section(QLatin1Char('.'), 0, 0);
        const QString name = column.section(QLatin1Char('.'), 1);
        if (keys.contains(name))
            continue;
        ASSERT_TRUE(db.execute(QStringLiteral("UPDATE %1 SET %2 = %2 || char(13, 10) || 'B' || char(9) || "
                                              "'C' WHERE %2 <> ''")
                                   .arg(table, name)));
        ++columns;
    }
    EXPECT_GT(columns, 150);

    const QString out = box_.path(QStringLiteral("out"));
    const bool tsis = QByteArray(flavour) == "tsis";
    const BridgeResult r = box_.run(
        runArguments(out, QString(), tsis ? QStringLiteral("TSISDemo") : QStringLiteral("TSISDemoSchmax")));
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    EXPECT_EQ(layoutFaults(out), QStringList());
    // The files where nurses' comments and incident times live have records to check.
    const QStringList files =
        tsis ? QStringList{"StudentMed.sef", "StuMedications.sef", "StuImmunizations.sef",
                           "ConductIncident.sef"}
             : QStringList{"StudentAllergy.sef", "StuMedications.sef", "ConductIncident.sef"};
    for (const QString& file : files)
        EXPECT_GT(fileBytes(out + QLatin1Char('/') + file).count('\n'), 0) << qPrintable(file);
}

INSTANTIATE_TEST_SUITE_P(Demo, HostileFlavour, ::testing::Values("tsis", "schmax"), e2e::ParamName());

} // namespace
