#pragma once

#include <QStringList>

// A password given on the command line stays out of what other accounts and
// crash handlers can read of the process.
namespace ProcessSecrecy
{

// Overwrites the values of "--key=value" arguments whose key is one of keys
// (in any case) with asterisks, in the process's own argument strings, which
// the process list shows for the whole run.
void maskArguments(int argc, char** argv, const QStringList& keys);

// No core file and no other process's reading of this one's memory.
void keepOutOfCoreDumps();

} // namespace ProcessSecrecy
