#include "ProcessSecrecy.h"

#include <cstring>
#include <strings.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace ProcessSecrecy
{

void maskArguments(int argc, char** argv, const QStringList& keys)
{
    for (int i = 1; i < argc; ++i)
        for (const QString& key : keys)
        {
            const QByteArray prefix = "--" + key.toUtf8() + '=';
            if (strncasecmp(argv[i], prefix.constData(), static_cast<size_t>(prefix.size())) == 0)
                std::memset(argv[i] + prefix.size(), '*', std::strlen(argv[i] + prefix.size()));
        }
}

void keepOutOfCoreDumps()
{
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

void withholdFromOthers()
{
    const mode_t mask = umask(0);
    umask(mask | S_IRWXO);
}

} // namespace ProcessSecrecy
