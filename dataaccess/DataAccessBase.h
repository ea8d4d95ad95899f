#pragma once

#include <optional>
#include <vector>

#include "ODBCField.h"
#include "ODBCTable.h"
#include "RelationshipMap.h"
#include "SDEWriter.h"
#include "XDateTime.h"
#include "XString.h"

class SISExpCustomFieldList;

// Joins the import file writer and the database client: opens the current
// table's query for the writer, adds a query field together with its column
// and header name, and supplies the value formatters that turn the field of
// the column being written into the text of the import file.
class DataAccessBase : public SDEWriter
{
    Q_OBJECT
public:
    using Formatter = XString (DataAccessBase::*)();

    explicit DataAccessBase(QObject* parent = nullptr);
    ~DataAccessBase() override;

    // ---- Operations of the writer's data layer supplied here ----
    // Writes the attendance kept in the cache into the update file.
    void WriteCachedAttendance() override;
    // Runs the current query (up to the open attempts); false when it failed
    // with a connection error and the table is to be skipped.
    bool OpenTable(int run) override;
    // Closes and clears the query and calls the end-of-table hook before the writer finishes.
    void FinishTable() override;

    virtual bool AttendanceSwitch() { return true; }

    // ---- Value formatters (read the current column's field) ----
    virtual XString CleanText();
    virtual XString TrimmedText();
    virtual XString UpperText();
    virtual XString QuotedText();
    virtual XString ZeroAsEmpty();
    virtual XString ZeroAsEmptyOf(const XString& text);
    virtual XString ZeroAsEmptyIndirect();
    virtual XString NAAsEmpty();
    virtual XString PhoneText();
    virtual XString CleanTextNoBreaks();
    virtual XString CleanTextNoTabs();
    virtual XString SingleLineOf(const XString& text);
    virtual XString MoneyText();
    virtual XString DateText();
    virtual XString DateText1900EmptyOf(DataAccessField* field);
    virtual XString DateText1900Empty();
    virtual XString DatePlaceholderEmptyOf(DataAccessField* field);
    virtual XString DatePlaceholderEmpty();
    virtual XString DateZeroAsEmpty();
    virtual XString TimeText();
    virtual XString DateTimeText();
    virtual XString DateOfDateTimeText();
    virtual XString IntText();
    virtual XString IntZeroAsEmpty();
    virtual bool FlagOf(DataAccessField* field);
    virtual XString YesNoOfBool(bool value);
    virtual XString YesNo();
    virtual XString NoYes();
    virtual XString NoYesOf(DataAccessField* field);
    virtual XString YesEmptyOfBool(bool value);
    virtual XString YesEmpty();
    virtual XString YesEmptyOf(DataAccessField* field);
    virtual XString OneZero();
    virtual XString YesNoTextAsOneZero();
    virtual bool YesNoTextAsBool();
    virtual XString RealAsWhole();
    virtual XString RealText();
    virtual XString RoundedRealOf(DataAccessField* field);
    virtual XString RoundedReal();
    virtual XString RoundedRealOfField(DataAccessField* field);
    virtual XString SourceCategory();
    // Writes the attendance kept in the cache; the text is always empty.
    virtual XString CachedAttendance();
    virtual XString GsNameOf(const XString& text);
    virtual XString GsName();

    // "Y", "N" or "" from the clean text (1, X, yes, y / 0, no, n).
    XString YesNoFlag();

    // A column value function that calls the formatter on this object
    // (through the virtual table, so a derived class's version applies).
    SDEWriter::ValueFunction Fn(Formatter formatter);

    // ---- Query operations supplied by the database client ----
    virtual int RunCurrentQuery() = 0;
    virtual bool RunCurrentQueryOk() = 0;
    virtual void Reconnect() = 0;
    virtual void CloseQuery() = 0;
    virtual void EndTableHook() {}
    virtual int GetRecordCount() = 0;
    virtual void LoadRelationshipMap();
    virtual XString ClassifyRelationship(const XString& text);
    virtual ODBCField* AddField(ODBCTable* table, const XString& name, bool required) = 0;
    virtual ODBCField* AddUncheckedField(ODBCTable* table, const XString& name) = 0;

    // ---- Field readers, supplied by the database client ----
    virtual XString GetValueText(DataAccessField* field) = 0;
    virtual XString GetTrimmedText(DataAccessField* field) = 0;
    virtual XString GetSingleLineText(DataAccessField* field) = 0;
    virtual std::vector<unsigned char> GetBytes(DataAccessField* field) = 0;
    virtual XDate GetDate(DataAccessField* field) = 0;
    virtual XDateTime GetDateTime(DataAccessField* field) = 0;
    virtual XTime GetTime(DataAccessField* field) = 0;
    virtual int GetInt(DataAccessField* field) = 0;
    virtual XString GetIntTextZeroEmpty(DataAccessField* field);
    virtual int GetIntTruncated(DataAccessField* field) = 0;
    virtual float GetFloat(DataAccessField* field) = 0;
    virtual double GetDouble(DataAccessField* field) = 0;
    virtual bool GetBool(DataAccessField* field) = 0;
    virtual XString GetFlagText(DataAccessField* field) = 0;
    virtual bool IsNull(DataAccessField* field) = 0;
    // The connection test's reading of an exception: 2 (and a short message)
    // when the data source does not exist, else 1.
    virtual int HandleException_ValidateConnection(const std::exception& e, XString& message);
    virtual XString GetTrimmedTextZeroEmpty(DataAccessField* field) = 0;
    virtual XString GetTrimmedTextNAEmpty(DataAccessField* field) = 0;
    virtual XString GetSingleLineTextZeroEmpty(DataAccessField* field) = 0;
    virtual XDate GetDateNull1900(DataAccessField* field) = 0;

    // ---- Columns ----
    // Adds the query field (when table is given), its column and its header
    // name; null (and nothing added) when the field cannot be added. With a
    // null table the column is a constant or command column whose text is name.
    ODBCField* AddColumnField(ODBCTable* table, const XString& name, SDEWriter::ValueFunction valueFn,
                              const XString& headerName, bool required = false,
                              const XString& customTitle = XString(), const XString& customLabel = XString(),
                              const XString& customCommand = XString(),
                              const XString& customSource = XString(), int command = SDEColumn::None);
    // The same, with the header name and custom field going to list instead of the writer.
    ODBCField* AddListColumnField(SISExpCustomFieldList& list, ODBCTable* table, const XString& name,
                                  SDEWriter::ValueFunction valueFn, const XString& headerName,
                                  bool required = false, const XString& customTitle = XString(),
                                  const XString& customLabel = XString(),
                                  const XString& customCommand = XString(),
                                  const XString& customSource = XString(), int command = SDEColumn::None);

    // ---- Connection settings ----
    int ConnectionTimeout() const { return m_connectionTimeout; }
    void SetConnectionTimeout(int seconds) { m_connectionTimeout = seconds; }
    int CommandTimeout() const { return m_commandTimeout; }
    void SetCommandTimeout(int seconds) { m_commandTimeout = seconds; }
    int OpenAttempts() const { return m_openAttempts; }
    void SetOpenAttempts(int attempts) { m_openAttempts = attempts; }
    bool KeepConnected() const { return m_keepConnected; }

    // Data source, user and password of the next connection string. A null
    // user or password is "not set", which the connection string treats
    // differently from an empty one.
    void SetDataSource(const XString& dataSource) { m_dataSource = dataSource; }
    const XString& DataSource() const { return m_dataSource; }
    void SetUser(const char* user);
    void SetPassword(const char* password);
    const char* User() const { return m_user ? m_user->Text() : nullptr; }
    const char* Password() const { return m_password ? m_password->Text() : nullptr; }

    int StudentCount() const { return m_studentCount; }
    void SetStudentCount(int count) { m_studentCount = count; }
    int FilteredStudentCount() const { return m_filteredStudentCount; }
    void SetFilteredStudentCount(int count) { m_filteredStudentCount = count; }

    const RelationshipMap& Relationships() const { return m_relationships; }

protected:
    // The field a formatter reads: the given one, else the current column's.
    DataAccessField* FieldOrCurrent(DataAccessField* field) const { return field ? field : CurrentField(); }
    // A date in the writer's date format, "" for null.
    XString FormatDate(const XDate& date) const;

    int m_connectionTimeout = 15;
    int m_commandTimeout = 30;
    bool m_keepConnected = false;
    int m_openAttempts = 1;
    int m_studentCount = 0;
    int m_filteredStudentCount = 0;
    RelationshipMap m_relationships;
    XString m_dataSource;
    std::optional<XString> m_user;
    std::optional<XString> m_password;
};
