#pragma once

#include <QString>

// The small files through which the front-end learns how a command went.
// An empty folder means the default status folder; the folder is created first.
namespace StatusFiles
{

QString targetFolder(const QString& folder);

void removeFile(const QString& folder, const QString& fileName);

// Replaces the file with one line ended by CR LF (a link at its name is
// replaced, not followed); when that fails, the old file is removed.
void writeLine(const QString& folder, const QString& fileName, const QString& text);

// Whether the file holds "Succeeded" in any case; a missing file does not.
bool containsSucceeded(const QString& folder, const QString& fileName);

// "yyyy/MM/dd hh:mm:ss" of now.
QString timeStamp();

} // namespace StatusFiles
