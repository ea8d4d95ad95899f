#include "ProtocolField.h"

QString protocolField(QString text)
{
    for (QChar& c : text)
    {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return text;
}
