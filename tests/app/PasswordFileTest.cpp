#include "PasswordFile.h"
#include <QByteArray>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

class PasswordFileTest : public ::testing::Test
{
protected:
    void TearDown() override { qunsetenv(PasswordFile::Variable); }

    QString file(const QByteArray& bytes)
    {
        const QString name = dir_.filePath(QStringLiteral("secret"));
        QFile f(name);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return name;
    }
    static void point(const QString& name) { qputenv(PasswordFile::Variable, name.toUtf8()); }

    QTemporaryDir dir_;
};

TEST_F(PasswordFileTest, RemovesOneTrailingLineEnd)
{
    const struct
    {
        QByteArray bytes;
        QString password;
    } cases[] = {
        {"s3cret", QStringLiteral("s3cret")},
        {"s3cret\n", QStringLiteral("s3cret")},
        {"s3cret\r\n", QStringLiteral("s3cret")},
        {"s3cret\n\n", QStringLiteral("s3cret\n")},
        {" s3 cret \r", QStringLiteral(" s3 cret \r")},
        {"p\xC3\xA4ss\n", QStringLiteral("p\u00E4ss")},
        {"\n", QString()},
    };
    for (const auto& c : cases)
    {
        point(file(c.bytes));
        QString password;
        EXPECT_EQ(PasswordFile::supply(password), QString());
        EXPECT_EQ(password, c.password) << c.bytes.constData();
    }
}

TEST_F(PasswordFileTest, GivenPasswordOrNoVariableLeavesThePasswordAsItIs)
{
    QString password;
    EXPECT_EQ(PasswordFile::supply(password), QString());
    EXPECT_EQ(password, QString());

    point(file("fromfile"));
    password = QStringLiteral("given");
    EXPECT_EQ(PasswordFile::supply(password), QString());
    EXPECT_EQ(password, QStringLiteral("given"));
}

TEST_F(PasswordFileTest, UnreadableFileIsAnErrorNamingTheFile)
{
    const QString prefix =
        QStringLiteral("Could not read the password file named by TSISBRIDGE_PASSWORD_FILE: ");
    const QString missing = dir_.filePath(QStringLiteral("missing"));
    const QString large = dir_.filePath(QStringLiteral("large"));
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray(5000, 'x')) == 5000);
    file.close();
    // The cause after the file name is the system's own wording.
    const struct
    {
        QString name;
        QString problem;
    } cases[] = {
        {missing, prefix + missing + QStringLiteral(": ")},
        {dir_.path(), prefix + dir_.path() + QStringLiteral(": ")},
        {QString(), prefix + QStringLiteral(": no file name")},
        {large, prefix + large + QStringLiteral(": longer than 4096 bytes")},
    };
    for (const auto& c : cases)
    {
        point(c.name);
        if (!qEnvironmentVariableIsSet(PasswordFile::Variable))
            continue; // Windows has no empty variables: setting one removes it
        QString password;
        const QString problem = PasswordFile::supply(password);
        EXPECT_TRUE(problem.startsWith(c.problem)) << qPrintable(problem);
        EXPECT_EQ(password, QString());
    }
}

} // namespace
