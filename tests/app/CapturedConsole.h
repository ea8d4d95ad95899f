#pragma once

#include "QStringPrinter.h"

#include "ConsoleStreams.h"

#include <QRegularExpression>
#include <QString>

// Collects what the protocol writer and the log manager would write on the
// two streams while it is alive.
class CapturedConsole
{
public:
    CapturedConsole() { ConsoleStreams::capture(&out, &err); }
    ~CapturedConsole() { ConsoleStreams::capture(nullptr, nullptr); }
    CapturedConsole(const CapturedConsole&) = delete;
    CapturedConsole& operator=(const CapturedConsole&) = delete;

    QString maskedOut() const
    {
        static const QRegularExpression time(QStringLiteral("\t\\d\\d:\\d\\d:\\d\\d\t"));
        QString text = out;
        return text.replace(time, QStringLiteral("\thh:mm:ss\t"));
    }

    QString out;
    QString err;
};
