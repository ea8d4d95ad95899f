#include "BridgeBase.h"

// The export engine's validation and list operations. Until the engine is
// built in, each call fails the way a failing engine call does, with the
// reason in the log.

void BridgeBase::engineMissing(const QString& operation)
{
    emit writeLog(3, QStringLiteral("The export engine is not available in this build."),
                  QStringLiteral("BridgeBase::") + operation);
}

bool BridgeBase::validateConnection(const QString& dsn, const QString& user, const QString& password)
{
    (void)dsn;
    (void)user;
    (void)password;
    engineMissing(QStringLiteral("validateConnection"));
    return false;
}

bool BridgeBase::validateDistrictAndSchoolNum(const QString& dsn, const QString& user,
                                              const QString& password, const QString& district,
                                              const QString& school)
{
    (void)dsn;
    (void)user;
    (void)password;
    (void)district;
    (void)school;
    engineMissing(QStringLiteral("validateDistrictAndSchoolNum"));
    return false;
}

bool BridgeBase::loadSchoolDistrictList(QList<ListEntry>& entries, const QString& dsn, const QString& user,
                                        const QString& password)
{
    (void)entries;
    (void)dsn;
    (void)user;
    (void)password;
    engineMissing(QStringLiteral("loadSchoolDistrictList"));
    return false;
}

bool BridgeBase::loadSchoolList(QList<ListEntry>& entries, const QString& dsn, const QString& user,
                                const QString& password, const QString& district)
{
    (void)entries;
    (void)dsn;
    (void)user;
    (void)password;
    (void)district;
    engineMissing(QStringLiteral("loadSchoolList"));
    return false;
}

bool BridgeBase::loadSchoolYearList(QList<ListEntry>& entries, const QString& district, const QString& school,
                                    const QString& dsn, const QString& user, const QString& password)
{
    (void)entries;
    (void)district;
    (void)school;
    (void)dsn;
    (void)user;
    (void)password;
    engineMissing(QStringLiteral("loadSchoolYearList"));
    return false;
}

bool BridgeBase::loadBridgeList(QList<ListEntry>& entries, const QString& key, const ParamMap& values)
{
    (void)entries;
    (void)key;
    (void)values;
    engineMissing(QStringLiteral("loadBridgeList"));
    return false;
}
