#include "ConsoleStreams.h"

#include <QIODevice>
#include <QStringConverter>
#include <QTextStream>

#include <cstdio>

namespace
{

QTextStream& makeStream(FILE* file)
{
    auto* stream = new QTextStream(file, QIODevice::WriteOnly);
    // UTF-8 on Linux whatever locale the process was started in (the
    // front-end reads UTF-8 there); the ANSI code page on Windows, as a console
    // program's, where the C runtime also ends lines in CR LF.
    stream->setEncoding(QStringConverter::System);
    return *stream;
}

// Bound during static initialisation; never destroyed so late writes stay safe.
QTextStream& outStream = makeStream(stdout);
QTextStream& errStream = makeStream(stderr);

QString* capturedOut = nullptr;
QString* capturedErr = nullptr;

void put(QTextStream& stream, QString* captured, const QString& text)
{
    if (captured)
    {
        captured->append(text);
        return;
    }
    stream << text;
    stream.flush();
}

} // namespace

namespace ConsoleStreams
{

void writeOut(const QString& text)
{
    put(outStream, capturedOut, text);
}

void writeErr(const QString& text)
{
    put(errStream, capturedErr, text);
}

void capture(QString* out, QString* err)
{
    capturedOut = out;
    capturedErr = err;
}

} // namespace ConsoleStreams
