#include "StopRequests.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

namespace
{
sigset_t StopSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

void WaitForStop(StopRequests::Handler handler)
{
    const sigset_t set = StopSet();
    int signal = 0;
    while (sigwait(&set, &signal) != 0)
    {
    }
    _exit(handler(signal == SIGINT ? "SIGINT" : "SIGTERM"));
}
} // namespace

void StopRequests::Start(Handler handler)
{
    const sigset_t set = StopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread(WaitForStop, handler).detach();
    signal(SIGPIPE, SIG_IGN);
}
