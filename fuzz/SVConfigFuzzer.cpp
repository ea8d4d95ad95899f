// The SVConfig.xml reader of the defaults command: the input is the file's
// content, named by --path as the front-end does.
#include "BridgeBase.h"
#include "ConsoleStreams.h"
#include "FuzzInput.h"
#include "KeyWords.h"
#include "LogManager.h"
#include "SISMessageWriter.h"

namespace
{

class DefaultsBridge : public BridgeBase
{
public:
    explicit DefaultsBridge(const QString& file) { params_.insert(Key::path, file); }
};

QString out;
QString err;

const ScratchFile& scratch()
{
    static const ScratchFile file("tsis-fuzz-svconfig", "SVConfig.xml");
    return file;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ConsoleStreams::capture(&out, &err);
    LogManager::instance()->setOutputMode(LogManager::NoChannel);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    scratch().write(data, size);
    DefaultsBridge bridge(QString::fromStdString(scratch().path()));
    bridge.commandDefaults();
    SISMessageWriter::instance()->clearMessages();
    out.clear();
    err.clear();
    return 0;
}
