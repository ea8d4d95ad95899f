#include "BridgeBase.h"

#include "KeyWords.h"
#include "ParamTypes.h"
#include "ProtocolWords.h"

BridgeBase::BridgeBase(QObject* parent) : SISConfig(parent)
{
    appTitle_ = QStringLiteral("Vantrel Data Extractor for TSIS/SchoolMAX");
    appShortName_ = QStringLiteral("TSIS SchoolMAX");
    appVersion_ = QStringLiteral("4.2.9.0");
    appAlias_ = QStringLiteral("tsis");
    appUserGuideFileName_ = QStringLiteral("TSISGuide.pdf");
    appFinishedFile_ = QStringLiteral("finished_bridge.tmp");
    // A fixed date, not the compiler's: the log header and the import control
    // file stay byte-identical from one build to the next.
    appBuildDate_ = QStringLiteral("Nov 20 2014") + QLatin1Char(' ') + QStringLiteral("16:13:20");
    oldShortName_ = QStringLiteral("TSIS");
    appMinFrontEndVersion_ = QStringLiteral("2.01.0057");

    publishIdentity();
    defineConnectionParams();
    defineSchoolParams();

    addRequirement(Key::connection, {Key::dsn});
    addRequirement(Key::connection, {Key::dsn, Key::dsn, Key::user, Key::pwd, Key::pwdencode});
    addPrerequisite(Key::schoolGroup, Key::connection);
    addRequirement(Key::schoolGroup, {Key::district, Key::school});

    emit writeLog(8, QStringLiteral("School Params set."), QStringLiteral("BridgeBase::BridgeBase"));
}

BridgeBase::~BridgeBase() = default;

void BridgeBase::defineConnectionParams()
{
    const QString group = Key::connection;
    addParam(group, QStringLiteral("dsnheader"), QStringLiteral("Data Source Name and Login Information"),
             ParamType::Header, QString(), QString());
    addParam(group, QStringLiteral("dsnlabel"),
             QStringLiteral(
                 "Please enter the Data Source Name of the ODBC Data Source that you set up to connect to "
                 "the SMS Database"),
             ParamType::Label, QString(), QString());
    addParam(group, Key::dsn, QStringLiteral("ODBC DSN"), ParamType::Edit,
             QStringLiteral("Name of DSN from existing Data Source"), QString());
    addParam(group, Key::user, QStringLiteral("Username"), ParamType::Edit,
             QStringLiteral("Username corresponding to ODBC DSN"), QString());
    addParam(group, Key::pwdencode, QStringLiteral("Password"), ParamType::Password,
             QStringLiteral("Password  corresponding to ODBC DSN"), QString());
}

void BridgeBase::defineSchoolParams()
{
    const QString group = Key::schoolGroup;
    const QString schoolHelp = QStringLiteral("Choose the School or Building number for your school");
    addParam(group, QStringLiteral("schoolheader"), QStringLiteral("School Information"), ParamType::Header,
             QString(), QString());
    addParam(group, Key::district, QStringLiteral("District"), ParamType::DistrictList,
             QStringLiteral("Choose the district number for your district"), QString());
    addParam(group, Key::school, QStringLiteral("School Number"), ParamType::SchoolList, schoolHelp,
             QString());
    addParam(group, QStringLiteral("yearheader"), QStringLiteral("Optional Year Information"),
             ParamType::Header, QString(), QString());
    addParam(
        group, QStringLiteral("yearlabel"),
        QStringLiteral("Select this checkbox if you need to manually set School Year, then select the "
                       "appropriate year from the list.  Otherwise it will be selected from the database"),
        ParamType::Label, QString(), QString());
    addParam(group, Key::year, QStringLiteral("School Year"), ParamType::YearList, schoolHelp, QString());
    addParam(group, Key::useyear, QStringLiteral("Use Year"), ParamType::Flag,
             QStringLiteral("Select this checkbox if you need to manually set School Year"), QString());
}

int BridgeBase::testGroup(const QString& group, QString& message)
{
    emit writeProgressIncrement(QStringLiteral("Beginning test..."));
    const QString dsn = paramValue(Key::dsn);
    const QString user = paramValue(Key::user);
    const QString password = paramValue(Key::pwd);
    auto answer = [&](bool passed, const QString& success, const QString& failure)
    {
        message = passed ? success : failure;
        emit writeTest(passed ? Protocol::Success : Protocol::Fail, group, message);
        return passed ? 0 : 1;
    };

    if (group == Key::connection)
        return answer(validateConnection(dsn, user, password), QStringLiteral("Connection Successful."),
                      QStringLiteral("Connection Failed."));
    if (group == Key::schoolGroup)
        return answer(validateDistrictAndSchoolNum(dsn, user, password, paramValue(Key::district),
                                                   paramValue(Key::school)),
                      QStringLiteral("District and School Validated."),
                      QStringLiteral("District and School Not Valid."));
    message = QStringLiteral(
        "Group is undefined, there is a problem with the bridge, please report this problem to "
        "Vantrel Support.");
    emit writeError(QStringLiteral("Group Undefined"), message);
    return 1;
}

int BridgeBase::listHandler(const QString& type, const QString& key)
{
    if (type == ParamType::List)
    {
        emit writeList(type, key, QStringLiteral("tsis"), QStringLiteral("TSIS/TIES2"), QString());
        emit writeList(type, key, QStringLiteral("schmax"), QStringLiteral("SchoolMAX"), QString());
        return 0;
    }

    const QString dsn = paramValue(Key::dsn);
    const QString user = paramValue(Key::user);
    const QString password = paramValue(Key::pwd);
    const QString district = paramValue(Key::district);
    QList<ListEntry> entries;
    bool loaded = false;
    QString warningKey;
    QString warning;
    const QString consult = QStringLiteral("  Consult the logs to discover what the problem is.");

    if (type == ParamType::DistrictList)
    {
        loaded = loadSchoolDistrictList(entries, dsn, user, password);
        warningKey = QStringLiteral("Loading District Failed");
        warning = QStringLiteral("Loading Districts failed.") + consult;
    }
    else if (type == ParamType::SchoolList)
    {
        loaded = loadSchoolList(entries, dsn, user, password, district);
        warningKey = QStringLiteral("Loading Schools Failed");
        warning = QStringLiteral("Loading Schools failed.") + consult;
    }
    else if (type == ParamType::YearList)
    {
        loaded = loadSchoolYearList(entries, district, paramValue(Key::school), dsn, user, password);
        warningKey = QStringLiteral("Loading School Years Failed");
        warning = QStringLiteral("Loading School Years failed.") + consult;
    }
    else if (type == ParamType::BridgeList)
    {
        loaded = loadBridgeList(entries, key, params());
        warningKey = key;
        warning = QStringLiteral("Loading Bridgelist failed.") + consult;
    }
    else
    {
        emit writeError(QStringLiteral("No Parameter Return Type Set"),
                        QStringLiteral("No parameter return set for type: ") + type);
        return 1;
    }

    if (!loaded)
    {
        emit writeWarning(warningKey, warning);
        return 1;
    }
    for (const ListEntry& entry : entries)
        emit writeList(type, key, entry.first, entry.second, QString());
    return 0;
}

void BridgeBase::settingsFromElement(const QDomElement& element)
{
    const QString setting = Protocol::Setting;
    emit writeSettingIncrement(setting, QStringLiteral("default"), Key::path,
                               element.attribute(SettingsXml::ImportFolder));
    emit writeSettingIncrement(setting, Key::connection, Key::dsn, element.attribute(SettingsXml::Dsn));
    emit writeSettingIncrement(setting, Key::connection, Key::user, element.attribute(SettingsXml::UserName));
    emit writeSettingIncrement(setting, Key::connection, Key::pwdencode,
                               element.attribute(SettingsXml::Password));
    emit writeSettingIncrement(setting, Key::schoolGroup, Key::district,
                               element.attribute(SettingsXml::District));
    emit writeSettingIncrement(setting, Key::schoolGroup, Key::school,
                               element.attribute(SettingsXml::SchoolNumber));
}
