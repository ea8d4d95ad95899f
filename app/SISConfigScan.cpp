#include "SISConfig.h"

#include "KeyWords.h"

OptionScanner::Result SISConfig::scanArguments(const QStringList& arguments, QString& programName)
{
    OptionScanner scanner(arguments, params_, switches_);
    scanner.addPositional(Key::command);
    for (const QString& key : switchList_)
        scanner.addSwitch(key);
    const QStringList secrets = passwordKeys();
    for (const QString& key : valueOptionList_)
        scanner.addOption(key, QString(), secrets.contains(key));
    programName = scanner.programName();
    return scanner.scan();
}
