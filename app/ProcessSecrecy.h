#pragma once

#include <QStringList>

// A password given on the command line, and the data the process writes,
// stay out of what other accounts and crash handlers can read.
namespace ProcessSecrecy
{

// Overwrites the values of "--key=value" arguments whose key is one of keys
// (in any case) with asterisks, in the process's own argument strings, which
// the process list shows for the whole run.
void maskArguments(int argc, char** argv, const QStringList& keys);

// No core file and no other process's reading of this one's memory.
void keepOutOfCoreDumps();

// Files and folders the process creates grant nothing to others (student
// data, under cron's umask 022, would be world-readable); group bits stay as
// the umask has them, so a group can be given read access.
void withholdFromOthers();

} // namespace ProcessSecrecy
