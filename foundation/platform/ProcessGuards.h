#pragma once

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
} // namespace ProcessGuards
