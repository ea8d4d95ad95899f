#include "PasswordFile.h"

#include <QFile>

namespace PasswordFile
{

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
    // readAll also drains a pipe, such as a credential handed over by a service manager.
    QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return problem + file.errorString();
    if (text.endsWith("\r\n"))
        text.chop(2);
    else if (text.endsWith('\n'))
        text.chop(1);
    password = QString::fromUtf8(text);
    return QString();
}

} // namespace PasswordFile
