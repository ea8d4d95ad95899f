#pragma once

#include "AppTaskBase.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// Reads the command line: one bare command word, value options written
// "--key=value" and switches written "--key". Tokens are examined from the last
// argument to the first, so the first occurrence of a repeated option wins.
class OptionScanner
{
public:
    enum class Result
    {
        Succeeded,
        Failed,
        Abort
    };

    OptionScanner(const QStringList& arguments, ParamMap& values, QMap<QString, bool>& flags);

    // The program name is the file-name part of the first argument.
    const QString& programName() const { return programName_; }

    void addPositional(const QString& name);
    void addSwitch(const QString& name);
    // A secret option's value (a password) is never shown: a warning about a
    // token that came from it shows "****" instead.
    void addOption(const QString& name, const QString& defaultValue, bool secret = false);

    // Failures write one Qt warning. Abort means the bare "--", which ends the
    // process with status 2.
    Result scan();

private:
    enum class Kind
    {
        Switch,
        Value
    };
    struct Entry
    {
        Kind kind;
        QString name;
        QString defaultValue;
        bool secret = false;
    };
    // A token still to examine; secret when it is (part of) a secret option's value.
    struct Token
    {
        QString text;
        bool secret = false;
    };

    const Entry* find(const QString& name) const;

    QString programName_;
    QStringList arguments_;
    ParamMap& values_;
    QMap<QString, bool>& flags_;
    QList<Entry> entries_;
    QString positional_;
};
