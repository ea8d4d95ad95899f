#include "OptionScanner.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
        OptionScanner scanner(QStringList{u"/opt/bin/tsisbridge"_s} + args, values, flags);
        scanner.addPositional(u"command"_s);
        scanner.addSwitch(u"all"_s);
        scanner.addSwitch(u"help"_s);
        scanner.addOption(u"path"_s, QString());
        scanner.addOption(u"group"_s, QString());
        scanner.addOption(u"year"_s, QString());
        scanner.addOption(u"year"_s, QString());
        scanner.addOption(u"pwd"_s, QString(), true);
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
    ASSERT_EQ(scan({u"run"_s, u"--path=C:\\Out"_s, u"--all"_s, u"--group=a=b"_s}),
              OptionScanner::Result::Succeeded);
    EXPECT_EQ(programName, u"tsisbridge"_s);
    EXPECT_EQ(values.value(u"command"_s), u"run"_s);
    EXPECT_EQ(values.value(u"path"_s), u"C:\\Out"_s);
    EXPECT_EQ(values.value(u"group"_s), u"a=b"_s); // split at the first "="
    EXPECT_TRUE(flags.value(u"all"_s));
    EXPECT_FALSE(flags.value(u"help"_s));
    EXPECT_TRUE(flags.contains(u"help"_s));
    EXPECT_TRUE(values.contains(u"year"_s));
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(OptionScannerTest, FirstOccurrenceOfARepeatedOptionWins)
{
    ASSERT_EQ(scan({u"--path=first"_s, u"run"_s, u"--path=second"_s}), OptionScanner::Result::Succeeded);
    EXPECT_EQ(values.value(u"path"_s), u"first"_s);
}

TEST_F(OptionScannerTest, OptionWithoutValueTakesItsDefault)
{
    ASSERT_EQ(scan({u"--path"_s, u"--all"_s, u"--group"_s, u"run"_s}), OptionScanner::Result::Succeeded);
    EXPECT_EQ(values.value(u"command"_s), u"run"_s);
    EXPECT_EQ(values.value(u"path"_s), QString());
    EXPECT_EQ(values.value(u"group"_s), QString());
    EXPECT_TRUE(flags.value(u"all"_s));
}

TEST_F(OptionScannerTest, SeparateValueIsExaminedBeforeItsOption)
{
    // "C:\Out" is seen first and becomes the command; "run" then fills --path.
    ASSERT_EQ(scan({u"run"_s, u"--path"_s, u"C:\\Out"_s}), OptionScanner::Result::Succeeded);
    EXPECT_EQ(values.value(u"command"_s), u"C:\\Out"_s);
    EXPECT_EQ(values.value(u"path"_s), u"run"_s);
}

TEST_F(OptionScannerTest, SingleHyphenIsAPlainToken)
{
    ASSERT_EQ(scan({u"-"_s}), OptionScanner::Result::Succeeded);
    EXPECT_EQ(values.value(u"command"_s), u"-"_s);
}

// The usage failures (no command, two commands, an unknown option, a bare
// "--") are whole answers of the process tests; these are the finer ones.
TEST_F(OptionScannerTest, Failures)
{
    const struct
    {
        QStringList args;
        QString warning;
    } cases[] = {
        {{u"run"_s, u"--Path=x"_s}, u"Unknown option --Path"_s},
        // A value given after "=" is examined as a token of its own.
        {{u"run"_s, u"--year=-1"_s}, u"Unknown option -1"_s},
        // Nothing of a password's value is shown, down to a value inside it.
        {{u"run"_s, u"--pwd=--S3cret"_s}, u"Unknown option --****"_s},
        {{u"run"_s, u"--pwd=--S3cret=x=y"_s}, u"Unknown option --****"_s},
        {{u"run"_s, u"--pwd=-S3cret"_s}, u"Unknown option -****"_s},
    };
    for (const auto& c : cases)
    {
        warnings.clear();
        EXPECT_EQ(scan(c.args), OptionScanner::Result::Failed);
        EXPECT_EQ(warnings, QStringList{c.warning});
    }
}

} // namespace
