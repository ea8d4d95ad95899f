#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The status and log files live in folders other accounts may write too: a
// link planted at one of their names is never written through.
namespace PlainFiles
{

// Writes the bytes under a fresh name beside path and renames it over path,
// which replaces a link there instead of following it. False on failure.
bool replace(const QString& path, const QByteArray& bytes);

// Opens path for appending, creating it when missing; a link or anything
// else but a regular file at path is refused (false, with errorText set).
bool openForAppend(QFile& file, const QString& path, QString& errorText);

} // namespace PlainFiles
