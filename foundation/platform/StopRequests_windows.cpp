#include "StopRequests.h"

#include <windows.h>

#include <cstdlib>

namespace
{
StopRequests::Handler g_handler = nullptr;

// The system calls this on a thread of its own for each console event.
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    const char* name = nullptr;
    switch (event)
    {
    case CTRL_C_EVENT:
        name = "SIGINT";
        break;
    case CTRL_BREAK_EVENT:
        name = "SIGBREAK";
        break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        name = "SIGTERM";
        break;
    default:
        return FALSE;
    }
    _exit(g_handler ? g_handler(name) : 1);
}
} // namespace

void StopRequests::Start(Handler handler)
{
    g_handler = handler;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
