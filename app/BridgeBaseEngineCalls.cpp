#include "BridgeBase.h"

#include "EngineList.h"
#include "ExpEngine.h"
#include "XString.h"

// The export engine's validation and list operations. Values cross to the
// engine side as Latin-1 text and come back the same way.

namespace
{
void copyEntries(const EngineList& list, QList<BridgeBase::ListEntry>& entries)
{
    for (const EngineListEntry& entry : list)
        entries.append({entry.key.ToQString(), entry.name.ToQString()});
}
} // namespace

ExpEngine& BridgeBase::exportEngine() const
{
    // createExportEngine always makes an ExpEngine; anything else is a build fault.
    auto* engine = dynamic_cast<ExpEngine*>(this->engine());
    if (engine == nullptr)
        throw XException("The export engine is not available in this build.");
    return *engine;
}

bool BridgeBase::validateConnection(const QString& dsn, const QString& user, const QString& password)
{
    return exportEngine().ValidateConnection(XString(dsn), XString(user), XString(password));
}

bool BridgeBase::validateDistrictAndSchoolNum(const QString& dsn, const QString& user,
                                              const QString& password, const QString& district,
                                              const QString& school)
{
    return exportEngine().ValidateDistrictAndSchoolNum(XString(dsn), XString(user), XString(password),
                                                       XString(district), XString(school));
}

bool BridgeBase::loadSchoolDistrictList(QList<ListEntry>& entries, const QString& dsn, const QString& user,
                                        const QString& password)
{
    EngineList list;
    if (!exportEngine().LoadSchoolDistrictList(list, XString(dsn), XString(user), XString(password)))
        return false;
    copyEntries(list, entries);
    return true;
}

bool BridgeBase::loadSchoolList(QList<ListEntry>& entries, const QString& dsn, const QString& user,
                                const QString& password, const QString& district)
{
    EngineList list;
    if (!exportEngine().LoadSchoolList(list, XString(dsn), XString(user), XString(password),
                                       XString(district)))
        return false;
    copyEntries(list, entries);
    return true;
}

bool BridgeBase::loadSchoolYearList(QList<ListEntry>& entries, const QString& district, const QString& school,
                                    const QString& dsn, const QString& user, const QString& password)
{
    EngineList list;
    if (!exportEngine().LoadSchoolYearList(list, XString(district), XString(school), XString(dsn),
                                           XString(user), XString(password)))
        return false;
    copyEntries(list, entries);
    return true;
}

bool BridgeBase::loadBridgeList(QList<ListEntry>& entries, const QString& key, const ParamMap& values)
{
    EngineList list;
    if (!exportEngine().LoadBridgeList(list, XString(key), values))
        return false;
    copyEntries(list, entries);
    return true;
}
