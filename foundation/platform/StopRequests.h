#pragma once

// Requests to stop the process from outside (SIGTERM and SIGINT; on Windows
// Ctrl-C, Ctrl-Break and closing the console or logging off) end it in an
// orderly way: each is taken on a thread of its own, so what a stop does runs
// as ordinary code, never inside a signal handler.
namespace StopRequests
{
// Runs with the request's name ("SIGINT", "SIGTERM", "SIGBREAK"); returns the
// exit status. Nothing of the interrupted work runs on after it: the process
// ends at once, without destructors or buffered output.
using Handler = int (*)(const char* name);

// Call first thing in main, before any other thread starts (on POSIX threads
// inherit the blocked signals). A closed reader of standard output or error
// no longer ends the process either: the write fails instead.
void Start(Handler handler);
} // namespace StopRequests
