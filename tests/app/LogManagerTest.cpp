#include "LogManager.h"
#include "CapturedConsole.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
    EXPECT_EQ(LogManager::levelName(3), u"Error        "_s);
}

TEST_F(LogManagerTest, ConsoleRoutingFollowsTheModeExceptForErrors)
{
    manager->setOutputMode(LogManager::NoChannel);
    manager->log(3, u"bad"_s, u"A::b"_s);
    manager->log(4, u"hidden"_s, u"A::b"_s);
    manager->log(-1, u"none"_s, u"A::b"_s);
    manager->setOutputMode(LogManager::BothChannels);
    manager->log(6, u"warned"_s, QString());
    manager->log(8, u"debug"_s, QString());
    manager->log(9, u"secret"_s, QString());
    manager->setOutputMode(LogManager::ConsoleOff);
    manager->log(7, u"file only"_s, QString());
    manager->setOutputMode(LogManager::FileOff);
    manager->log(7, u"console only"_s, QString());
    EXPECT_EQ(console.maskedOut(), u"log\tError        \thh:mm:ss\tA::b\tbad\n"
                                   "log\t\thh:mm:ss\t\twarned\n"
                                   "log\tInformational\thh:mm:ss\t\tconsole only\n"_s);
}

TEST_F(LogManagerTest, FileChannelWritesLinesProprietaryAndPrunes)
{
    QTemporaryDir dir;
    // The oldest is named in another case: matched and sorted without regard to case, it goes first.
    for (int day = 1; day <= 8; ++day)
    {
        QFile old(dir.filePath((day == 1 ? u"unit-2019-02-%1.log"_s : u"Unit-2019-02-%1.log"_s)
                                   .arg(day, 2, 10, QLatin1Char('0'))));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    }
    manager->setName(u"Unit Name"_s);
    manager->setFolder(dir.path());
    ASSERT_TRUE(manager->setFileName(u"Unit"_s));
    const QString file = u"Unit-"_s + QDate::currentDate().toString(u"yyyy-MM-dd"_s) + u".log"_s;
    EXPECT_EQ(manager->fileName(), dir.filePath(file));

    manager->setOutputMode(LogManager::ConsoleOff);
    manager->log(9, u"x"_s, u"M::m"_s);
    manager->log(8, u"detail"_s, u"M::m"_s);
    manager->log(-1, u"never"_s, u"M::m"_s);

    const QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left.size(), 7);
    EXPECT_EQ(left.first(), u"Unit-2019-02-03.log"_s);
    EXPECT_EQ(left.last(), file);

    QFile log(dir.filePath(file));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    const QStringList lines = text.split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), 4) << text.toStdString();
    EXPECT_TRUE(lines[0].startsWith(u"Unit Name:"_s));
    EXPECT_TRUE(lines[0].endsWith(u": Informational LogManager::setupLogFile: Log file "_s +
                                  dir.filePath(file) + u" setup."_s));
    // The proprietary line is the Base64 of the whole formatted line.
    ASSERT_TRUE(lines[1].startsWith(u"proprietary:"_s));
    const QString decoded = QString::fromUtf8(QByteArray::fromBase64(lines[1].mid(12).toLatin1()));
    EXPECT_TRUE(decoded.startsWith(u"Unit Name:"_s));
    EXPECT_TRUE(decoded.endsWith(u": Proprietary   M::m: x"_s));
    EXPECT_TRUE(lines[2].endsWith(u": Debug         M::m: detail"_s));
    EXPECT_EQ(lines[3], QString());
    EXPECT_EQ(console.maskedOut(), u"log\tInformational\thh:mm:ss\tLogManager::setupLogFile\tLog file "_s +
                                       dir.filePath(file) + u" setup.\n"_s);
}

} // namespace
