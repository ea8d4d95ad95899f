#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "odbc/AdoComError.h"
#include "odbc/AdoEnums.h"
#include "odbc/AdoField.h"
#include "odbc/AdoProviderError.h"
#include "odbc/AdoValue.h"
#include "odbc/OdbcBoundRow.h"
#include "odbc/OdbcColumn.h"
#include "odbc/OdbcRowSpool.h"

class AdoConnection;

// Stand-in for ADO's Recordset object over one ODBC statement.
//
// Rows are fetched one at a time; only the current record's values are held
// (read when first asked for where the driver allows, else in full when the
// cursor reaches the record), so memory does not grow with the number of rows. MoveFirst works on every
// cursor: away from the first record it runs the statement again.
//
// Every failure throws AdoComError; provider diagnostics of a failed ODBC
// call go to the connection's Errors(). A failure the recordset raises itself
// (closed object, no current record, ...) empties that collection, so a
// report never shows the diagnostics of an earlier failure.
class AdoRecordset
{
public:
    AdoRecordset();
    ~AdoRecordset(); // closes (errors swallowed)
    AdoRecordset(const AdoRecordset&) = delete;
    AdoRecordset& operator=(const AdoRecordset&) = delete;

    // Accepted for ADO compatibility; rows are always streamed.
    void SetCursorLocation(long location) { cursorLocation_ = location; }
    long CursorLocation() const { return cursorLocation_; }
    void SetCursorType(long type) { cursorType_ = type; }
    long CursorType() const { return cursorType_; }
    void SetLockType(long type) { lockType_ = type; }
    long LockType() const { return lockType_; }

    // Runs the statement on the open connection and moves to the first
    // record. A statement that returns no rows set (e.g. an UPDATE) leaves the
    // recordset closed, as ADO does. An empty statement, a closed connection
    // or an open recordset throw; a driver failure throws with the
    // diagnostics in conn.Errors(). The CommandTimeout of the connection
    // applies. Only read-only access is offered (lockType other than
    // adLockReadOnly / adLockUnspecified throws 3001).
    void Open(const std::string& sql, AdoConnection& conn, long cursorType = ado::adOpenUnspecified,
              long lockType = ado::adLockUnspecified, long options = ado::adCmdUnspecified);
    void Open(const std::u16string& sql, AdoConnection& conn, long cursorType = ado::adOpenUnspecified,
              long lockType = ado::adLockUnspecified, long options = ado::adCmdUnspecified);
    // Throws 3704 when not open.
    void Close();
    long State() const { return stmt_ ? ado::adStateOpen : ado::adStateClosed; }

    // The number of records when known without doubt, else -1: the driver's
    // row count where it states one reliably for a result set, the count
    // once the records have been walked to the end from the first, or for a
    // client cursor (adUseClient) over a SELECT the server's COUNT(*) of it,
    // asked at opening where an earlier result showed that the driver states
    // none.
    long RecordCount() const;
    bool BOF() const;
    // ADO's EOF (the name EOF is a C macro).
    bool EndOfFile() const;

    void MoveFirst();
    // Throws 3021 when already at the end.
    void MoveNext();

    long FieldCount() const;
    // Throws 3265 for an index outside 0 .. FieldCount()-1.
    AdoField Field(long index);
    const OdbcColumn& Column(long index) const;

    // Used by AdoField: the current record's value of a column (3021 when
    // there is no current record), and the chunk reader. A value is read
    // from the driver when it is first asked for, and kept for the record.
    const AdoValue& CurrentValue(long index);
    long CurrentStatus(long index);
    AdoValue Chunk(long index, long length);

    // Used by AdoConnection when it goes away: the recordset is closed and
    // forgets the connection.
    void ConnectionGone();

private:
    void CheckOpen() const;
    void Execute(bool bind);
    long CountOnServer(AdoConnection& conn) const;
    bool ReadAhead();
    void Replay();
    void Fetch();
    void ReadRow();
    void ReadCell(std::size_t index);
    struct Cell;
    Cell& CurrentCell(long index);
    void CloseStatement(bool throwOnError);
    [[noreturn]] void FailOnStatement();
    // Throws an error of our own, emptying the connection's Errors().
    [[noreturn]] void Raise(std::uint32_t hresult, const char* source, const char* description) const;

    long cursorLocation_ = ado::adUseServer;
    long cursorType_ = ado::adOpenForwardOnly;
    long lockType_ = ado::adLockReadOnly;

    AdoConnection* conn_ = nullptr;  // while open
    AdoConnection* owner_ = nullptr; // the connection last opened on, until it goes away
    void* stmt_ = nullptr;           // SQLHSTMT while open
    std::vector<OdbcColumn> columns_;
    OdbcBoundRow bound_; // the buffers a fetch fills
    // The driver reads any column in any order: values are read when asked,
    // and once one is asked for, columns are bound for the next fetches
    // (a walk that only counts reads nothing).
    bool onDemand_ = false;
    bool rowInBuffers_ = false; // the current record was fetched into bound_
    // Why the driver could not deliver a value, thrown when it is asked for.
    struct CellFailure
    {
        AdoComError error;
        std::vector<AdoProviderError> diagnostics;
    };
    // One value of the current record; cells are reused from record to record.
    struct Cell
    {
        AdoValue value;
        long status = ado::adFieldOK;
        std::unique_ptr<CellFailure> failure; // only for a value that failed
        bool read = false;                    // for the current record
    };
    std::vector<Cell> row_; // the current record, valid while hasRow_
    // A client cursor's rows, read ahead at opening; then the walk replays them.
    OdbcRowSpool spool_;
    bool replaying_ = false;
    std::vector<unsigned char> spoolRow_;
    std::unique_ptr<CellFailure> spoolEnd_; // the failure that ended the reading ahead
    bool hasRow_ = false;
    std::u16string sql_;
    bool bof_ = true;
    bool eof_ = true;
    long position_ = -1;    // 0-based index of the current record
    long driverCount_ = -1; // what the driver stated, when reliable
    long walkedCount_ = -1; // counted by walking to the end from record 0
    long serverCount_ = -1; // the server's COUNT(*) of the statement
    long chunkField_ = -1;  // GetChunk state: field and offset
    std::size_t chunkOffset_ = 0;
};
