// The run the front-end starts (tables and attendance, the real day) on the
// default demo district, in SQLite and in PostgreSQL.

#include "BridgeHarness.h"

#include <gtest/gtest.h>


namespace
{

class FullRun : public ::testing::TestWithParam<const char*>
{
protected:
    bool postgres() const { return e2e::IsPostgres(QString::fromLatin1(GetParam())); }

    BridgeSandbox box_;
};

TEST_P(FullRun, SucceedsOnTheDefaultDemoDistrict)
{
    std::string why;
    e2e::RequirePostgres(postgres(), !postgres() || e2e::PostgresAvailable(why), why);
    if (IsSkipped() || HasFatalFailure())
        return;
    ASSERT_TRUE(box_.makeDemoDistrict("", "tsis", postgres() ? "app_fullrun" : ""));
    const QString out = box_.path(QStringLiteral("out"));
    QStringList args{QStringLiteral("run"), QStringLiteral("--dsn=") + QString::fromLatin1(GetParam()),
                     QStringLiteral("--district=16"), QStringLiteral("--school=101"),
                     QStringLiteral("--path=") + out};
    if (postgres())
        args << QStringLiteral("--user=") + QString::fromStdString(e2e::Env("TSIS_PG_USER"))
             << QStringLiteral("--pwd=unused");
    const BridgeResult r = box_.run(args);

    EXPECT_EQ(r.status, 0) << qPrintable(r.out) << qPrintable(r.err);
    EXPECT_EQ(statusFileText(out), statusLine(QStringLiteral("Succeeded"), QStringLiteral("Succeeded")));
    EXPECT_EQ(finishedFileText(out), QStringLiteral("finished\r\n"));
    // Both parts ran: the tables and an attendance update.
    EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/Staff.sef")));
    EXPECT_EQ(QDir(out).entryList({QStringLiteral("Update *.SDU")}, QDir::Files).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Databases, FullRun, ::testing::Values("TSISDemo", "TSISDemoPG"), e2e::ParamName());

} // namespace
