#include "ProcessGuards.h"

#include <windows.h>

void ProcessGuards::KeepOutOfCoreDumps()
{
    // No crash dialog either, which would keep an unattended run waiting.
    SetErrorMode(GetErrorMode() | SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
}

void ProcessGuards::WithholdFromOthers() {}
