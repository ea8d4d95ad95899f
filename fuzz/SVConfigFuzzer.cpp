// The SVConfig.xml reader of the defaults command: the input is the file's
// content, named by --path as the front-end does.
#include "BridgeBase.h"
#include "ConsoleStreams.h"
#include "KeyWords.h"
#include "LogManager.h"
#include "SISMessageWriter.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

class DefaultsBridge : public BridgeBase
{
public:
    explicit DefaultsBridge(const QString& file) { params_.insert(Key::path, file); }
};

QString out;
QString err;
std::string file;

void removeFile()
{
    std::remove(file.c_str());
    std::remove(file.substr(0, file.rfind('/')).c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ConsoleStreams::capture(&out, &err);
    LogManager::instance()->setOutputMode(LogManager::NoChannel);
    char folder[] = "/tmp/tsis-fuzz-svconfig-XXXXXX";
    if (!mkdtemp(folder))
        std::abort();
    file = std::string(folder) + "/SVConfig.xml";
    std::atexit(removeFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    DefaultsBridge bridge(QString::fromStdString(file));
    bridge.commandDefaults();
    SISMessageWriter::instance()->clearMessages();
    out.clear();
    err.clear();
    return 0;
}
