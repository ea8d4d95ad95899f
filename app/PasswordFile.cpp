#include "PasswordFile.h"

#include <QFile>

namespace PasswordFile
{

namespace
{

constexpr qsizetype kMaxBytes = 4096;

} // namespace

QString supply(QString& password)
{
    if (!password.isEmpty() || !qEnvironmentVariableIsSet(Variable))
        return QString();
    const QString name = qEnvironmentVariable(Variable);
    const QString problem = QStringLiteral("Could not read the password file named by ") +
                            QLatin1String(Variable) + QStringLiteral(": ") + name + QStringLiteral(": ");
    if (name.isEmpty())
        return problem + QStringLiteral("no file name");
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return problem + file.errorString();
    // Read to the end, as a pipe may deliver the text in parts; a file named by
    // mistake (a device, a large file) is refused instead of read whole.
    QByteArray text;
    while (text.size() <= kMaxBytes)
    {
        const QByteArray part = file.read(kMaxBytes + 1 - text.size());
        if (part.isEmpty())
            break;
        text += part;
    }
    if (file.error() != QFileDevice::NoError)
        return problem + file.errorString();
    if (text.size() > kMaxBytes)
        return problem + QStringLiteral("longer than %1 bytes").arg(kMaxBytes);
    if (text.endsWith("\r\n"))
        text.chop(2);
    else if (text.endsWith('\n'))
        text.chop(1);
    password = QString::fromUtf8(text);
    return QString();
}

} // namespace PasswordFile
