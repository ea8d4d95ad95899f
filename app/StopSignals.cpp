#include "StopSignals.h"

#include "platform/StopRequests.h"

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

// The lock is never given back: the process ends with the action.
int onStop(const char* name)
{
    lockObject().lock();
    const std::function<int(const QString&)>& action = actionObject();
    return action ? action(QString::fromLatin1(name)) : 1;
}

} // namespace

namespace StopSignals
{

void start()
{
    StopRequests::Start(onStop);
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
