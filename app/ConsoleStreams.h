#pragma once

#include <QString>

// The two text streams on standard output and standard error that every
// protocol line, "log" line and the usage text go through. Each write ends
// with a flush so the front-end sees lines as they happen.
namespace ConsoleStreams
{

void writeOut(const QString& text);
void writeErr(const QString& text);

// Lets in-process tests collect what would reach the streams; null restores
// the real streams.
void capture(QString* out, QString* err);

} // namespace ConsoleStreams
