#include "LogManager.h"
#include "CapturedConsole.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

class LogManagerTest : public ::testing::Test
{
protected:
    void TearDown() override { manager->setOutputMode(LogManager::BothChannels); }

    LogManager* manager = LogManager::instance();
    CapturedConsole console;
};

TEST_F(LogManagerTest, LevelNamesAreThirteenCharacters)
{
    for (int level : {-1, 0, 1, 2, 3, 4, 5, 7, 8, 9})
        EXPECT_EQ(LogManager::levelName(level).size(), 13) << level;
    EXPECT_EQ(LogManager::levelName(6), QString());
    EXPECT_EQ(LogManager::levelName(3), QStringLiteral("Error        "));
}

TEST_F(LogManagerTest, ConsoleRoutingFollowsTheModeExceptForErrors)
{
    manager->setOutputMode(LogManager::NoChannel);
    manager->log(3, QStringLiteral("bad"), QStringLiteral("A::b"));
    manager->log(4, QStringLiteral("hidden"), QStringLiteral("A::b"));
    manager->log(-1, QStringLiteral("none"), QStringLiteral("A::b"));
    manager->setOutputMode(LogManager::BothChannels);
    manager->log(6, QStringLiteral("warned"), QString());
    manager->log(8, QStringLiteral("debug"), QString());
    manager->log(9, QStringLiteral("secret"), QString());
    manager->setOutputMode(LogManager::ConsoleOff);
    manager->log(7, QStringLiteral("file only"), QString());
    manager->setOutputMode(LogManager::FileOff);
    manager->log(7, QStringLiteral("console only"), QString());
    EXPECT_EQ(console.maskedOut(), QStringLiteral("log\tError        \thh:mm:ss\tA::b\tbad\n"
                                                  "log\t\thh:mm:ss\t\twarned\n"
                                                  "log\tInformational\thh:mm:ss\t\tconsole only\n"));
}

TEST_F(LogManagerTest, FileChannelWritesLinesProprietaryAndPrunes)
{
    QTemporaryDir dir;
    // The oldest is named in another case: matched and sorted without regard to case, it goes first.
    for (int day = 1; day <= 8; ++day)
    {
        QFile old(dir.filePath(
            (day == 1 ? QStringLiteral("unit-2019-02-%1.log") : QStringLiteral("Unit-2019-02-%1.log"))
                .arg(day, 2, 10, QLatin1Char('0'))));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    }
    manager->setName(QStringLiteral("Unit Name"));
    manager->setFolder(dir.path());
    ASSERT_TRUE(manager->setFileName(QStringLiteral("Unit")));
    const QString file = QStringLiteral("Unit-") +
                         QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log");
    EXPECT_EQ(manager->fileName(), dir.filePath(file));

    manager->setOutputMode(LogManager::ConsoleOff);
    manager->log(9, QStringLiteral("x"), QStringLiteral("M::m"));
    manager->log(8, QStringLiteral("detail"), QStringLiteral("M::m"));
    manager->log(-1, QStringLiteral("never"), QStringLiteral("M::m"));

    const QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left.size(), 7);
    EXPECT_EQ(left.first(), QStringLiteral("Unit-2019-02-03.log"));
    EXPECT_EQ(left.last(), file);

    QFile log(dir.filePath(file));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4) << text.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Unit Name:")));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(": Informational LogManager::setupLogFile: Log file ") +
                                  dir.filePath(file) + QStringLiteral(" setup.")));
    // The proprietary line is the Base64 of the whole formatted line.
    ASSERT_TRUE(lines[1].startsWith(QStringLiteral("proprietary:")));
    const QString decoded = QString::fromUtf8(QByteArray::fromBase64(lines[1].mid(12).toLatin1()));
    EXPECT_TRUE(decoded.startsWith(QStringLiteral("Unit Name:")));
    EXPECT_TRUE(decoded.endsWith(QStringLiteral(": Proprietary   M::m: x")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(": Debug         M::m: detail")));
    EXPECT_EQ(lines[3], QString());
    EXPECT_EQ(console.maskedOut(),
              QStringLiteral("log\tInformational\thh:mm:ss\tLogManager::setupLogFile\tLog file ") +
                  dir.filePath(file) + QStringLiteral(" setup.\n"));
}

} // namespace
