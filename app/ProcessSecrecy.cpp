#include "ProcessSecrecy.h"

#include "platform/ProcessGuards.h"

#include <cstring>

namespace ProcessSecrecy
{

void maskArguments(int argc, char** argv, const QStringList& keys)
{
    for (int i = 1; i < argc; ++i)
        for (const QString& key : keys)
        {
            const QByteArray prefix = "--" + key.toUtf8() + '=';
            if (qstrnicmp(argv[i], prefix.constData(), static_cast<size_t>(prefix.size())) == 0)
                std::memset(argv[i] + prefix.size(), '*', std::strlen(argv[i] + prefix.size()));
        }
    ProcessGuards::MaskCommandLineValues(keys);
}

void keepOutOfCoreDumps()
{
    ProcessGuards::KeepOutOfCoreDumps();
}

void withholdFromOthers()
{
    ProcessGuards::WithholdFromOthers();
}

} // namespace ProcessSecrecy
