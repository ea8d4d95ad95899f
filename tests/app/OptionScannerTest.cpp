#include "OptionScanner.h"

#include <gtest/gtest.h>

namespace
{

QStringList warnings;

void collect(QtMsgType, const QMessageLogContext&, const QString& text)
{
    warnings.append(text);
}

class OptionScannerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        warnings.clear();
        previous_ = qInstallMessageHandler(collect);
    }
    void TearDown() override { qInstallMessageHandler(previous_); }

    OptionScanner::Result scan(const QStringList& args)
    {
        values.clear();
        flags.clear();
        OptionScanner scanner(QStringList{QStringLiteral("/opt/bin/tsisbridge")} + args, values, flags);
        scanner.addPositional(QStringLiteral("command"));
        scanner.addSwitch(QStringLiteral("all"));
        scanner.addSwitch(QStringLiteral("help"));
        scanner.addOption(QStringLiteral("path"), QString());
        scanner.addOption(QStringLiteral("group"), QString());
        scanner.addOption(QStringLiteral("year"), QString());
        scanner.addOption(QStringLiteral("year"), QString());
        scanner.addOption(QStringLiteral("pwd"), QString(), true);
        programName = scanner.programName();
        return scanner.scan();
    }

    ParamMap values;
    QMap<QString, bool> flags;
    QString programName;

private:
    QtMessageHandler previous_ = nullptr;
};

TEST_F(OptionScannerTest, ReadsCommandOptionsAndSwitches)
{
    ASSERT_EQ(scan({QStringLiteral("run"), QStringLiteral("--path=C:\\Out"), QStringLiteral("--all"),
                    QStringLiteral("--group=a=b")}),
              OptionScanner::Result::Succeeded);
    EXPECT_EQ(programName, QStringLiteral("tsisbridge"));
    EXPECT_EQ(values.value(QStringLiteral("command")), QStringLiteral("run"));
    EXPECT_EQ(values.value(QStringLiteral("path")), QStringLiteral("C:\\Out"));
    EXPECT_EQ(values.value(QStringLiteral("group")), QStringLiteral("a=b")); // split at the first "="
    EXPECT_TRUE(flags.value(QStringLiteral("all")));
    EXPECT_FALSE(flags.value(QStringLiteral("help")));
    EXPECT_TRUE(flags.contains(QStringLiteral("help")));
    EXPECT_TRUE(values.contains(QStringLiteral("year")));
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(OptionScannerTest, FirstOccurrenceOfARepeatedOptionWins)
{
    ASSERT_EQ(scan({QStringLiteral("--path=first"), QStringLiteral("run"), QStringLiteral("--path=second")}),
              OptionScanner::Result::Succeeded);
    EXPECT_EQ(values.value(QStringLiteral("path")), QStringLiteral("first"));
}

TEST_F(OptionScannerTest, OptionWithoutValueTakesItsDefault)
{
    ASSERT_EQ(scan({QStringLiteral("--path"), QStringLiteral("--all"), QStringLiteral("--group"),
                    QStringLiteral("run")}),
              OptionScanner::Result::Succeeded);
    EXPECT_EQ(values.value(QStringLiteral("command")), QStringLiteral("run"));
    EXPECT_EQ(values.value(QStringLiteral("path")), QString());
    EXPECT_EQ(values.value(QStringLiteral("group")), QString());
    EXPECT_TRUE(flags.value(QStringLiteral("all")));
}

TEST_F(OptionScannerTest, SeparateValueIsExaminedBeforeItsOption)
{
    // "C:\Out" is seen first and becomes the command; "run" then fills --path.
    ASSERT_EQ(scan({QStringLiteral("run"), QStringLiteral("--path"), QStringLiteral("C:\\Out")}),
              OptionScanner::Result::Succeeded);
    EXPECT_EQ(values.value(QStringLiteral("command")), QStringLiteral("C:\\Out"));
    EXPECT_EQ(values.value(QStringLiteral("path")), QStringLiteral("run"));
}

TEST_F(OptionScannerTest, SingleHyphenIsAPlainToken)
{
    ASSERT_EQ(scan({QStringLiteral("-")}), OptionScanner::Result::Succeeded);
    EXPECT_EQ(values.value(QStringLiteral("command")), QStringLiteral("-"));
}

TEST_F(OptionScannerTest, Failures)
{
    EXPECT_EQ(scan({}), OptionScanner::Result::Failed);
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Lacking required argument")});

    warnings.clear();
    EXPECT_EQ(scan({QStringLiteral("run"), QStringLiteral("run")}), OptionScanner::Result::Failed);
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Too many arguments --run")});

    warnings.clear();
    EXPECT_EQ(scan({QStringLiteral("run"), QStringLiteral("--Path=x")}), OptionScanner::Result::Failed);
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Unknown option --Path")});

    warnings.clear();
    EXPECT_EQ(scan({QStringLiteral("run"), QStringLiteral("-v")}), OptionScanner::Result::Failed);
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Unknown option -v")});

    // A value given after "=" is examined as a token of its own.
    warnings.clear();
    EXPECT_EQ(scan({QStringLiteral("run"), QStringLiteral("--year=-1")}), OptionScanner::Result::Failed);
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Unknown option -1")});

    // Nothing of a password's value is shown, down to a value inside it.
    for (const QString& password :
         {QStringLiteral("--S3cret"), QStringLiteral("--S3cret=x=y"), QStringLiteral("-S3cret")})
    {
        warnings.clear();
        EXPECT_EQ(scan({QStringLiteral("run"), QStringLiteral("--pwd=") + password}),
                  OptionScanner::Result::Failed);
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_EQ(warnings.first(), password.startsWith(QStringLiteral("--"))
                                        ? QStringLiteral("Unknown option --****")
                                        : QStringLiteral("Unknown option -****"));
    }
}

TEST_F(OptionScannerTest, BareDoubleHyphenAborts)
{
    EXPECT_EQ(scan({QStringLiteral("run"), QStringLiteral("--")}), OptionScanner::Result::Abort);
    EXPECT_EQ(warnings, QStringList{QStringLiteral("'--' feature not supported, yet")});
}

} // namespace
