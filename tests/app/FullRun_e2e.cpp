// The run the front-end starts (tables and attendance, the real day) on the
// default demo district, in SQLite and in PostgreSQL.

#include "BridgeExpectations.h"
#include "BridgeProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

class FullRun : public ::testing::TestWithParam<const char*>
{
protected:
    bool postgres() const { return QString::fromLatin1(GetParam()).endsWith(QStringLiteral("PG")); }

    void TearDown() override
    {
        if (!pgDatabase_.empty())
        {
            [[maybe_unused]] const int rc = std::system(
                ("psql -X -q -h " + env("TSIS_PG_HOST") + " -p " + env("TSIS_PG_PORT") +
                 " -U postgres -d postgres -c 'DROP DATABASE IF EXISTS " + pgDatabase_ + "' >/dev/null 2>&1")
                    .c_str());
        }
    }

    BridgeSandbox box_;
    std::string pgDatabase_;
};

TEST_P(FullRun, SucceedsOnTheDefaultDemoDistrict)
{
    QStringList args{QStringLiteral("run"), QStringLiteral("--dsn=") + QString::fromLatin1(GetParam()),
                     QStringLiteral("--district=16"), QStringLiteral("--school=101")};
    if (postgres())
    {
        if (env("TSIS_PG_HOST").empty())
        {
            if (env("CI") == "true")
                FAIL() << "PostgreSQL is required under CI (scripts/start-postgres.sh)";
            GTEST_SKIP() << "no PostgreSQL server (scripts/start-postgres.sh)";
        }
        pgDatabase_ = "app_fullrun_" + std::to_string(getpid());
        ASSERT_TRUE(box_.makeDemoDistrict(nullptr, "--postgres --pg-db " + pgDatabase_));
        args << QStringLiteral("--user=") + QString::fromStdString(env("TSIS_PG_USER"))
             << QStringLiteral("--pwd=unused");
    }
    else
    {
        ASSERT_TRUE(box_.makeDemoDistrict(nullptr));
    }
    const QString out = box_.path(QStringLiteral("out"));
    const BridgeResult r = box_.run(args << QStringLiteral("--path=") + out);

    EXPECT_EQ(r.status, 0) << qPrintable(r.out) << qPrintable(r.err);
    EXPECT_EQ(statusFileText(out), statusLine(QStringLiteral("Succeeded"), QStringLiteral("Succeeded")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));
    // Both parts ran: the tables and an attendance update.
    EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/Staff.sef")));
    EXPECT_EQ(QDir(out).entryList({QStringLiteral("Update *.SDU")}, QDir::Files).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Databases, FullRun, ::testing::Values("TSISDemo", "TSISDemoPG"));

} // namespace
