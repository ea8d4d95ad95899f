#pragma once

#include <QStringList>

// What the process withholds from other accounts and from crash handlers.
namespace ProcessGuards
{
// No core file and no other process's reading of this one's memory. (Windows
// writes no core file unless an administrator asked for crash dumps.)
void KeepOutOfCoreDumps();

// Files and folders the process creates grant nothing to others: the "other"
// bits join the umask, the group bits stay as they are, so a group can be
// given read access. (On Windows a new file takes its folder's permissions.)
void WithholdFromOthers();
// Overwrites with asterisks the values of "--key=value" arguments (key in any
// case) in the command line the system shows other processes, beyond the
// program's own argument strings. (On POSIX those are that command line.)
void MaskCommandLineValues(const QStringList& keys);
} // namespace ProcessGuards
