#include "SISConfig.h"

#include "KeyWords.h"
#include "ParamTypes.h"
#include "ProtocolWords.h"

#include <exception>

namespace
{

const QString kEncode = QStringLiteral("encode");
const int kFlagNameLength = 15;

QString withoutEncode(const QString& key)
{
    QString result = key;
    return result.remove(kEncode, Qt::CaseSensitive);
}

} // namespace

ParamDef* SISConfig::addParam(const QString& group, const QString& key, const QString& name,
                              const QString& type, const QString& help, const QString& defaultValue)
{
    const QString method = QStringLiteral("SISConfig::addParam");
    if (type == ParamType::Switch)
        switchList_.append(key);
    else
        valueOptionList_.append(key);

    if (type == ParamType::Password)
    {
        const QString plainKey = withoutEncode(key);
        if (plainKey == key)
        {
            emit writeLog(4,
                          QStringLiteral("Parameter: ") + key +
                              QStringLiteral(" is a Password style parameter, but does not use 'encode' this "
                                             "means it will not be encoded."),
                          method);
        }
        else
        {
            // Both the encoded and the plain option are accepted.
            valueOptionList_.append(plainKey);
        }
    }

    QString shownName = name;
    if (type == ParamType::Flag && name.size() > kFlagNameLength)
    {
        emit writeLog(3,
                      QStringLiteral("Parameter: ") + key +
                          QStringLiteral(" has a paramname that is too long: ") + name,
                      method);
        shownName = name.left(kFlagNameLength);
    }

    ParamDef* def = setParam(group, key, shownName, type, help, defaultValue);
    if (def && valueOptionList_.contains(Key::district))
    {
        if (key == Key::school || key == Key::year)
            addParent(def, Key::district);
        if (key == Key::year)
            addParent(def, Key::school);
    }
    return def;
}

ParamDef* SISConfig::setParam(const QString& group, const QString& key, const QString& name,
                              const QString& type, const QString& help, const QString& defaultValue)
{
    auto groupIt = groups_.find(group);
    if (groupIt == groups_.end())
    {
        emit writeLog(
            3,
            QStringLiteral("Tried to set a parameter for a non-existant group, please contact Vantrel "
                           "Support."),
            QStringLiteral("SISConfig::setParam"));
        return nullptr;
    }
    for (ParamDef* existing : *groupIt)
    {
        if (existing->key == key)
        {
            existing->name = name;
            existing->group = group;
            existing->type = type;
            existing->help = help;
            return existing;
        }
    }
    auto def = std::make_unique<ParamDef>();
    def->key = key;
    def->name = name;
    def->group = group;
    def->type = type;
    def->help = help;
    def->defaultValue = defaultValue;
    ParamDef* raw = def.get();
    ownedDefinitions_.push_back(std::move(def));
    groupIt->append(raw);
    definitions_.insert(key, raw);
    return raw;
}

void SISConfig::addParent(ParamDef* def, const QString& key)
{
    if (def && !def->parents.contains(key))
        def->parents.append(key);
}

void SISConfig::addRequirement(const QString& command, const QStringList& keys)
{
    requirements_[command].append(keys);
}

void SISConfig::addPrerequisite(const QString& command, const QString& other)
{
    prerequisites_[command].append(other);
}

int SISConfig::checkMissing(const QString& key)
{
    if (key.isEmpty() || !paramValue(key).isEmpty())
        return 0;
    const QString missing = QStringLiteral(" missing or blank.");
    if (const ParamDef* def = definition(key))
    {
        emit writeMissing(key, def->name + missing);
    }
    else if (const ParamDef* encoded = definition(key + kEncode))
    {
        emit writeMissing(encoded->key, encoded->name + missing);
    }
    else if (const ParamDef* plain = definition(withoutEncode(key)))
    {
        emit writeMissing(plain->key, plain->name + missing);
    }
    else
    {
        emit writeMissing(key, QStringLiteral("Missing or blank."));
    }
    return 1;
}

int SISConfig::anyMissing(const QStringList& keys)
{
    int result = 0;
    for (const QString& key : keys)
    {
        if (checkMissing(key))
            result = 1;
    }
    return result;
}

int SISConfig::checkRequirements(const QString& command)
{
    for (const QString& other : prerequisites_.value(command))
    {
        if (other.isEmpty())
            continue;
        if (const int result = checkRequirements(other))
            return result;
    }
    const QList<QStringList> alternatives = requirements_.value(command);
    if (alternatives.isEmpty())
        return 0;
    for (const QStringList& keys : alternatives)
    {
        // Every key is checked so that each blank one is reported once.
        if (anyMissing(keys) == 0)
        {
            // Blanks of alternatives that were not needed must not reach the
            // front-end with a later warning.
            emit clearMessages();
            return 0;
        }
    }
    emit writeWarning(command, QStringLiteral("Required parameter missing."));
    return 1;
}

int SISConfig::paramsCommand(QString& message)
{
    const QString paramkey = paramValue(Key::paramkey);
    const QString group = paramValue(Key::group);

    if (paramkey.isEmpty())
    {
        if (hasGroup(group))
        {
            const QList<const ParamDef*> defs = groupDefinitions(group);
            emit writeProgress(Protocol::StartProgress, static_cast<int>(defs.size()));
            for (const ParamDef* def : defs)
                emit writeParams(def->key, def->type, def->name, def->help, def->defaultValue);
            emit writeProgress(Protocol::EndProgress);
            return 0;
        }
        message = QStringLiteral("No parameters for this group");
        emit writeWarning(Key::group, message);
        emit writeProgress(Protocol::StartProgress, 0);
        emit writeProgress(Protocol::EndProgress);
        return 1;
    }

    const ParamDef* def = definition(paramkey);
    if (!def)
    {
        message = paramkey + QStringLiteral(" does not exist in this Application.");
        emit writeWarning(Key::paramkey, message);
        emit writeProgress(Protocol::StartProgress, 0);
        emit writeProgress(Protocol::EndProgress);
        return 1;
    }
    for (const QString& other : prerequisites_.value(def->group))
    {
        if (other.isEmpty())
            continue;
        if (const int result = checkRequirements(other))
        {
            emit writeProgress(Protocol::StartProgress, 0);
            emit writeProgress(Protocol::EndProgress);
            message = QStringLiteral("Requirements for group were not met, ie missing/incorrect parameters.");
            return result;
        }
    }
    if (const int result = anyMissing(def->parents))
    {
        emit writeWarning(Key::params, QStringLiteral("Required params missing."));
        emit writeProgress(Protocol::StartProgress, 0);
        emit writeProgress(Protocol::EndProgress);
        message = QStringLiteral("Required params missing.");
        return result;
    }
    emit clearMessages();
    return returnValues(*def, message);
}

int SISConfig::returnValues(const ParamDef& def, QString& message)
{
    if (validationNumber_)
        return demoValues(def);

    emit writeProgress(Protocol::StartProgress, 0);
    int result = 1;
    try
    {
        const QString& type = def.type;
        if (type == ParamType::List || type == ParamType::BridgeList || type == ParamType::DistrictList ||
            type == ParamType::SchoolList || type == ParamType::YearList)
        {
            result = listHandler(type, def.key);
        }
        else if (type == ParamType::File)
        {
            for (const QString& option : def.options)
                emit writeFile(def.key, option, QString());
            result = 0;
        }
        else if (type == ParamType::Number)
        {
            for (const QString& option : def.options)
                emit writeNumber(def.key, option, QString());
            result = 0;
        }
        else if (type == ParamType::Date)
        {
            const qsizetype count = def.options.size();
            if (count == 0)
            {
                result = 0;
            }
            else if (count == 2 || count == 3)
            {
                emit writeDate(def.key, def.options.at(0), def.options.at(1),
                               count == 3 ? def.options.at(2) : QString());
                result = 0;
            }
            else
            {
                emit writeError(QStringLiteral("Date Settings Incorrect"),
                                QStringLiteral("Incorrect application settings for this date parameter: ") +
                                    def.key);
                result = 1;
            }
        }
        else if (type == ParamType::Tree || type == ParamType::Hidden)
        {
            emit writeError(QStringLiteral("App Problem"),
                            QStringLiteral("Method to handle parameter has not been defined for: ") +
                                def.key);
            result = 1;
        }
        else
        {
            message = QStringLiteral("No parameter return set for type: ") + type;
            emit writeError(QStringLiteral("No Parameter Return Type Set"), message);
            result = 1;
        }
    }
    catch (...)
    {
        message = QStringLiteral(
            "Application threw an uncaught exception, please contact Vantrel Software Support to "
            "fix this issue.");
        emit writeError(QStringLiteral("App Problem"), message);
        emit writeProgress(Protocol::EndProgress);
        return 1;
    }
    emit writeProgress(Protocol::EndProgress);
    return result;
}
