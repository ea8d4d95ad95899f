#include "LogNames.h"

#include <QRegularExpression>

namespace LogNames
{

QString folder(const QString& folder)
{
    // ",-_" is a range: it keeps "-", ".", "/", ":" and "\" among others.
    static const QRegularExpression unwanted(QStringLiteral("[^A-Z,a-z,0-9,-_\\/ ]"));
    QString result = folder;
    return result.replace(unwanted, QStringLiteral("_"));
}

QString baseName(const QString& shortName, const QString& customer, const QString& school)
{
    static const QRegularExpression unwanted(QStringLiteral("[^A-Z,a-z,0-9,-_]"));
    QString result = shortName + QLatin1Char('-') + customer + QLatin1Char('-') + school;
    result.replace(unwanted, QStringLiteral("_"));
    // The range above keeps path separators, which would place the log outside its folder.
    result.replace(QLatin1Char('/'), QLatin1Char('_'));
    result.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return result;
}

} // namespace LogNames
