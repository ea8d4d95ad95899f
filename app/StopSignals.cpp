#include "StopSignals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

namespace
{

// Never destroyed: the stop thread may still use them while the process exits.
std::mutex& lockObject()
{
    static auto* lock = new std::mutex;
    return *lock;
}

std::function<int(const QString&)>& actionObject()
{
    static auto* action = new std::function<int(const QString&)>;
    return *action;
}

sigset_t stopSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

void waitForStop()
{
    const sigset_t set = stopSet();
    int signal = 0;
    while (sigwait(&set, &signal) != 0)
    {
    }
    lockObject().lock();
    const std::function<int(const QString&)>& action = actionObject();
    const int status =
        action ? action(signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM")) : 1;
    // Nothing of the interrupted command may run on: no destructors, no buffered output.
    _exit(status);
}

} // namespace

namespace StopSignals
{

void start()
{
    const sigset_t set = stopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread(waitForStop).detach();
}

std::mutex& endLock()
{
    return lockObject();
}

void setAction(std::function<int(const QString& signalName)> action)
{
    const std::lock_guard<std::mutex> guard(lockObject());
    actionObject() = std::move(action);
}

} // namespace StopSignals
