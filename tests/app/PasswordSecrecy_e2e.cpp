#include "BridgeHarness.h"

#include <gtest/gtest.h>

namespace
{

// "Tr0ub4dor" encoded as the front-end sends it.
const QString kEncoded = u"547230756234646F72"_s;
const QString kPlain = u"Tr0ub4dor"_s;
const QString kGivenPlain = u"S3cretPlain"_s;

QString everything(const BridgeSandbox& box, const BridgeResult& r)
{
    QString all = r.out + r.err;
    for (const QByteArray& bytes : treeFiles(box.path()))
        all += QString::fromUtf8(bytes);
    return all;
}

QStringList runArgs(const BridgeSandbox& box)
{
    return words(u"run --dsn=Sis --user=reader --district=7 --school=0042"_s)
           << u"--path="_s + box.path(u"out"_s) << u"--logpath="_s + box.path(u"logs"_s);
}

// Every way a password reaches a run or a test: the log says the option is
// internal, the usage's status file and the scanner's warning mask it.
TEST(PasswordSecrecy, PasswordStaysOutOfLogsProtocolAndStatusFiles)
{
    const QString encoded = u"--pwdencode="_s + kEncoded;
    const QString plain = u"--pwd="_s + kGivenPlain;
    const struct
    {
        QStringList more;
        QStringList logged;
        QStringList status; // the status file holds
        QString out;        // standard output begins with
        bool test = false;  // a connection test instead of a run
    } cases[] = {
        {{encoded}, {u"pwdencode is internal only."_s, u"pwd is internal only."_s}, {}, {}},
        {{plain}, {u"pwd is internal only."_s}, {}, {}},
        {{encoded, plain, u"--help"_s},
         {},
         {u", --pwdencode=****, --pwd=****, --help\r\n"_s, u"--user=reader"_s},
         {}},
        {{u"--pwd=--"_s + kGivenPlain},
         {},
         {},
         u"log\tWarning      \thh:mm:ss\tAppBase::qMessageOutput\tUnknown option --****\n"_s},
        {{encoded}, {}, {}, {}, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.more.join(u' ').toStdString());
        BridgeSandbox box;
        const QStringList args = c.test ? QStringList{u"test"_s, u"--group=connection"_s, u"--dsn=Sis"_s,
                                                      u"--path="_s + box.path(u"out"_s)}
                                        : runArgs(box);
        const BridgeResult r = box.run(args + c.more);
        EXPECT_EQ(r.status, 1);
        const QString log =
            BridgeSandbox::readText(box.path(u"logs/TSIS_SchoolMAX--0042-"_s) + today() + u".log"_s);
        for (const QString& line : c.logged)
            EXPECT_TRUE(log.contains(line)) << qPrintable(line);
        for (const QString& text : c.status)
            EXPECT_TRUE(statusFileText(box.path(u"out"_s)).contains(text)) << qPrintable(text);
        EXPECT_TRUE(maskTimes(r.out).startsWith(c.out)) << qPrintable(r.out);
        const QString all = everything(box, r);
        for (const QString& password : {kEncoded, kPlain, kGivenPlain})
            EXPECT_FALSE(all.contains(password)) << qPrintable(password);
    }
}

// While a run lasts, the process list shows the password masked, and the
// process leaves no core file that would hold it.
TEST(PasswordSecrecy, ProcessListAndCoreFilesDoNotShowThePassword)
{
    BridgeSandbox box;
    const QString logs = box.path(u"logs"_s);
    QDir().mkpath(logs);
    const Launched run =
        launchBridge(box, runArgs(box) << u"--pwd="_s + kGivenPlain, u"slow"_s, faultEnv(u"slow"_s, logs));
    const QString proc = u"/proc/%1/"_s.arg(run.pid);
    pollUntil(10, [&] { return !QDir(logs).isEmpty(); });
    const QByteArray cmdline = BridgeSandbox::readText(proc + u"cmdline"_s).toUtf8();
    const QString limits = BridgeSandbox::readText(proc + u"limits"_s);
    kill(run.pid, SIGKILL);
    waitpid(run.pid, nullptr, 0);
    EXPECT_TRUE(cmdline.contains(QByteArray("--pwd=") + QByteArray(kGivenPlain.size(), '*')))
        << cmdline.constData();
    EXPECT_FALSE(cmdline.contains(kGivenPlain.toUtf8()));
    EXPECT_TRUE(QRegularExpression(u"Max core file size +0 +0 "_s).match(limits).hasMatch())
        << qPrintable(limits);
}

// A role whose password the server checks (scram-sha-256): an ignored or
// mangled password cannot pass. Its data source stores no login, and unixODBC
// traces every call of these runs.
class ScramLogin : public SharedDemo<ScramLogin>
{
public:
    static constexpr const char* kDatabase = "secrecy_e2e";

protected:
    static void SetUpTestSuite()
    {
        SharedDemo::SetUpTestSuite();
        if (!ok_)
            return;
        box_->addPostgresSource(u"ScramPG"_s, value("TSIS_PG_PORT"), QString::fromStdString(database()));
        const QString ini = value("ODBCSYSINI") + u"/odbcinst.ini"_s;
        BridgeSandbox::writeText(ini, "[ODBC]\nTrace=Yes\nTraceFile=" + trace().toUtf8() + "\n\n" +
                                          BridgeSandbox::readText(ini).toUtf8());
    }
    void SetUp() override
    {
        SharedDemo::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
        {
            ASSERT_FALSE(password().isEmpty()) << "start-postgres.sh names no scram role";
        }
    }

    static QString trace() { return box_->path(u"odbc.trace"_s); }
    static QString password() { return value("TSIS_PG_SCRAM_PASSWORD"); }
    static QString encoded() { return QString::fromLatin1(password().toLatin1().toHex().toUpper()); }
    static QString user() { return u"--user="_s + value("TSIS_PG_SCRAM_USER"); }
};

const QString kConnected = u"\ntest\tconnection\tsuccess\tConnection Successful.\n"_s;
const QString kNotConnected = u"\ntest\tconnection\tfail\tConnection Failed.\n"_s;

// A log-in the server refused is not tried again in the run: a wrong password
// costs one failed log-in, not one per detection trial (account lockout).
TEST_F(ScramLogin, AWrongPasswordCostsOneLogIn)
{
    const QString count = box_->path(u"log-ins"_s);
    const BridgeResult r =
        box_->run({u"run"_s, u"--dsn=ScramPG"_s, user(), u"--pwd="_s + password() + u"x"_s,
                   u"--district=16"_s, u"--school=202"_s, u"--path="_s + box_->path(u"out"_s)},
                  preloadEnv(LOGIN_COUNTER_LIB, {u"TSIS_LOGIN_COUNT="_s + count}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(BridgeSandbox::readText(count), u"log-in\n"_s);
    EXPECT_TRUE(r.out.contains(u"password authentication failed"_s)) << qPrintable(r.out);
}

// The right password connects, a wrong one fails cleanly, plain and encoded.
TEST_F(ScramLogin, PasswordsPlainAndEncoded)
{
    const QString wrong = password() + u"x"_s;
    const struct
    {
        QString option;
        int status;
    } cases[] = {
        {u"--pwd="_s + password(), 0},
        {u"--pwdencode="_s + encoded(), 0},
        {u"--pwd="_s + wrong, 1},
        {u"--pwdencode="_s + QString::fromLatin1(wrong.toLatin1().toHex().toUpper()), 1},
    };
    for (const auto& c : cases)
    {
        const BridgeResult r = box_->run({u"test"_s, u"--group=connection"_s, u"--dsn=ScramPG"_s, user(),
                                          c.option, u"--path="_s + box_->path(u"out"_s)});
        EXPECT_EQ(r.status, c.status) << qPrintable(c.option);
        EXPECT_TRUE(r.out.contains(c.status ? kNotConnected : kConnected)) << qPrintable(r.out);
        EXPECT_EQ(r.out.contains(u"password authentication failed for user \"tsis_scram\""_s), c.status == 1)
            << qPrintable(r.out);
        EXPECT_EQ(r.err, QString());
    }
}

// Every command, with the password given plain and encoded: neither it nor
// its hexadecimal or Base64 form shows on the two streams, in the log, status
// or data files, or in the ODBC trace.
TEST_F(ScramLogin, NoCommandShowsThePassword)
{
    const QString out = u"--path="_s + box_->path(u"out"_s);
    const QString school = u"--school=101"_s;
    const QString district = u"--district=16"_s;
    const QList<QStringList> commands = {
        {u"version"_s, out},
        {u"params"_s, out},
        {u"params"_s, u"--paramkey=district"_s, out},
        {u"params"_s, u"--paramkey=school"_s, district, out},
        {u"params"_s, u"--paramkey=year"_s, district, school, out},
        {u"defaults"_s, u"--path="_s + box_->path(u"SVConfig.xml"_s)},
        {u"test"_s, u"--group=connection"_s, out},
        {u"test"_s, u"--group=school"_s, district, school, out},
        {u"run"_s, district, school, out},
    };
    const QStringList login = {u"--dsn=ScramPG"_s, user(), u"--logpath="_s + box_->path(u"logs"_s)};
    QFile::remove(trace());
    QString seen;
    for (const QString& option : {u"--pwd="_s + password(), u"--pwdencode="_s + encoded()})
        for (const QStringList& command : commands)
            // Status files are replaced by the next command: each answer is read at once.
            seen += everything(*box_, box_->run(command + login + QStringList{option}));
    EXPECT_TRUE(QFile::exists(box_->path(u"out/Students.sef"_s)));
    const QString traced = BridgeSandbox::readText(trace());
    // The queries are traced (the connect call carrying the password is not).
    EXPECT_TRUE(traced.contains(u"SQLExecDirectW"_s)) << "no ODBC trace";

    const QString all = seen + traced;
    // Also the pieces a mask that stops at ";" or "]" would let through.
    QStringList forms = password().split(QRegularExpression(u"[;\\]]"_s));
    forms.removeIf([](const QString& piece) { return piece.size() < 4; });
    forms << password() << encoded() << encoded().toLower()
          << QString::fromLatin1(password().toLatin1().toBase64());
    for (const QString& form : forms)
        EXPECT_FALSE(all.contains(form)) << qPrintable(form);
}

} // namespace
