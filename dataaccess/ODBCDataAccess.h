#pragma once

#include <memory>
#include <vector>

#include "DataAccessBase.h"
#include "DataAccessLog.h"
#include "ODBCQuery.h"
#include "odbc/AdoComError.h"

class OdbcConnection;
class OdbcResult;
struct AdoValue;

// The database client: the query model, the connection, SQL generation in
// the dialect of the database type, query execution with record access and
// field readers, and the existence checks of tables and fields.
class ODBCDataAccess : public DataAccessBase
{
    Q_OBJECT
public:
    // optionWord bit 2 turns on the existence checks of AddTable and AddField.
    ODBCDataAccess(int optionWord, int databaseType, QObject* parent = nullptr);
    ~ODBCDataAccess() override;

    // ---- Database type ----
    int DatabaseType() const { return m_databaseType; }
    void SetDatabaseType(int type) { m_databaseType = type; }
    XString GetDatabaseTypeName() const;
    int OptionWord() const { return m_optionWord; }
    void SetOptionWord(int optionWord) { m_optionWord = optionWord; }

    // ---- Query model ----
    void ClearQuery() override;
    // Null when the check is on and the table does not exist (required: throws).
    ODBCTable* AddTable(const XString& name, const XString& alias, bool required = false,
                        const XString& fullName = XString());
    ODBCField* AddField(ODBCTable* table, const XString& name, bool required) override;
    ODBCField* AddField(ODBCTable* table, const XString& name, bool required, bool unselected);
    ODBCField* AddUncheckedField(ODBCTable* table, const XString& name) override;
    // A new selected field written as prefix + alias.name + suffix + " as " + outputName.
    ODBCField* AddExpressionField(const XString& prefix, ODBCField* field, const XString& suffix,
                                  const XString& outputName);
    // A field used only as a condition operand; it is freed with the query.
    ODBCField* AddOperandField(ODBCTable* table, const XString& name);
    // Join form: field op secondField.
    void AddCondition(const XString& conjunction, ODBCField* field, const XString& op, ODBCField* secondField,
                      int level = 0);
    // Value form: the value is written into SQL as given (the caller quotes it).
    void AddCondition(const XString& conjunction, ODBCField* field, const XString& op, const XString& value,
                      int level = 0);
    void AddCondition(const XString& conjunction, ODBCField* field, const XString& op, const char* value,
                      int level = 0)
    {
        AddCondition(conjunction, field, op, XString(value), level);
    }
    ODBCOrder* AddOrder(ODBCField* field, bool descending = false);

    void FilterAttendance(const XDate& from, const XDate& to) override;
    void ResetAttendanceFilter() override;
    void SetAttendanceDateField(ODBCField* field) { m_attendanceDateField = field; }
    ODBCField* AttendanceDateField() const { return m_attendanceDateField; }
    void SetChangeDateField(ODBCField* field) { m_changeDateField = field; }
    ODBCField* ChangeDateField() const { return m_changeDateField; }
    int FilterConditionCount() const { return m_filterConditionCount; }

    bool Distinct() const { return m_query.distinct; }
    void SetDistinct(bool distinct) { m_query.distinct = distinct; }
    bool AnsiJoin() const { return m_query.ansiJoin; }
    void SetAnsiJoin(bool ansiJoin) { m_query.ansiJoin = ansiJoin; }
    const ODBCQuery& Query() const { return m_query; }

    // ---- Query building ----
    XString BuildQuery() override;
    XString BuildAnsiJoinQuery();
    XString BuildCurrentQuery();
    // Date literal for the type (0: the object's type).
    XString SQLDate(const XDate& date, int type = 0);
    XString QuoteForDialect(const XString& text, int type = 0);
    bool MssqlDateSwitch() const { return m_mssqlDateSwitch; }
    void SetMssqlDateSwitch(bool on) { m_mssqlDateSwitch = on; }

    // ---- Connection ----
    XString GetDataSource() override { return m_dataSource; }
    // The connection string of the current type; null texts are "not set".
    XString BuildConnectionString(const char* dataSource, const char* user, const char* password);
    void Connect(const XString& connectionString);
    void Disconnect();
    bool IsConnected() const;
    void Reconnect() override;
    // The report of an ADO failure (logged at level 8), with its provider errors.
    XString FormatComError(const AdoComError& error);
    int ClassifyQueryError(const XString& text);
    void BeginExtraction(const XString& connectionString, bool keepConnected);
    void EndExtraction();
    void EndExport() override { EndExtraction(); }

    // ---- Execution and records ----
    // 0, or 1629 / 12170 for a lost or timed-out connection; throws otherwise.
    int RunQuery(const XString& sql);
    int RunCurrentQuery() override;
    bool RunCurrentQueryOk() override;
    void CloseQuery() override;
    int GetRecordCount() override;
    bool GetFirstRecord() override;
    bool GetNextRecord() override;
    int GetFieldCount();
    XString GetFieldName(int index);
    XString GetFieldTypeName(int index);

    // ---- Field readers ----
    XString GetValueText(DataAccessField* field) override;
    XString GetTrimmedText(DataAccessField* field) override;
    XString GetSingleLineText(DataAccessField* field) override;
    std::vector<unsigned char> GetBytes(DataAccessField* field) override;
    XDate GetDate(DataAccessField* field) override;
    XDateTime GetDateTime(DataAccessField* field) override;
    XTime GetTime(DataAccessField* field) override;
    int GetInt(DataAccessField* field) override;
    int GetIntTruncated(DataAccessField* field) override;
    float GetFloat(DataAccessField* field) override;
    double GetDouble(DataAccessField* field) override;
    bool GetBool(DataAccessField* field) override;
    XString GetFlagText(DataAccessField* field) override;
    bool IsNull(DataAccessField* field) override;
    XString GetTrimmedTextZeroEmpty(DataAccessField* field) override;
    XString GetTrimmedTextNAEmpty(DataAccessField* field) override;
    XString GetSingleLineTextZeroEmpty(DataAccessField* field) override;
    XDate GetDateNull1900(DataAccessField* field) override;

    // ---- Schema probing ----
    bool TableExists(const XString& table);
    bool FieldExists(const XString& table, const XString& field);
    bool TrialQuery(const XString& sql);
    bool TableExistsConnected(const XString& connectionString, const XString& table, bool keepConnected);
    bool LogSchema();

protected:
    int m_optionWord;
    int m_databaseType;
    ODBCQuery m_query;
    ODBCField* m_attendanceDateField = nullptr;
    ODBCField* m_changeDateField = nullptr;
    int m_filterConditionCount = 0;
    bool m_mssqlDateSwitch = false;
    XString m_connectionString;

private:
    DataAccessLogFunction LogFunction();
    void RemoveFilterConditions();
    void AppendFilterCondition(const XString& conjunction, ODBCField* field, const XString& op,
                               const XString& value);
    // A report with the password values it echoes masked.
    XString WithoutSecrets(const XString& text) const;

    // Record operations on a given recordset: the current one or a probe.
    // The moves throw AdoComError for a driver failure; false is the end.
    int RecordCountOf(OdbcResult* rs);
    bool FirstRecordOf(OdbcResult* rs);
    bool NextRecordOf(OdbcResult* rs);
    // A driver failure while the current query is walked: the connection
    // failures skip the table (reconnect, marked incomplete, false), any
    // other failure throws the report as a failing open does.
    bool WalkFailed(const AdoComError& error);
    // The current value of a field's column (valid until the cursor moves);
    // null for a null field or dBase IV (XBase). Failures become XException
    // with the field status.
    const AdoValue* ReadValue(DataAccessField* field);
    XString ValueTextAt(int column);
    bool OracleOdbc() const;

    // The connection the probes run on: the connection itself, or while a
    // query is open a second one on the same connection string, so a failing
    // probe cannot end the open query's transaction (and with it its cursor).
    OdbcConnection& ProbeConnection();
    void CloseProbeConnection();

    std::unique_ptr<OdbcConnection> m_connection;
    std::unique_ptr<OdbcConnection> m_probeConnection;
    std::unique_ptr<OdbcResult> m_recordset;
};
