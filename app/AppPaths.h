#pragma once

#include <QString>

// Folders the application derives from the system, and the conversion of a
// given folder text into a path of this platform.
namespace AppPaths
{

// The user's per-user application data folder.
QString applicationDataFolder();

// The user's documents folder.
QString documentsFolder();

// Default folder of the status files when no output folder is given.
QString defaultStatusFolder();

// Folder of the running executable.
QString executableFolder();

// A backslash in a given path is a separator here as well.
QString localPath(const QString& path);

// folder + separator + name.
QString join(const QString& folder, const QString& name);

} // namespace AppPaths
