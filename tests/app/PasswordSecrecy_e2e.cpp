#include "BridgeExpectations.h"
#include "BridgeProcess.h"

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

TEST(PasswordSecrecy, EncodedPasswordStaysOutOfLogsProtocolAndStatusFiles)
{
    BridgeSandbox box;
    QStringList args = runArgs(box);
    args << QStringLiteral("--pwdencode=") + kEncoded;
    const BridgeResult r = box.run(args);
    EXPECT_EQ(r.status, 1);
    const QString log = runLog(box);
    EXPECT_TRUE(log.contains(QStringLiteral("pwdencode is internal only.")));
    EXPECT_TRUE(log.contains(QStringLiteral("pwd is internal only.")));
    expectNoPassword(box, r);
}

TEST(PasswordSecrecy, PlainPasswordStaysOutOfLogsProtocolAndStatusFiles)
{
    BridgeSandbox box;
    QStringList args = runArgs(box);
    args << QStringLiteral("--pwd=") + kGivenPlain;
    const BridgeResult r = box.run(args);
    EXPECT_EQ(r.status, 1);
    const QString log = runLog(box);
    EXPECT_TRUE(log.contains(QStringLiteral("pwd is internal only.")));
    expectNoPassword(box, r);
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

} // namespace
