#include "ProcessGuards.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>

void ProcessGuards::KeepOutOfCoreDumps()
{
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

void ProcessGuards::WithholdFromOthers()
{
    const mode_t mask = umask(0);
    umask(mask | S_IRWXO);
}

void ProcessGuards::MaskCommandLineValues(const QStringList&) {}
