// The database server failing under the bridge: the session is cut from
// outside while a table is read, and a data source names a port where no
// server listens. Each run ends failed (exit status 1, "Failed" in the status
// file) and keeps the data files of the last complete run.
#include "BridgeHarness.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

namespace
{

// A loopback port nobody listens on (free a moment ago).
QString unusedPort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return QString::number(ntohs(address.sin_port));
}

QByteArray bytesOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString logsOf(const QString& folder)
{
    QString text;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.log")}, QDir::Files))
        text += BridgeSandbox::readText(folder + QLatin1Char('/') + name);
    return text;
}

class ServerFaults : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { demo_ = new PostgresDemo("faults_e2e"); }
    static void TearDownTestSuite()
    {
        delete demo_;
        demo_ = nullptr;
    }
    void SetUp() override
    {
        e2e::RequirePostgres(true, demo_->ok(), demo_->error().toStdString());
        if (IsSkipped() || HasFatalFailure())
            return;
        demo_->configure(box_);
    }

    QStringList runArgs(const QString& dsn, const QString& out) const
    {
        return {QStringLiteral("run"),
                QStringLiteral("--dsn=") + dsn,
                QStringLiteral("--user=tsis"),
                QStringLiteral("--district=16"),
                QStringLiteral("--school=101"),
                QStringLiteral("--useyear=true"),
                QStringLiteral("--year=") + QString::number(currentSchoolYear()),
                QStringLiteral("--path=") + out};
    }

    static PostgresDemo* demo_;
    BridgeSandbox box_;
};

PostgresDemo* ServerFaults::demo_ = nullptr;

// Student Notes (SY055) becomes a view that takes a tenth of a second a row;
// the test ends every session that has been reading it for a while.
TEST_F(ServerFaults, SessionCutWhileReadingSkipsTheTableReconnectsAndFails)
{
    const QString out = box_.path(QStringLiteral("out"));
    BridgeResult r = box_.run(runArgs(QStringLiteral("TSISDemoPG"), out));
    ASSERT_EQ(r.status, 0) << qPrintable(r.out);
    const QByteArray notes = bytesOf(out + QStringLiteral("/StudentNotes.sef"));
    ASSERT_FALSE(notes.isEmpty());
    QFile::remove(out + QStringLiteral("/Students.sef"));

    std::string made;
    ASSERT_TRUE(demo_->psql("SET search_path = tsisdemo; "
                            "CREATE FUNCTION pause_row() RETURNS boolean LANGUAGE plpgsql VOLATILE AS "
                            "$$ BEGIN PERFORM pg_sleep(0.1); RETURN true; END $$; "
                            "ALTER TABLE SY055 RENAME TO SY055_base; "
                            "CREATE VIEW SY055 AS SELECT * FROM SY055_base WHERE pause_row(); "
                            "GRANT SELECT ON SY055 TO PUBLIC",
                            std::string(), &made))
        << made;

    std::future<BridgeResult> running =
        std::async(std::launch::async, [&] { return box_.run(runArgs(QStringLiteral("TSISDemoPG"), out)); });
    int cut = 0;
    while (running.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
    {
        std::string ended;
        if (demo_->psql("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
                        "WHERE datname = current_database() AND pid <> pg_backend_pid() AND state = 'active' "
                        "AND query ILIKE '%sy055%' AND now() - query_start > interval '300 milliseconds'",
                        std::string(), &ended))
            cut += std::atoi(ended.c_str());
    }
    r = running.get();
    demo_->psql("SET search_path = tsisdemo; DROP VIEW SY055; ALTER TABLE SY055_base RENAME TO SY055");

    EXPECT_GT(cut, 0);
    EXPECT_EQ(r.status, 1) << qPrintable(r.out);
    EXPECT_TRUE(
        r.out.contains(QStringLiteral("\nwarn_progress\tTable not exported completely: Student Notes\n")))
        << qPrintable(r.out);
    const QString log = logsOf(out);
    EXPECT_TRUE(log.contains(QStringLiteral("Open table Student Notes failed, skipping.")))
        << qPrintable(log);
    EXPECT_TRUE(log.contains(QStringLiteral("Tables not exported completely: Student Notes")))
        << qPrintable(log);
    EXPECT_TRUE(statusFileText(out).contains(QStringLiteral("\tFailed\t")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));
    EXPECT_EQ(bytesOf(out + QStringLiteral("/StudentNotes.sef")), notes);
    // Read over the new session after the cut.
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("/Students.sef")));
    EXPECT_EQ(QDir(out).entryList({QStringLiteral("*.part")}, QDir::Files), QStringList());
}

TEST_F(ServerFaults, NoServerAtThePortFailsCleanlyWithTheDriversMessage)
{
    demo_->addDataSource(QStringLiteral("TSISNowhere"), unusedPort());
    const QString out = box_.path(QStringLiteral("out"));
    const QString logs = box_.path(QStringLiteral("logs"));
    BridgeResult r =
        box_.run(runArgs(QStringLiteral("TSISNowhere"), out) << QStringLiteral("--logpath=") + logs);
    EXPECT_EQ(r.status, 1) << qPrintable(r.out);
    EXPECT_TRUE(r.err.isEmpty()) << qPrintable(r.err);
    EXPECT_TRUE(logsOf(logs).contains(QStringLiteral("Connection refused"))) << qPrintable(r.out);
    EXPECT_TRUE(statusFileText(out).contains(QStringLiteral("\tFailed\t")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));

    r = box_.run({QStringLiteral("test"), QStringLiteral("--group=connection"),
                  QStringLiteral("--dsn=TSISNowhere"), QStringLiteral("--user=tsis"),
                  QStringLiteral("--path=") + out, QStringLiteral("--logpath=") + logs});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(protocolLines(r.out), QStringLiteral("start_progress\t0\n"
                                                   "inc_progress\tBeginning test...\n"
                                                   "inc_progress\tSetting Database Type\n"
                                                   "test\tconnection\tfail\tConnection Failed.\n"
                                                   "end_progress\n"));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Connection refused"))) << qPrintable(r.out);
}

} // namespace
