// Hostile values in every parameter of every command: each answer is a clean
// protocol answer (a correct result, or exit status 1 with an error, warning,
// failed-test or warning-level log line, or the usage text), never a crash, a
// hang, a broken line or text that is no UTF-8.

#include "BridgeHarness.h"

#include <gtest/gtest.h>

#include <QStringDecoder>

namespace
{

const QStringList kParameters = {u"path"_s,     u"logpath"_s,  u"log"_s,          u"group"_s,
                                 u"paramkey"_s, u"validate"_s, u"inactivedate"_s, u"year"_s,
                                 u"teacher"_s,  u"dsn"_s,      u"user"_s,         u"pwdencode"_s,
                                 u"pwd"_s,      u"district"_s, u"school"_s,       u"useyear"_s};

// Protocol words and the number of fields their lines have (0: any number).
const QMap<QString, int> kLineFields = {
    {u"log"_s, 5},           {u"error"_s, 3},          {u"warning"_s, 3},
    {u"missing"_s, 3},       {u"start_progress"_s, 2}, {u"end_progress"_s, 1},
    {u"inc_progress"_s, 0},  {u"warn_progress"_s, 2},  {u"test"_s, 4},
    {u"version"_s, 6},       {u"params"_s, 6},         {u"hidden_param"_s, 4},
    {u"district_list"_s, 5}, {u"school_list"_s, 5},    {u"year_list"_s, 5},
    {u"bridgelist"_s, 5}};

struct Command
{
    const char* word;
    QStringList baseline; // valid values, key=value
};

// What is wrong with an answer; empty when it is a clean one.
QString fault(const char* command, int rawStatus, const QByteArray& outBytes, const QByteArray& errBytes)
{
    if (rawStatus == -1)
        return u"no answer within the time limit"_s;
    if (!WIFEXITED(rawStatus))
        return u"ended by signal "_s + QString::number(WTERMSIG(rawStatus));
    const int status = WEXITSTATUS(rawStatus);
    if (status != 0 && status != 1)
        return u"exit status "_s + QString::number(status);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString out = utf8(outBytes);
    QString err = utf8(errBytes);
    if (utf8.hasError())
        return u"no UTF-8"_s;
    const bool usage = err.contains(kUsage);
    err.remove(kUsage);
    bool failureLine = usage;
    for (const QString& line : (out + err).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    {
        const QStringList fields = line.split(QLatin1Char('\t'));
        const auto known = kLineFields.constFind(fields.first());
        if (known == kLineFields.cend())
            return u"not a protocol line: "_s + line.left(200);
        if (known.value() != 0 && known.value() != fields.size())
            return u"%1 fields in: "_s.arg(fields.size()) + line.left(200);
        // The defaults command tells its failures in a log line only.
        const bool logged = fields.first() == u"log"_s && (fields.value(1).startsWith(u"Warning"_s) ||
                                                           fields.value(1).startsWith(u"Error"_s));
        if (fields.first() == u"error"_s || fields.first() == u"warning"_s || logged ||
            (fields.first() == u"test"_s && fields.value(2) == u"fail"_s))
            failureLine = true;
    }
    // A settings file that cannot be found or read gives the bare bracket.
    static const QRegularExpression logLine(u"^log\t[^\n]*\n"_s, QRegularExpression::MultilineOption);
    if (qstrcmp(command, "defaults") == 0 && QString(out).remove(logLine) == kEmptyAnswer)
        failureLine = true;
    if (status == 1 && !failureLine)
        return u"exit status 1 without an error line: "_s + out.left(300);
    return QString();
}

TEST(HostileInput, EveryCommandAnswersCleanlyToHostileValues)
{
    BridgeSandbox box;
    const QString out = box.path(u"out"_s);
    const std::vector<Command> commands = {
        {"run", {u"path="_s + out, u"dsn=NoSuchSource"_s, u"district=7"_s, u"school=0042"_s}},
        {"test", {u"group=connection"_s, u"dsn=NoSuchSource"_s}},
        {"params", {u"group=school"_s, u"paramkey=district"_s, u"dsn=NoSuchSource"_s}},
        {"defaults", {u"path="_s + box.path(u"SVConfig.xml"_s)}},
        {"version", {}},
    };
    const QByteArray all = "it's \"quoted\";DSN=x;UID=y{braces}%s%n%1%%\ttab\nnewline \xff\xfe\xc3(";
    const std::vector<QByteArray> values = {
        "it's \"quoted\"",      "a;b;DSN=Other;PWD=x", "{braces}{}", "%s%n%d%1%%", "tab\there\nnext\r\nline",
        QByteArray(10000, 'W'), "\xff\xfe\xc3(",       "",           all};

    QStringList faults;
    int runs = 0;
    auto check = [&](const char* command, const std::vector<QByteArray>& arguments, const QByteArray& what)
    {
        std::vector<QByteArray> argv{TSISBRIDGE_EXE, command};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const Launched launched = launchBridgeBytes(box, argv, u"answer"_s);
        const int raw = waitBridge(launched, 20);
        const QString problem =
            fault(command, raw, e2e::ReadFile(launched.outFile), e2e::ReadFile(launched.errFile));
        ++runs;
        if (!problem.isEmpty())
            faults << QString::fromLatin1(QByteArray(command).left(20).toPercentEncoding()) +
                          QLatin1Char(' ') + QString::fromLatin1(what.left(80)) + u": "_s + problem;
    };

    for (const Command& command : commands)
    {
        for (const QByteArray& value : values)
        {
            // Every parameter at once.
            std::vector<QByteArray> arguments;
            for (const QString& key : kParameters)
                arguments.push_back("--" + key.toLatin1() + '=' + value);
            check(command.word, arguments, "every parameter " + value.left(40).toPercentEncoding());
        }
        // One parameter at a time among valid ones, with the long and the mixed value.
        for (const QString& key : kParameters)
            for (const QByteArray& value : {values[5], all})
            {
                std::vector<QByteArray> arguments;
                for (const QString& valid : command.baseline)
                    if (!valid.startsWith(key + QLatin1Char('=')))
                        arguments.push_back("--" + valid.toUtf8());
                arguments.push_back("--" + key.toLatin1() + '=' + value);
                check(command.word, arguments, key.toLatin1() + '=' + value.left(40).toPercentEncoding());
            }
    }
    // The command word itself.
    for (const QByteArray& value : values)
        check(value.constData(), {}, "command word " + value.left(40).toPercentEncoding());

    EXPECT_TRUE(faults.isEmpty()) << runs << " runs, faults:\n" << qPrintable(faults.join(QLatin1Char('\n')));
}

} // namespace
