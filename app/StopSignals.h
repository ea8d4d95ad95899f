#pragma once

#include <QString>

#include <functional>
#include <mutex>

// A request to stop (SIGTERM, SIGINT; Ctrl-C, Ctrl-Break or closing the
// console on Windows) ends the process in an orderly way: it is taken on a
// thread of its own, so what a stop does runs as ordinary code, never inside a
// signal handler.
namespace StopSignals
{

// Call first thing in main, before any other thread starts: threads inherit
// the blocked signals. A front-end that stops reading no longer ends the
// process: the line is lost, the run goes on.
void start();

// Held while a command writes its end, and by the stop while it runs its action,
// so the two never interleave.
std::mutex& endLock();

// What a stop does (with endLock held) before the process ends; it returns
// the exit status. Without an action the process ends with status 1.
// Set and clear it with endLock not held.
void setAction(std::function<int(const QString& signalName)> action);

} // namespace StopSignals
