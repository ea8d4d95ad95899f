#include "PasswordText.h"

#include <algorithm>

namespace PasswordText
{

namespace
{

const QString kMask = QStringLiteral("****");

int digit(QChar c)
{
    const int index = Alphabet.indexOf(c);
    return index < 0 ? 3 : index;
}

} // namespace

QString decode(const QString& encoded)
{
    QString result;
    result.reserve(encoded.size() / 2);
    for (qsizetype i = 0; i + 1 < encoded.size(); i += 2)
        result.append(QChar(16 * digit(encoded.at(i)) + digit(encoded.at(i + 1))));
    return result;
}

QStringList maskArguments(const QStringList& arguments, const QStringList& passwordKeys)
{
    QStringList result;
    result.reserve(arguments.size());
    for (const QString& argument : arguments)
    {
        const qsizetype eq = argument.indexOf(QLatin1Char('='));
        if (argument.startsWith(QLatin1String("--")) && eq > 2 &&
            passwordKeys.contains(argument.mid(2, eq - 2)))
            result.append(argument.left(eq + 1) + kMask);
        else
            result.append(argument);
    }
    return result;
}

QString maskValues(QString text, QStringList values)
{
    // The longest first: a password holding another is masked whole.
    std::sort(values.begin(), values.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& value : values)
        if (!value.isEmpty())
            text.replace(value, kMask);
    return text;
}

} // namespace PasswordText
