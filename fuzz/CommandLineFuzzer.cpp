// The command-line scanner and the preparation of the values: each NUL-separated
// part of the input is one argument after the program name. Only the reading
// runs: nothing exits, opens a file or reaches a data source.
#include "BridgeBase.h"
#include "ConsoleStreams.h"
#include "FuzzInput.h"
#include "LogManager.h"
#include "PasswordText.h"

#include <QStringList>

namespace
{

class ScannedBridge : public BridgeBase
{
public:
    void read(const QStringList& arguments)
    {
        QString programName;
        if (scanArguments(arguments, programName) == OptionScanner::Result::Succeeded)
            prepareValues();
    }
};

void dropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

QString out;
QString err;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(dropMessage);
    ConsoleStreams::capture(&out, &err);
    LogManager::instance()->setOutputMode(LogManager::NoChannel);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QStringList arguments{QStringLiteral("/opt/tsis/tsisbridge")};
    for (const std::string& part : SplitAtNul(data, size))
        arguments.append(QString::fromUtf8(part.data(), static_cast<qsizetype>(part.size())));

    ScannedBridge bridge;
    bridge.read(arguments);
    PasswordText::maskArguments(arguments, {QStringLiteral("pwdencode"), QStringLiteral("pwd")});
    out.clear();
    err.clear();
    return 0;
}
