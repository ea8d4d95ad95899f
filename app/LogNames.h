#pragma once

#include <QString>

// Folder and base name of the run's log file, with the characters a file
// system or the front-end could stumble on replaced by "_".
namespace LogNames
{

QString folder(const QString& folder);

QString baseName(const QString& shortName, const QString& customer, const QString& school);

} // namespace LogNames
