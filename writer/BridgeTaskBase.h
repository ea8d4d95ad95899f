#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include "AppTaskBase.h"
#include "XDateTime.h"
#include "XFileSpec.h"
#include "XString.h"

// The task that runs one extraction: output folder, stored update date,
// progress total, the call of the engine's export body and the reporting of
// its failures. Every engine-side class logs through Log().
class BridgeTaskBase : public AppTaskBase
{
    Q_OBJECT
public:
    // One entry of a selectable list: display key and display name.
    using ListEntry = QPair<QString, QString>;

    explicit BridgeTaskBase(QObject* parent = nullptr);
    ~BridgeTaskBase() override;

    // Progress total over the five counts; bit 0 of flags is a full export,
    // bit 1 an attendance update.
    int CalculateProgressSize(int flags) override;
    // The export body; the engine replaces it.
    virtual bool Execute(ParamMap& params, int flags, QString& errorText);
    // Fills entries for the list asked by paramKey; the engine may replace it.
    virtual bool LoadList(QList<ListEntry>& entries, const QString& paramKey, ParamMap& params,
                          QString& errorText);
    AppTaskBase* CreateTask() override { return new BridgeTaskBase(); }
    // Runs one extraction; false when it failed (errorText then tells why).
    virtual bool BeginExecute(ParamMap& params, int flags, QString& errorText);

    // Level 5 also reaches the front-end as a progress line, level 6 as a
    // progress warning.
    void Log(int level, const XString& message, const XString& method = XString());
    void PutJobText(const XString& text);
    void PutTotalText(const XString& text);
    // Creates the folder with its parents and keeps its absolute path.
    bool SetSDEFolder(const XString& folder);

    const XFileSpec& SDEFolder() const { return m_sdeFolder; }
    const XDate& UpdateDate() const { return m_updateDate; }
    void SetUpdateDate(const XDate& date) { m_updateDate = date; }
    const XDateTime& UpdateDateTime() const { return m_updateDateTime; }
    void SetUpdateDateTime(const XDateTime& dateTime) { m_updateDateTime = dateTime; }
    int ProgressTotal() const { return m_progressTotal; }

    // The application's parameters; set only while BeginExecute runs.
    const ParamMap* Params() const { return m_params; }
    // The value of a parameter, "" when it is missing or no run is active.
    XString Param(const char* key) const;

    void SetProgressCounts(int setup, int lookupTables, int import, int periodAttendance,
                           int dailyAttendance);

    // Configuration of the run, filled by the engine from its parameters.
    const XString& Alias() const { return m_alias; } // the current SIS name
    void SetAlias(const XString& alias) { m_alias = alias; }
    const XString& SchoolNumber() const { return m_schoolNumber; }
    void SetSchoolNumber(const XString& school) { m_schoolNumber = school; }
    const XString& DistrictNumber() const { return m_districtNumber; }
    void SetDistrictNumber(const XString& district) { m_districtNumber = district; }
    const XString& SchoolYear() const { return m_schoolYear; }
    void SetSchoolYear(const XString& year) { m_schoolYear = year; }
    const XDate& InactiveDate() const { return m_inactiveDate; }
    void SetInactiveDate(const XDate& date) { m_inactiveDate = date; }

signals:
    // What the run writes, for its summary: each data table with the file
    // its lines go to (its data file, or the update file), then the lines it
    // wrote and whether it was read to its end; the reading windows of a
    // table read into the attendance cache, which writes no file; the
    // update file once it is in place.
    void tableStarted(QString title, QString file);
    void tableEnded(qint64 rows, bool complete);
    void attendanceWindowRead(QString table, QString from, QString to);
    void updateFileDelivered(QString file, qint64 records);

protected:
    void SetParams(const ParamMap* params) { m_params = params; }

    int m_setupCount = 0;
    int m_lookupCount = 0;
    int m_importCount = 0;
    int m_periodAttCount = 0;
    int m_dailyAttCount = 0;
    int m_progressTotal = 0;
    const ParamMap* m_params = nullptr;
    XFileSpec m_sdeFolder;
    XDate m_updateDate;
    XDateTime m_updateDateTime;

    XString m_alias;
    XString m_schoolNumber;
    XString m_districtNumber;
    XString m_schoolYear;
    XDate m_inactiveDate;

private:
    bool RunExecute(ParamMap& params, int flags, QString& errorText);
};
