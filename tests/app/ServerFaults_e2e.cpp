// A data source names a port where no PostgreSQL server listens: the run and
// the connection test fail cleanly with the driver's message.
#include "BridgeHarness.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

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

TEST(ServerFaults, NoServerAtThePortFailsCleanlyWithTheDriversMessage)
{
    BridgeSandbox box;
    ASSERT_TRUE(box.makeDemoDistrict(e2e::Today())) << box.demo()->Error();
    box.addPostgresSource(u"TSISNowhere"_s, unusedPort(), u"tsis"_s);
    const QString out = box.path(u"out"_s);
    const QString logs = box.path(u"logs"_s);
    const BridgeResult r = box.run({u"run"_s, u"--dsn=TSISNowhere"_s, u"--user=tsis"_s, u"--district=16"_s,
                                    u"--school=101"_s, u"--path="_s + out, u"--logpath="_s + logs});
    EXPECT_EQ(r.status, 1) << qPrintable(r.out);
    EXPECT_TRUE(r.err.isEmpty()) << qPrintable(r.err);
    QString log;
    for (const QString& name : BridgeSandbox::files(logs))
        log += BridgeSandbox::readText(logs + u"/"_s + name);
    EXPECT_TRUE(log.contains(u"Connection refused"_s)) << qPrintable(r.out);
    EXPECT_TRUE(statusFileText(out).contains(u"\tFailed\t"_s));
    EXPECT_EQ(finishedFileText(out), u"finished\r\n"_s);

    expectTranscript(box);
}

} // namespace
