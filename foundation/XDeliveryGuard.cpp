#include "XDeliveryGuard.h"

#include <atomic>

namespace
{

std::atomic<bool> g_delivered{false};

} // namespace

namespace XDeliveryGuard
{

std::mutex& Lock()
{
    // Never destroyed: a stop may take it while the process exits.
    static auto* lock = new std::mutex;
    return *lock;
}

bool Delivered()
{
    return g_delivered.load();
}

void SetDelivered(bool delivered)
{
    g_delivered.store(delivered);
}

} // namespace XDeliveryGuard
