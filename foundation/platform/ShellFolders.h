#pragma once

#include <QString>

// The user's folders as the system's shell names them.
namespace ShellFolders
{
// Per-user application data: the roaming folder on Windows (a user's
// settings follow them between the district's machines), the XDG data
// folder elsewhere.
QString ApplicationData();
} // namespace ShellFolders
