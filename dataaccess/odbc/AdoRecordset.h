#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "odbc/AdoComError.h"
#include "odbc/AdoEnums.h"
#include "odbc/AdoValue.h"
#include "odbc/OdbcBoundRow.h"
#include "odbc/OdbcColumn.h"
#include "odbc/OdbcHandles.h"
#include "odbc/OdbcRowSpool.h"

class AdoConnection;
class AdoRecordset;

// One item of a recordset's Fields collection: a handle onto column `index`
// (0-based) of the recordset, valid while the recordset stays open.
class AdoField
{
public:
    AdoField(AdoRecordset& rs, long index) : rs_(&rs), index_(index) {}

    std::string Name() const;     // UTF-8
    std::u16string NameW() const; // UTF-16
    int Type() const;             // DataTypeEnum, after the column's ODBC SQL type
    long Attributes() const;      // FieldAttributeEnum bits; adFldLong (128) for long text/binary
    long DefinedSize() const;     // the column size the driver states

    // Current record; throw AdoComError 3021 when there is none.
    AdoValue Value() const;
    long Status() const; // adFieldOK (0) or adFieldIsNull (3)

private:
    AdoRecordset* rs_;
    long index_;
};

// Stand-in for ADO's Recordset object over one ODBC statement.
//
// A recordset opened to keep its rows (ADO's client cursor) knows its size:
// the driver states it, or the rows are read once at opening into a spool (in
// memory up to a limit, then in a temporary file) that the walk replays.
// Otherwise rows are fetched one at a time and only the current record's
// values are held (read when first asked for where the driver allows), and
// MoveFirst away from the first record runs the statement again.
//
// Every failure throws AdoComError, with the provider diagnostics of a failed
// ODBC call. The recordset must be closed or destroyed before its connection.
class AdoRecordset
{
public:
    AdoRecordset();
    ~AdoRecordset();
    AdoRecordset(const AdoRecordset&) = delete;
    AdoRecordset& operator=(const AdoRecordset&) = delete;

    // Runs the statement on the open connection and moves to the first
    // record. A statement that returns no rows set (e.g. an UPDATE) leaves the
    // recordset closed, as ADO does. An empty statement, a closed connection
    // or an open recordset throw, as does a driver failure. The
    // CommandTimeout of the connection applies.
    void Open(const std::string& sql, AdoConnection& conn, bool keepRows = false);
    void Open(const std::u16string& sql, AdoConnection& conn, bool keepRows = false);
    // Throws 3704 when not open.
    void Close();
    long State() const { return stmt_ ? ado::adStateOpen : ado::adStateClosed; }

    // The number of records when known without doubt, else -1: the driver's
    // row count where it states one reliably, the rows kept at opening, or
    // the count once the records have been walked to the end from the first.
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

    // The current record's value of a column (3021 when there is no current
    // record). A value is read from the driver when it is first asked for,
    // and kept for the record.
    const AdoValue& CurrentValue(long index);
    long CurrentStatus(long index);

private:
    void CheckOpen() const;
    void Execute();
    bool ReadAhead();
    void Replay();
    void Fetch();
    void ReadRow();
    void ReadCell(std::size_t index);
    struct Cell;
    Cell& CurrentCell(long index);
    void CloseStatement();
    [[noreturn]] void FailOnStatement();

    OdbcStatementHandle stmt_; // while open
    std::vector<OdbcColumn> columns_;
    OdbcBoundRow bound_; // the buffers a fetch fills
    // The driver reads any column in any order: values are read when asked,
    // and once one is asked for, columns are bound for the next fetches
    // (a walk that only counts reads nothing).
    bool onDemand_ = false;
    bool rowInBuffers_ = false; // the current record was fetched into bound_
    // One value of the current record; cells are reused from record to record.
    struct Cell
    {
        AdoValue value;
        long status = ado::adFieldOK;
        std::unique_ptr<AdoComError> failure; // why the driver could not deliver the value
        bool read = false;                    // for the current record
    };
    std::vector<Cell> row_; // the current record, valid while hasRow_
    // A kept result's rows, read ahead at opening; then the walk replays them.
    OdbcRowSpool spool_;
    bool replaying_ = false;
    std::vector<unsigned char> spoolRow_;
    std::unique_ptr<AdoComError> spoolEnd_; // the failure that ended the reading ahead
    bool hasRow_ = false;
    std::u16string sql_;
    bool bof_ = true;
    bool eof_ = true;
    long position_ = -1;    // 0-based index of the current record
    long driverCount_ = -1; // what the driver stated, when reliable
    long walkedCount_ = -1; // counted by walking to the end from record 0
};
