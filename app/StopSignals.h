#pragma once

#include <QString>

#include <functional>
#include <mutex>

// SIGTERM and SIGINT end the process in an orderly way: they are blocked in
// every thread and taken by a thread of its own with sigwait, so what a stop
// does runs as ordinary code, never inside a signal handler.
namespace StopSignals
{

// Call first thing in main, before any other thread starts: threads inherit
// the blocked signals.
void start();

// Held while a command writes its end, and by the stop while it runs its action,
// so the two never interleave.
std::mutex& endLock();

// What a stop does (with endLock held) before the process ends; it returns
// the exit status. Without an action the process ends with status 1.
// Set and clear it with endLock not held.
void setAction(std::function<int(const QString& signalName)> action);

} // namespace StopSignals
