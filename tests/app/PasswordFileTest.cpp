#include "PasswordFile.h"
#include <QByteArray>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace
{

class PasswordFileTest : public ::testing::Test
{
protected:
    void TearDown() override { qunsetenv(PasswordFile::Variable); }

    QString file(const QByteArray& bytes)
    {
        const QString name = dir_.filePath(u"secret"_s);
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
        {"s3cret", u"s3cret"_s},
        {"s3cret\n", u"s3cret"_s},
        {"s3cret\r\n", u"s3cret"_s},
        {"s3cret\n\n", u"s3cret\n"_s},
        {" s3 cret \r", u" s3 cret \r"_s},
        {"p\xC3\xA4ss\n", u"p\u00E4ss"_s},
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
    password = u"given"_s;
    EXPECT_EQ(PasswordFile::supply(password), QString());
    EXPECT_EQ(password, u"given"_s);
}

TEST_F(PasswordFileTest, UnreadableFileIsAnErrorNamingTheFile)
{
    const QString prefix = u"Could not read the password file named by TSISBRIDGE_PASSWORD_FILE: "_s;
    const QString missing = dir_.filePath(u"missing"_s);
    const QString large = file(QByteArray(5000, 'x'));
    // The cause after the file name is the system's own wording.
    const struct
    {
        QString name;
        QString problem;
    } cases[] = {
        {missing, prefix + missing + u": "_s},
        {dir_.path(), prefix + dir_.path() + u": "_s},
        {QString(), prefix + u": no file name"_s},
        {large, prefix + large + u": longer than 4096 bytes"_s},
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
