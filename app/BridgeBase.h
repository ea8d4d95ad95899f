#pragma once

#include "SISConfig.h"

#include "BridgeTaskBase.h"

#include <QList>

class ExpEngine;
#include <QString>

// This application: the bridge between a TSIS or SchoolMAX database and the
// handheld product.
class BridgeBase : public SISConfig
{
    Q_OBJECT
public:
    explicit BridgeBase(QObject* parent = nullptr);
    ~BridgeBase() override;

    // Display key and display name of one selectable value.
    using ListEntry = BridgeTaskBase::ListEntry;

protected:
    int testGroup(const QString& group, QString& message) override;
    int listHandler(const QString& type, const QString& key) override;
    void settingsFromElement(const QDomElement& element) override;

    // Calls into the export engine. Values cross to the engine as Latin-1 text.
    virtual bool validateConnection(const QString& dsn, const QString& user, const QString& password);
    virtual bool validateDistrictAndSchoolNum(const QString& dsn, const QString& user,
                                              const QString& password, const QString& district,
                                              const QString& school);
    virtual bool loadSchoolDistrictList(QList<ListEntry>& entries, const QString& dsn, const QString& user,
                                        const QString& password);
    virtual bool loadSchoolList(QList<ListEntry>& entries, const QString& dsn, const QString& user,
                                const QString& password, const QString& district);
    virtual bool loadSchoolYearList(QList<ListEntry>& entries, const QString& district, const QString& school,
                                    const QString& dsn, const QString& user, const QString& password);
    virtual bool loadBridgeList(QList<ListEntry>& entries, const QString& key, const ParamMap& values);

private:
    void defineConnectionParams();
    void defineSchoolParams();
    ExpEngine& exportEngine() const;
};
