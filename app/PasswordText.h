#pragma once

#include <QString>
#include <QStringList>

// Password values arrive hexadecimal-encoded from the front-end and must never
// be written anywhere in the clear.
namespace PasswordText
{

inline const QString Alphabet = QStringLiteral("0123456789ABCDEF");

// Each pair of characters gives one Latin-1 character; a character outside the
// alphabet counts as 3 and a trailing odd character is ignored.
QString decode(const QString& encoded);

// The arguments with the values of "--key=value" options whose key is one of
// passwordKeys replaced by "****".
QStringList maskArguments(const QStringList& arguments, const QStringList& passwordKeys);

// The text with every occurrence of the non-empty values replaced by "****",
// for texts that may echo a password given in the clear.
QString maskValues(QString text, QStringList values);

} // namespace PasswordText
