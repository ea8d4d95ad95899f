#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "BridgeTaskBase.h"
#include "DataAccessField.h"
#include "ImportSettings.h"
#include "SDEColumn.h"
#include "SISExpCustomFieldList.h"
#include "SISExpHeader.h"
#include "XTextFile.h"
#include "attendance/AttendanceCache.h"

// The import file writer: one data file per table and the import control
// file in a full export, one update file in an incremental export, the
// custom-field files, SchoolConfig.xml and the reset of the attendance cache.
// Records come from the data layer below through the abstract operations.
class SDEWriter : public BridgeTaskBase
{
    Q_OBJECT
public:
    using ValueFunction = std::function<XString()>;
    using RowFilter = std::function<bool()>; // false skips the current record

    static constexpr const char* kDailyAttTable = AttendanceCache::kDailyTable;
    static constexpr const char* kPeriodAttTable = AttendanceCache::kPeriodTable;

    explicit SDEWriter(QObject* parent = nullptr);
    ~SDEWriter() override;

    // ---- Table interface, in calling order ----
    // Names the table, announces it, starts its header; clears the columns and the query.
    virtual void StartTable(const XString& title, const XString& fileName, bool safeInclude = false);
    // StartTable, then opens SDE folder + fileName on file for lines the caller writes.
    virtual void OpenTableFile(XTextFile& file, const XString& title, const XString& fileName);
    // Opens SDE folder + the current file name on file (a table already started).
    void OpenCurrentTableFile(XTextFile& file);
    void AddColumn(DataAccessField* field, const XString& text, ValueFunction valueFn, int command);
    // A non-empty name joins the current header; a non-empty custom title
    // registers a custom field in the writer's own list.
    void AddHeaderField(const XString& name, const XString& customTitle = XString(),
                        const XString& customLabel = XString(), const XString& customCommand = XString(),
                        const XString& customSource = XString());
    void AddCustomField(const XString& customTitle, const XString& customLabel, const XString& customCommand,
                        const XString& customSource);
    // Streams the current query into the table's file (or the update file);
    // returns the number of records written.
    int WriteTable(const RowFilter& filter = RowFilter(), const XString& headerLine = XString());
    // Clears the columns and the query. The data layer overrides it to close
    // its query first and then calls this one.
    virtual void FinishTable();
    // Closes a file of OpenTableFile, then FinishTable.
    virtual void CloseTableFile(XTextFile& file);

    // ---- Incomplete tables ----
    // The data layer marks the current table when it could not read it to its
    // end (skipped after a connection failure). Such a table must not replace
    // its previous data file, and the run ends as failed naming it. Marking
    // names the table in a progress warning.
    void MarkTableIncomplete();
    bool CurrentTableIncomplete() const { return m_currentIncomplete; }
    const std::vector<XString>& IncompleteTables() const { return m_incompleteTables; }
    // Forgets the marks of an earlier run.
    void ResetIncompleteTables();
    // Takes back the current table's mark, whose failure stays a warning (the
    // conduct code tables); true when it was marked.
    bool WithdrawTableIncomplete();
    // Names a walk that is not a table (the school-year calendar), so that a
    // mark during it names the walk; announces nothing.
    void StartWalk(const XString& title);
    // "Tables not exported completely: " + the marked titles joined by ", ".
    XString IncompleteTablesMessage() const;

    // ---- Data files under a temporary name ----
    // A table's data file is written as its name + kPartialSuffix and renamed
    // into place when the table ends complete. An incomplete table, or one
    // abandoned after a failure, leaves the previous data file untouched;
    // without one, a file with only the header line is left.
    static constexpr const char* kPartialSuffix = ".part";
    // Discards the data file of the current table (its routine failed).
    void AbandonTableFile();

    // Runs the extraction; a data file still being written is discarded at the end.
    bool BeginExecute(ParamMap& params, int flags, QString& errorText) override;

    // ---- Run steps ----
    virtual void ColumnHook(DataAccessField* field);
    virtual void StartWriter();
    virtual void EndExport();
    virtual void StartImport();
    virtual void FinishImport();
    // Opens the update file under a temporary name; its stamp is moved on
    // past any update file already in the folder.
    virtual void StartUpdate(XTextFile& file);
    // Completes and syncs the update file, puts it in place under its
    // "Update <stamp>.SDU" name, then commits the read-back's marks. A
    // failure before the file is in place leaves neither file nor marks.
    virtual void FinishUpdate();
    // A run that failed: the marks are taken back and an update file not yet
    // in place is removed; one in place stays.
    void DiscardUpdate();
    // The update file's name once in place (while written, its temporary name
    // is this one + kPartialSuffix).
    const XFileSpec& UpdateFileTarget() const { return m_sduTarget; }

    // ---- The data layer ----
    virtual void FilterAttendance(const XDate& from, const XDate& to) = 0;
    virtual void ResetAttendanceFilter() = 0;
    virtual void WriteCachedAttendance() = 0;
    virtual bool OpenTable(int run) = 0;
    virtual bool GetFirstRecord() = 0;
    virtual bool GetNextRecord() = 0;
    virtual void ClearQuery() = 0;
    // The SQL text of the current query; error reports quote it.
    virtual XString BuildQuery() = 0;
    virtual XString GetDataSource() = 0;

    virtual void DeleteSDEFiles();
    virtual bool CheckAttendanceUpdate(const XString& element);

    // ---- Old files and the attendance cache ----
    void DeleteUpdateFiles(const XFileSpec& folder);
    // Opens Attendance.db below folder (or below the SDE folder when folder
    // does not exist); false after logging when that fails.
    bool SetAttendanceDatabase(const XString& folder);
    void DropAttendanceTable(const XString& name);
    // Drops the two cache tables in an existing cache of the global folder.
    void DropGlobalAttendanceTables();
    void DeleteAttendanceDatabase();
    AttendanceCache& Attendance() { return *m_attendance; }

    // ---- The attendance cache ----
    // Opens the cache and creates the table; names the export; reads the
    // update date and, with blank, moves it back by the overlap and blanks
    // the new codes from there on.
    void StartAttTable(const XString& tableName, bool blank, bool endDay);
    // Reads the current query window by window into the cache, in one
    // transaction. A window that fails or cannot be opened ends the table
    // with an exception and marks it incomplete.
    void WriteAttendanceTable(const XDate& schoolStart, const XDate& schoolEnd, const RowFilter& filter,
                              bool extend);
    // The next reading window [p, q] from the update date r; true for the last one.
    static bool NextAttendanceWindow(XDate& r, XDate& p, XDate& q, const XDate& s, const XDate& e,
                                     bool extend);
    // Stores one record as the row's new code (apostrophes removed from the values).
    void UpsertAttendanceRow(const AttendanceCacheRow& row);
    // Write the rows whose new code differs from the exported one into the
    // update file and mark them exported.
    void CreateStudentDailyAttendanceFromDB(bool filter);
    void CreateStudentPeriodAttendanceFromDB(bool filter);
    // Key field names met while filling the cache, as spelled in the header.
    const std::set<XString>& PeriodNames() const { return m_attendance->KeyNames(false); }
    const std::set<XString>& TimeFrameNames() const { return m_attendance->KeyNames(true); }
    // The student filter of the read-back; every student passes here.
    virtual bool IncludesStudent(const XString& student);

    // ---- SchoolConfig.xml ----
    bool CheckConfigurationChanged();
    void SaveSchoolConfig();

    // ---- State ----
    ImportSettings& Settings() { return m_settings; }
    const ImportSettings& Settings() const { return m_settings; }
    const XString& CurrentTitle() const { return m_title; }
    const XString& CurrentFileName() const { return m_fileName; }
    SISExpHeader* CurrentHeader() { return m_currentHeader; }
    const std::vector<std::unique_ptr<SISExpHeader>>& Headers() const { return m_headers; }
    void ClearHeaders();
    // The column whose value is being produced; set only inside WriteTable.
    const SDEColumn* CurrentColumn() const { return m_currentColumn; }
    DataAccessField* CurrentField() const { return m_currentColumn ? m_currentColumn->field : nullptr; }
    const std::vector<SDEColumn>& Columns() const { return m_columns; }
    bool UpdateMode() const { return m_updateMode; }
    XTextFile* UpdateFile() { return m_sduFile; }

    SISExpCustomFieldList& OwnCustomFields() { return m_customFields; }
    // Lists that get their own custom-field file; not owned.
    void AppendCustomFieldList(SISExpCustomFieldList* list) { m_customFieldLists.push_back(list); }
    const std::vector<SISExpCustomFieldList*>& CustomFieldLists() const { return m_customFieldLists; }

    const XDateTime& StartTime() const { return m_startTime; }
    const XDateTime& EndTime() const { return m_endTime; }

    const XString& MasterFile() const { return m_masterFile; }
    void SetMasterFile(const XString& path) { m_masterFile = path; }
    const XString& MasterFolder() const { return m_masterFolder; }
    void SetMasterFolder(const XString& path) { m_masterFolder = path; }
    const XString& SecurityFile() const { return m_securityFile; }
    void SetSecurityFile(const XString& path) { m_securityFile = path; }
    const XString& GlobalFolder() const { return m_globalFolder; } // the attendance cache folder
    void SetGlobalFolder(const XString& path) { m_globalFolder = path; }
    const XString& OverlapDays() const { return m_overlapDays; }
    void SetOverlapDays(const XString& days) { m_overlapDays = days; }

    // The control file name: appShortName_ + ".SDE".
    XString ControlFileName() const;

protected:
    // Pieces of the control file and the update file.
    void WriteBanner(XFile& file);
    void WritePragmas(XFile& file);
    void WriteTiming(XFile& file);
    void WriteControlFile();
    // The current table's data file: opened under its temporary name, then
    // put into place (complete table) or discarded.
    void OpenPartialTableFile(XTextFile& file, const XString& headerLine);
    void EndPartialTableFile();

    ImportSettings m_settings;
    XString m_title;
    XString m_fileName;
    std::vector<std::unique_ptr<SISExpHeader>> m_headers;
    SISExpHeader* m_currentHeader = nullptr;
    std::vector<SDEColumn> m_columns;
    const SDEColumn* m_currentColumn = nullptr;
    bool m_updateMode = false;
    XTextFile* m_sduFile = nullptr;
    XFileSpec m_sduTarget;
    XDateTime m_startTime;
    XDateTime m_endTime;
    SISExpCustomFieldList m_customFields;
    std::vector<SISExpCustomFieldList*> m_customFieldLists;

    XString m_masterFile;
    XString m_masterFolder;
    XString m_securityFile;
    XString m_globalFolder;
    XString m_overlapDays;

    std::unique_ptr<AttendanceCache> m_attendance;
    // How the fill reads the SIS.
    bool m_attEndDay = false;
    bool m_attReportOnce = true;
    int m_attSkippedDates = 0;

private:
    void RemoveStaleUpdateFiles();
    // Sets the title of the window from p to q and opens the SIS's table over it.
    void OpenAttendanceWindow(const XString& baseTitle, const XDate& p, const XDate& q);
    // Runs write, a failure reported as the cache's of the table baseTitle.
    void WriteToAttendanceCache(const XString& baseTitle, const std::function<void()>& write);
    void ReadAttendanceWindow(const RowFilter& filter);
    void WriteAttendanceRow(const AttendanceCacheRow& row);
    void CreateAttendanceFromDB(bool daily, bool filter);
    // One table of the update file: the cached rows under one key header name not yet sent.
    void WriteUnsentAttendance(bool daily, const XString& keyName, bool filter);

    bool m_currentIncomplete = false;
    std::vector<XString> m_incompleteTables;

    // The current data table as the summary hears of it: the lines it wrote,
    // and in the update file the count of lines that are not its own.
    bool m_tableNoted = false;
    long long m_tableRows = 0;
    long long m_tableLinesBase = 0;

    // The data file being written under its temporary name.
    struct PartialFile
    {
        XFileSpec part;
        XFileSpec target;
        XString headerLine;
    };
    std::optional<PartialFile> m_partialTable;

private:
    // The pieces of WriteTable. A query that cannot be opened leaves the
    // previous data file (or one with the header line).
    void OpenTableKeepingData(const XString& headerLine);
    // The data file under its temporary name, or the update file with the table's header.
    XTextFile& OpenTableOutput(XTextFile& tableFile, const XString& headerLine);
    void WriteRecord(XTextFile& out, bool first);
    // Called in the handler of a failure while writing: discards the data
    // file and throws the failure naming the file and the query.
    [[noreturn]] void FailTable(XTextFile& tableFile, long long firstRow, int count);
    void CommitPartial();
    // A table that could not be written leaves the last run's data file, or,
    // without one, a file with only the header line.
    void KeepOrStartDataFile(const XString& fileName, const XString& headerLine);
};
