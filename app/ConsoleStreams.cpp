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
    // The front-end reads UTF-8, whatever locale the process was started in.
    stream->setEncoding(QStringConverter::Utf8);
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
