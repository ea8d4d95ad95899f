// The built tsisbridge over a demo district whose tables fail on a later row:
// the run ends failed (exit status 1, status file "Failed", the driver's
// message in the log) and the data file of the last complete run stays. The
// faults are planted in this suite's own copy of the demo district.
#include "DemoHarness.h"

using namespace e2e;

namespace
{

class IncompleteRun : public DemoSuite<IncompleteRun>
{
public:
    static DemoPlan Demo() { return {{"tsis"}, true, "incomplete"}; }

protected:
    static CommandResult Sql(bool pg, const QString& sql)
    {
        if (pg)
            return Psql(demo_->PgDatabases().at(0), ("SET search_path = tsisdemo; " + sql).toStdString(),
                        Env("TSIS_PG_USER", "tsis"));
        return RunCommand("sqlite3 -bail " + ShellQuoted(demo_->Folder() + "/tsisdemo-tsis.db") + " " +
                          ShellQuoted(sql.toStdString()) + " 2>&1");
    }

    // Replaces table by a view of the same name whose column becomes poison
    // (SQL in which %1 stands for the column) on the rows where later holds.
    static void Plant(bool pg, const QString& table, const QString& column, const QString& later,
                      const QString& poison)
    {
        const QString base = table + "_base";
        const CommandResult names =
            Sql(pg, pg ? "SELECT column_name FROM information_schema.columns WHERE table_schema = 'tsisdemo' "
                         "AND table_name = '" +
                             table.toLower() + "' ORDER BY ordinal_position"
                       : "SELECT name FROM pragma_table_info('" + table + "')");
        ASSERT_EQ(names.status, 0) << names.output;
        QStringList columns = QString::fromStdString(names.output).split('\n', Qt::SkipEmptyParts);
        ASSERT_TRUE(columns.contains(column, Qt::CaseInsensitive)) << names.output;
        for (QString& c : columns)
            if (c.compare(column, Qt::CaseInsensitive) == 0)
                c = "CASE WHEN " + later + " THEN " + poison.arg(c) + " ELSE " + c + " END AS " + c;
        const CommandResult made = Sql(pg, "ALTER TABLE " + table + " RENAME TO " + base + "; CREATE VIEW " +
                                               table + " AS SELECT " + columns.join(", ") + " FROM " + base);
        ASSERT_EQ(made.status, 0) << made.output;
    }

    static void Restore(bool pg, const QString& table)
    {
        const CommandResult r =
            Sql(pg, "DROP VIEW " + table + "; ALTER TABLE " + table + "_base RENAME TO " + table);
        ASSERT_EQ(r.status, 0) << r.output;
    }

    // The run command for school 101 of the demo district into out.
    static CommandResult Run(bool pg, const QString& out)
    {
        const QString home = out + "-home";
        QDir().mkpath(home);
        const std::string command = "HOME=" + ShellQuoted(home.toStdString()) +
                                    " LANG=C.UTF-8 " TSISBRIDGE_EXE
                                    " run --district=16 --school=101 --useyear=true --year=2026 --path=" +
                                    ShellQuoted(out.toStdString());
        return RunCommand(command +
                          (pg ? " --dsn=TSISDemoPG --user=" + Env("TSIS_PG_USER", "tsis") + " --pwd=unused"
                              : std::string(" --dsn=TSISDemo")) +
                          " 2>&1");
    }

    static QByteArray StatusFile(const QString& out) { return ReadFile(out + "/Data ExtractorStatus.tmp"); }
    static QString LogText(const QString& out)
    {
        QString text;
        for (const QString& name : QDir(out).entryList({"*.log"}, QDir::Files))
            text += QString::fromLatin1(ReadFile(out + "/" + name));
        return text;
    }
    static QStringList PartFiles(const QString& out) { return QDir(out).entryList({"*.part"}, QDir::Files); }

    // A complete run, the fault in a later student's LOCK_COMB, a second run into the same folder.
    void ExpectFailureKeepsStudents(bool pg, const QString& poison, const QString& driverMessage)
    {
        const QString file = "Students.sef", table = "ST010";
        const QString out = FreshFolder(pg ? "incomplete-out-pg" : "incomplete-out");
        CommandResult r = Run(pg, out);
        ASSERT_EQ(r.status, 0) << r.output;
        const QByteArray complete = ReadFile(out + "/" + file);
        ASSERT_FALSE(complete.isEmpty());

        // The fourth lowest student number of the school, so the failure comes after some rows.
        const QString later = "ID_NBR > (SELECT ID_NBR FROM " + table +
                              "_base WHERE SCH_NBR = '101' "
                              "ORDER BY ID_NBR LIMIT 1 OFFSET 3)";
        Plant(pg, table, "LOCK_COMB", later, poison);
        r = Run(pg, out);
        EXPECT_EQ(r.status, 1) << r.output;
        EXPECT_TRUE(StatusFile(out).contains("\tFailed\t")) << StatusFile(out).constData();
        EXPECT_TRUE(LogText(out).contains(driverMessage)) << r.output;
        EXPECT_EQ(ReadFile(out + "/" + file), complete);
        EXPECT_EQ(PartFiles(out), QStringList());

        // A first run into an empty folder leaves the file without lines.
        const QString first = FreshFolder(pg ? "incomplete-first-pg" : "incomplete-first");
        r = Run(pg, first);
        EXPECT_EQ(r.status, 1) << r.output;
        EXPECT_EQ(ReadFile(first + "/" + file), QByteArray());
        EXPECT_EQ(PartFiles(first), QStringList());
        Restore(pg, table);
    }
};

TEST_F(IncompleteRun, SqliteRowFailingLateFailsTheRunAndKeepsTheFile)
{
    ExpectFailureKeepsStudents(false, "json('not json' || coalesce(%1, ''))", "malformed JSON");
}

TEST_F(IncompleteRun, PostgresRowFailingLateFailsTheRunAndKeepsTheFile)
{
    NeedPostgres();
    if (IsSkipped() || HasFatalFailure())
        return;
    ExpectFailureKeepsStudents(true, "(1 / (length(coalesce(%1, '')) * 0))::text", "division by zero");
}

// The session of the bridge ends in the middle of Student Notes: the table is
// skipped and keeps its file, the bridge connects again, Student
// Demographics after it is exported, and the run ends failed naming the notes.
TEST_F(IncompleteRun, PostgresBackendTerminatedSkipsTheTableAndTheRunFails)
{
    NeedPostgres();
    if (IsSkipped() || HasFatalFailure())
        return;
    const QString out = FreshFolder("incomplete-terminated");
    CommandResult r = Run(true, out);
    ASSERT_EQ(r.status, 0) << r.output;
    const QByteArray notes = ReadFile(out + "/StudentNotes.sef");
    const QByteArray students = ReadFile(out + "/Students.sef");
    ASSERT_FALSE(notes.isEmpty());
    QFile::remove(out + "/Students.sef");

    const CommandResult function =
        Sql(true, "CREATE FUNCTION cut_link(v text) RETURNS text LANGUAGE plpgsql STABLE AS "
                  "$$ BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); RETURN v; END $$");
    ASSERT_EQ(function.status, 0) << function.output;
    Plant(true, "SY055", "NT_TXT", "NT_LNE > 1", "cut_link(%1)");
    r = Run(true, out);
    Restore(true, "SY055");

    EXPECT_EQ(r.status, 1) << r.output;
    const QString output = QString::fromStdString(r.output);
    EXPECT_TRUE(output.contains("\nwarn_progress\tTable not exported completely: Student Notes\n"))
        << r.output;
    EXPECT_TRUE(StatusFile(out).contains("\tFailed\t")) << StatusFile(out).constData();
    EXPECT_TRUE(LogText(out).contains("Open table Student Notes failed, skipping.")) << r.output;
    EXPECT_TRUE(LogText(out).contains("Tables not exported completely: Student Notes")) << r.output;
    EXPECT_EQ(ReadFile(out + "/finished_bridge.tmp"), "finished\r\n");
    EXPECT_EQ(ReadFile(out + "/StudentNotes.sef"), notes);
    EXPECT_EQ(ReadFile(out + "/Students.sef"), students);
    EXPECT_EQ(PartFiles(out), QStringList());
}

} // namespace
