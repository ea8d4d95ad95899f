#pragma once

#include <QString>
#include <QStringList>

// One parameter definition as the front-end sees it.
struct ParamDef
{
    QString key;
    QString name;
    QString group;
    QString type;
    QString help;
    QString defaultValue;
    // Keys whose values must be present before this parameter's values can be
    // listed; starts with the empty key, which never counts as missing.
    QStringList parents{QString()};
    // Extensions, bounds or dates for the types "file", "number" and "date".
    QStringList options;
};
