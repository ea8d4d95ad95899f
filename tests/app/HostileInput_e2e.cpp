// Hostile values in every parameter of every command: each answer is a clean
// protocol answer (a correct result, or exit status 1 with an error, warning,
// failed-test or warning-level log line, or the usage text), never a crash, a
// hang, a broken line or text that is no UTF-8.

#include "BridgeHarness.h"

#include <gtest/gtest.h>

#include <QStringDecoder>

namespace
{

const QStringList kParameters = {
    QStringLiteral("path"),         QStringLiteral("logpath"),  QStringLiteral("log"),
    QStringLiteral("group"),        QStringLiteral("paramkey"), QStringLiteral("validate"),
    QStringLiteral("inactivedate"), QStringLiteral("year"),     QStringLiteral("teacher"),
    QStringLiteral("dsn"),          QStringLiteral("user"),     QStringLiteral("pwdencode"),
    QStringLiteral("pwd"),          QStringLiteral("district"), QStringLiteral("school"),
    QStringLiteral("useyear")};

// Protocol words and the number of fields their lines have (0: any number).
const QMap<QString, int> kLineFields = {{QStringLiteral("log"), 5},
                                        {QStringLiteral("error"), 3},
                                        {QStringLiteral("warning"), 3},
                                        {QStringLiteral("missing"), 3},
                                        {QStringLiteral("start_progress"), 2},
                                        {QStringLiteral("end_progress"), 1},
                                        {QStringLiteral("inc_progress"), 0},
                                        {QStringLiteral("warn_progress"), 2},
                                        {QStringLiteral("test"), 4},
                                        {QStringLiteral("version"), 6},
                                        {QStringLiteral("params"), 6},
                                        {QStringLiteral("hidden_param"), 4},
                                        {QStringLiteral("district_list"), 5},
                                        {QStringLiteral("school_list"), 5},
                                        {QStringLiteral("year_list"), 5},
                                        {QStringLiteral("bridgelist"), 5}};

struct Command
{
    const char* word;
    QStringList baseline; // valid values, key=value
};

// What is wrong with an answer; empty when it is a clean one.
QString fault(const char* command, int rawStatus, const QByteArray& outBytes, const QByteArray& errBytes)
{
    if (rawStatus == -1)
        return QStringLiteral("no answer within the time limit");
    if (!WIFEXITED(rawStatus))
        return QStringLiteral("ended by signal ") + QString::number(WTERMSIG(rawStatus));
    const int status = WEXITSTATUS(rawStatus);
    if (status != 0 && status != 1)
        return QStringLiteral("exit status ") + QString::number(status);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString out = utf8(outBytes);
    QString err = utf8(errBytes);
    if (utf8.hasError())
        return QStringLiteral("no UTF-8");
    const bool usage = err.contains(kUsage);
    err.remove(kUsage);
    bool failureLine = usage;
    for (const QString& line : (out + err).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    {
        const QStringList fields = line.split(QLatin1Char('\t'));
        const auto known = kLineFields.constFind(fields.first());
        if (known == kLineFields.cend())
            return QStringLiteral("not a protocol line: ") + line.left(200);
        if (known.value() != 0 && known.value() != fields.size())
            return QStringLiteral("%1 fields in: ").arg(fields.size()) + line.left(200);
        // The defaults command tells its failures in a log line only.
        const bool logged = fields.first() == QStringLiteral("log") &&
                            (fields.value(1).startsWith(QStringLiteral("Warning")) ||
                             fields.value(1).startsWith(QStringLiteral("Error")));
        if (fields.first() == QStringLiteral("error") || fields.first() == QStringLiteral("warning") ||
            logged || (fields.first() == QStringLiteral("test") && fields.value(2) == QStringLiteral("fail")))
            failureLine = true;
    }
    // A settings file that cannot be found or read gives the bare bracket.
    static const QRegularExpression logLine(QStringLiteral("^log\t[^\n]*\n"),
                                            QRegularExpression::MultilineOption);
    if (qstrcmp(command, "defaults") == 0 && QString(out).remove(logLine) == kEmptyAnswer)
        failureLine = true;
    if (status == 1 && !failureLine)
        return QStringLiteral("exit status 1 without an error line: ") + out.left(300);
    return QString();
}

TEST(HostileInput, EveryCommandAnswersCleanlyToHostileValues)
{
    BridgeSandbox box;
    const QString out = box.path(QStringLiteral("out"));
    const std::vector<Command> commands = {
        {"run",
         {QStringLiteral("path=") + out, QStringLiteral("dsn=NoSuchSource"), QStringLiteral("district=7"),
          QStringLiteral("school=0042")}},
        {"test", {QStringLiteral("group=connection"), QStringLiteral("dsn=NoSuchSource")}},
        {"params",
         {QStringLiteral("group=school"), QStringLiteral("paramkey=district"),
          QStringLiteral("dsn=NoSuchSource")}},
        {"defaults", {QStringLiteral("path=") + box.path(QStringLiteral("SVConfig.xml"))}},
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
        Launched launched;
        launched.outFile = box.path(QStringLiteral("answer.out"));
        launched.errFile = box.path(QStringLiteral("answer.err"));
        launched = launchBridgeBytes(box, argv, launched);
        const int raw = waitBridge(launched, 20);
        const QString problem = fault(command, raw, e2e::ReadFile(launched.outFile), e2e::ReadFile(launched.errFile));
        ++runs;
        if (!problem.isEmpty())
            faults << QString::fromLatin1(QByteArray(command).left(20).toPercentEncoding()) +
                          QLatin1Char(' ') + QString::fromLatin1(what.left(80)) + QStringLiteral(": ") +
                          problem;
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
