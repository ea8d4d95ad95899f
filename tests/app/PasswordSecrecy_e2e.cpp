#include "BridgeHarness.h"

#include <QDirIterator>

#include <gtest/gtest.h>

namespace
{

// "Tr0ub4dor" encoded as the front-end sends it.
const QString kEncoded = QStringLiteral("547230756234646F72");
const QString kPlain = QStringLiteral("Tr0ub4dor");
const QString kGivenPlain = QStringLiteral("S3cretPlain");

QString everything(const BridgeSandbox& box, const BridgeResult& r)
{
    QString all = r.out + r.err;
    QDirIterator it(box.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        all += BridgeSandbox::readText(it.next());
    return all;
}

void expectNoPassword(const BridgeSandbox& box, const BridgeResult& r)
{
    const QString all = everything(box, r);
    EXPECT_FALSE(all.contains(kEncoded));
    EXPECT_FALSE(all.contains(kPlain));
    EXPECT_FALSE(all.contains(kGivenPlain));
}

QStringList runArgs(const BridgeSandbox& box)
{
    return {QStringLiteral("run"),
            QStringLiteral("--path=") + box.path(QStringLiteral("out")),
            QStringLiteral("--logpath=") + box.path(QStringLiteral("logs")),
            QStringLiteral("--dsn=Sis"),
            QStringLiteral("--user=reader"),
            QStringLiteral("--district=7"),
            QStringLiteral("--school=0042")};
}

// The log of a run of runArgs, written today.
QString runLog(const BridgeSandbox& box)
{
    return BridgeSandbox::readText(box.path(QStringLiteral("logs/TSIS_SchoolMAX--0042-")) + today() +
                                   QStringLiteral(".log"));
}

TEST(PasswordSecrecy, PasswordStaysOutOfLogsProtocolAndStatusFiles)
{
    const struct
    {
        QString option;
        QStringList logged;
    } cases[] = {
        {QStringLiteral("--pwdencode=") + kEncoded,
         {QStringLiteral("pwdencode is internal only."), QStringLiteral("pwd is internal only.")}},
        {QStringLiteral("--pwd=") + kGivenPlain, {QStringLiteral("pwd is internal only.")}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.option.toStdString());
        BridgeSandbox box;
        const BridgeResult r = box.run(runArgs(box) << c.option);
        EXPECT_EQ(r.status, 1);
        for (const QString& line : c.logged)
            EXPECT_TRUE(runLog(box).contains(line)) << qPrintable(line);
        expectNoPassword(box, r);
    }
}

// While a run lasts, the process list shows the password masked, and the
// process leaves no core file that would hold it.
TEST(PasswordSecrecy, ProcessListAndCoreFilesDoNotShowThePassword)
{
    BridgeSandbox box;
    const QString logs = box.path(QStringLiteral("logs"));
    QDir().mkpath(logs);
    const Launched run = launchBridge(box, runArgs(box) << QStringLiteral("--pwd=") + kGivenPlain,
                                      QStringLiteral("slow"), faultEnv(QStringLiteral("slow"), logs));
    const QString proc = QStringLiteral("/proc/%1/").arg(run.pid);
    for (int i = 0; i < 500 && QDir(logs).isEmpty(); ++i)
        usleep(20 * 1000);
    const QByteArray cmdline = BridgeSandbox::readText(proc + QStringLiteral("cmdline")).toUtf8();
    const QString limits = BridgeSandbox::readText(proc + QStringLiteral("limits"));
    kill(run.pid, SIGKILL);
    waitpid(run.pid, nullptr, 0);
    EXPECT_TRUE(cmdline.contains(QByteArray("--pwd=") + QByteArray(kGivenPlain.size(), '*')))
        << cmdline.constData();
    EXPECT_FALSE(cmdline.contains(kGivenPlain.toUtf8()));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Max core file size +0 +0 ")).match(limits).hasMatch())
        << qPrintable(limits);
}

TEST(PasswordSecrecy, UsageStatusFileMasksPasswords)
{
    BridgeSandbox box;
    QStringList args = runArgs(box);
    args << QStringLiteral("--pwdencode=") + kEncoded << QStringLiteral("--pwd=") + kGivenPlain
         << QStringLiteral("--help");
    const BridgeResult r = box.run(args);
    EXPECT_EQ(r.status, 1);
    const QString status = BridgeSandbox::readText(box.path(QStringLiteral("out/")) + kStatusFile);
    EXPECT_TRUE(status.contains(QStringLiteral(", --pwdencode=****, --pwd=****, --help\r\n")));
    EXPECT_TRUE(status.contains(QStringLiteral("--user=reader")));
    expectNoPassword(box, r);
}

TEST(PasswordSecrecy, PasswordStartingWithHyphensIsNotEchoedByTheScanner)
{
    BridgeSandbox box;
    QStringList args = runArgs(box);
    args << QStringLiteral("--pwd=--") + kGivenPlain;
    const BridgeResult r = box.run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(maskTimes(r.out).startsWith(
        QStringLiteral("log\tWarning      \thh:mm:ss\tAppBase::qMessageOutput\tUnknown option --****\n")))
        << qPrintable(r.out);
    expectNoPassword(box, r);
}

TEST(PasswordSecrecy, FailedTestsDoNotShowThePassword)
{
    BridgeSandbox box;
    const BridgeResult r = box.run({QStringLiteral("test"), QStringLiteral("--group=connection"),
                                    QStringLiteral("--dsn=Sis"), QStringLiteral("--pwdencode=") + kEncoded,
                                    QStringLiteral("--path=") + box.path(QStringLiteral("out"))});
    EXPECT_EQ(r.status, 1);
    expectNoPassword(box, r);
}

// A role whose password the server checks (scram-sha-256): an ignored or
// mangled password cannot pass. Its data source stores no login, and unixODBC
// traces every call of these runs.
class ScramLogin : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        demo_ = new PostgresDemo("secrecy_e2e");
        if (!demo_->ok())
            return;
        demo_->addDataSource(QStringLiteral("ScramPG"), demo_->value(QStringLiteral("TSIS_PG_PORT")));
        demo_->traceTo(trace());
    }
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
        ASSERT_FALSE(password().isEmpty()) << "start-postgres.sh names no scram role";
        demo_->configure(box_);
    }

    static QString trace() { return demo_->folder() + QStringLiteral("/odbc.trace"); }
    static QString password() { return demo_->value(QStringLiteral("TSIS_PG_SCRAM_PASSWORD")); }
    static QString encoded() { return QString::fromLatin1(password().toLatin1().toHex().toUpper()); }

    BridgeResult test(const QString& passwordOption) const
    {
        return box_.run({QStringLiteral("test"), QStringLiteral("--group=connection"),
                         QStringLiteral("--dsn=ScramPG"),
                         QStringLiteral("--user=") + demo_->value(QStringLiteral("TSIS_PG_SCRAM_USER")),
                         passwordOption, QStringLiteral("--path=") + box_.path(QStringLiteral("out"))});
    }

    static PostgresDemo* demo_;
    BridgeSandbox box_;
};

PostgresDemo* ScramLogin::demo_ = nullptr;

const QString kConnected = QStringLiteral("\ntest\tconnection\tsuccess\tConnection Successful.\n");
const QString kNotConnected = QStringLiteral("\ntest\tconnection\tfail\tConnection Failed.\n");

// A log-in the server refused is not tried again in the run: a wrong password
// costs one failed log-in, not one per detection trial (account lockout).
TEST_F(ScramLogin, AWrongPasswordCostsOneLogIn)
{
    const QString count = box_.path(QStringLiteral("log-ins"));
    const Launched run = launchBridge(
        box_,
        {QStringLiteral("run"), QStringLiteral("--dsn=ScramPG"),
         QStringLiteral("--user=") + demo_->value(QStringLiteral("TSIS_PG_SCRAM_USER")),
         QStringLiteral("--pwd=") + password() + QStringLiteral("x"), QStringLiteral("--district=16"),
         QStringLiteral("--school=202"), QStringLiteral("--path=") + box_.path(QStringLiteral("out"))},
        QStringLiteral("wrong"),
        {QStringLiteral("LD_PRELOAD=" LOGIN_COUNTER_LIB), QStringLiteral("TSIS_LOGIN_COUNT=") + count,
         QStringLiteral("ASAN_OPTIONS=verify_asan_link_order=0:") + qEnvironmentVariable("ASAN_OPTIONS")});
    const int status = waitBridge(run, 120);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(BridgeSandbox::readText(count), QStringLiteral("log-in\n"));
    EXPECT_TRUE(
        BridgeSandbox::readText(run.outFile).contains(QStringLiteral("password authentication failed")))
        << qPrintable(BridgeSandbox::readText(run.outFile));
}

TEST_F(ScramLogin, RightPasswordConnectsPlainAndEncoded)
{
    for (const QString& option :
         {QStringLiteral("--pwd=") + password(), QStringLiteral("--pwdencode=") + encoded()})
    {
        const BridgeResult r = test(option);
        EXPECT_EQ(r.status, 0) << qPrintable(option);
        EXPECT_TRUE(r.out.contains(kConnected)) << qPrintable(r.out);
    }
}

TEST_F(ScramLogin, WrongPasswordFailsCleanlyPlainAndEncoded)
{
    const QString wrong = password() + QStringLiteral("x");
    for (const QString& option :
         {QStringLiteral("--pwd=") + wrong,
          QStringLiteral("--pwdencode=") + QString::fromLatin1(wrong.toLatin1().toHex().toUpper())})
    {
        const BridgeResult r = test(option);
        EXPECT_EQ(r.status, 1) << qPrintable(option);
        EXPECT_TRUE(r.out.contains(kNotConnected)) << qPrintable(r.out);
        EXPECT_TRUE(r.out.contains(QStringLiteral("password authentication failed for user \"tsis_scram\"")))
            << qPrintable(r.out);
        EXPECT_EQ(r.err, QString());
    }
}

// Every command, with the password given plain and encoded: neither it nor
// its hexadecimal or Base64 form shows on the two streams, in the log, status
// or data files, or in the ODBC trace.
TEST_F(ScramLogin, NoCommandShowsThePassword)
{
    const QString out = QStringLiteral("--path=") + box_.path(QStringLiteral("out"));
    const QString school = QStringLiteral("--school=101");
    const QString district = QStringLiteral("--district=16");
    const QList<QStringList> commands = {
        {QStringLiteral("version"), out},
        {QStringLiteral("params"), out},
        {QStringLiteral("params"), QStringLiteral("--paramkey=district"), out},
        {QStringLiteral("params"), QStringLiteral("--paramkey=school"), district, out},
        {QStringLiteral("params"), QStringLiteral("--paramkey=year"), district, school, out},
        {QStringLiteral("defaults"), QStringLiteral("--path=") + box_.path(QStringLiteral("SVConfig.xml"))},
        {QStringLiteral("test"), QStringLiteral("--group=connection"), out},
        {QStringLiteral("test"), QStringLiteral("--group=school"), district, school, out},
        {QStringLiteral("run"), district, school, out},
    };
    const QStringList login = {QStringLiteral("--dsn=ScramPG"),
                               QStringLiteral("--user=") + demo_->value(QStringLiteral("TSIS_PG_SCRAM_USER")),
                               QStringLiteral("--logpath=") + box_.path(QStringLiteral("logs"))};
    QFile::remove(trace());
    QString seen;
    for (const QString& option :
         {QStringLiteral("--pwd=") + password(), QStringLiteral("--pwdencode=") + encoded()})
        for (const QStringList& command : commands)
            // Status files are replaced by the next command: each answer is read at once.
            seen += everything(box_, box_.run(command + login + QStringList{option}));
    EXPECT_TRUE(QFile::exists(box_.path(QStringLiteral("out/Students.sef"))));
    const QString traced = BridgeSandbox::readText(trace());
    // The queries are traced (the connect call carrying the password is not).
    EXPECT_TRUE(traced.contains(QStringLiteral("SQLExecDirectW"))) << "no ODBC trace";

    const QString all = seen + traced;
    // Also the pieces a mask that stops at ";" or "]" would let through.
    QStringList forms = password().split(QRegularExpression(QStringLiteral("[;\\]]")));
    forms.removeIf([](const QString& piece) { return piece.size() < 4; });
    forms << password() << encoded() << encoded().toLower()
          << QString::fromLatin1(password().toLatin1().toBase64());
    for (const QString& form : forms)
        EXPECT_FALSE(all.contains(form)) << qPrintable(form);
}

} // namespace
