#include "SISConfig.h"

#include "KeyWords.h"
#include "ParamTypes.h"
#include "ProtocolWords.h"

int SISConfig::validateParams(QString& message)
{
    const int n = *validationNumber_;
    const QString paramkey = paramValue(Key::paramkey);
    if (n == 0)
        return paramsCommand(message);
    if (n == 2)
        return 2;
    if (n == 3)
    {
        emit writeProgress(Protocol::StartProgress, 0);
        return 3;
    }
    if (n == 1 && !paramkey.isEmpty())
    {
        emit writeMissing(Key::dsn, QStringLiteral("DSN missing or blank."));
        emit writeWarning(Key::connection, QStringLiteral("Required parameter missing."));
        message = QStringLiteral("Requirements for group were not met, ie missing/incorrect parameters.");
    }
    else if (n == 4)
    {
        if (paramkey.isEmpty())
        {
            message = QStringLiteral("No parameters for this group");
            emit writeWarning(Key::group, message);
        }
        else
        {
            message = paramkey + QStringLiteral(" does not exist in this App.");
            emit writeWarning(Key::paramkey, message);
        }
    }
    emit writeProgress(Protocol::StartProgress, 0);
    emit writeProgress(Protocol::EndProgress);
    return n;
}

int SISConfig::progressAnswer(int n, const std::function<void()>& inner)
{
    if (n == 2)
        return 2;
    emit writeProgress(Protocol::StartProgress, 0);
    if (n == 3)
        return 3;
    if (inner)
        inner();
    emit writeProgress(Protocol::EndProgress);
    return n;
}

int SISConfig::validateDefaults()
{
    return progressAnswer(*validationNumber_);
}

int SISConfig::validateTest(const QString& group, QString& message)
{
    const int n = *validationNumber_;
    auto answer = [&]
    {
        if (n == 0)
        {
            emit writeProgressIncrement(QStringLiteral("Beginning test..."));
            message = QStringLiteral("Connection Successful.");
            emit writeTest(Protocol::Success, group, message);
        }
        else if (n == 1)
        {
            message = QStringLiteral("Parameter not valid.");
            emit writeTest(Protocol::Fail, group, message);
        }
    };
    return progressAnswer(n, answer);
}

int SISConfig::validateRun()
{
    const int n = *validationNumber_;
    if (n == 0)
    {
        static const char* const steps[] = {
            "Start Extraction...",
            "Validate Connection Successful, using Oracle (ODBC) with prefix.",
            "Reading Look up Tables",
            "Reading Custom Field List...",
            "Reading Student Transportation...",
            "Reading Student Demographics...",
            "Reading Student Grades...",
            "Reading Student Period Attendance (08/25/2008 to 08/31/2008)...",
            "Reading Cached Period Attendance...",
            "Export complete.",
        };
        emit writeProgress(Protocol::StartProgress, 10);
        for (const char* step : steps)
            emit writeProgressIncrement(QString::fromLatin1(step));
        emit writeProgress(Protocol::EndProgress);
        return 0;
    }
    return progressAnswer(n);
}

int SISConfig::validateVersion()
{
    const int n = *validationNumber_;
    if (n == 0)
        return versionCommand();
    if (n == 1)
    {
        emit writeProgress(Protocol::StartProgress, 1);
        return 1;
    }
    if (n == 2)
        return 2;
    emit writeProgress(Protocol::StartProgress, 0);
    emit writeProgress(Protocol::EndProgress);
    return n;
}

int SISConfig::demoValues(const ParamDef& def)
{
    const QString& type = def.type;
    const QString& key = def.key;
    auto threeLines = [&](const QStringList& keys, const QStringList& names)
    {
        for (qsizetype i = 0; i < keys.size(); ++i)
            emit writeList(type, key, keys.at(i), names.at(i), QString());
    };
    const QStringList oneTwoThree = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};

    if (type == ParamType::List)
    {
        threeLines(oneTwoThree,
                   {QStringLiteral("List 1"), QStringLiteral("List 2"), QStringLiteral("List 3")});
    }
    else if (type == ParamType::BridgeList)
    {
        threeLines(oneTwoThree, {QStringLiteral("Anna"), QStringLiteral("Ben"), QStringLiteral("Carla")});
    }
    else if (type == ParamType::DistrictList)
    {
        threeLines(oneTwoThree, {QStringLiteral("First District (1)"), QStringLiteral("Second District (2)"),
                                 QStringLiteral("Third District (3)")});
    }
    else if (type == ParamType::SchoolList)
    {
        threeLines(oneTwoThree, {QStringLiteral("Elementary (1)"), QStringLiteral("Middle (2)"),
                                 QStringLiteral("High School (3)")});
    }
    else if (type == ParamType::YearList)
    {
        threeLines({QStringLiteral("2008"), QStringLiteral("2009"), QStringLiteral("2010")},
                   {QStringLiteral("2008-2009"), QStringLiteral("2009-2010"), QStringLiteral("2010-2011")});
    }
    else if (type == ParamType::File)
    {
        for (const char* extension : {"*.dat", "*.exe", "*.*"})
            emit writeFile(key, QString::fromLatin1(extension), QString());
    }
    else if (type == ParamType::Number)
    {
        emit writeNumber(key, QStringLiteral("min=3"), QString());
        emit writeNumber(key, QStringLiteral("max=9"), QString());
    }
    else if (type == ParamType::Date)
    {
        emit writeDate(key, QStringLiteral("2009-09-08"), QStringLiteral("2010-06-18"), QString());
    }
    else
    {
        emit writeError(QStringLiteral("No Parameter Return Type Set"),
                        QStringLiteral("No parameter return set for type: ") + type);
        emit writeProgress(Protocol::EndProgress);
        return 1;
    }
    return *validationNumber_;
}
