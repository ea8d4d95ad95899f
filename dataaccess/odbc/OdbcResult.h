#pragma once

#include "platform/OdbcHeaders.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "odbc/AdoComError.h"
#include "odbc/AdoValue.h"
#include "odbc/OdbcHandles.h"

class OdbcConnection;

// What the driver says about one result column.
struct OdbcColumn
{
    std::u16string name;
    short sqlType = 0; // SQL_INTEGER, SQL_WVARCHAR, ...
    unsigned long long columnSize = 0;
    bool isUnsigned = false;
    int adoType = 0; // DataTypeEnum: what the column reports itself as
};

// ADO's field type for an ODBC SQL type.
int AdoTypeForSqlType(short sqlType, bool isUnsigned);

// The result of one statement, read once.
//
// A result opened to keep its rows knows its size: the driver states it, or
// the rows are read once at opening into a spool (in memory up to a limit,
// then in a temporary file) that the walk replays. Otherwise rows are
// fetched one at a time and only the current record's values are held (read
// when first asked for where the driver allows, then from bound buffers),
// and MoveFirst away from the first record runs the statement again.
//
// Every failure throws AdoComError, with the diagnostics of a failed ODBC
// call. The result must be closed or destroyed before its connection.
class OdbcResult
{
public:
    OdbcResult();
    ~OdbcResult();
    OdbcResult(const OdbcResult&) = delete;
    OdbcResult& operator=(const OdbcResult&) = delete;

    // Runs the statement and moves to the first record. A statement without
    // a rows set (e.g. an UPDATE) leaves the result closed. The connection's
    // command timeout applies.
    void Open(const std::u16string& sql, OdbcConnection& conn, bool keepRows = false);
    bool IsOpen() const { return static_cast<bool>(stmt_); }
    void Close();

    // The number of records when known without doubt, else -1: the driver's
    // count where it states one reliably, the rows kept at opening, or the
    // count once the records have been walked to the end from the first.
    long RecordCount() const;
    bool BOF() const;
    bool EndOfFile() const;
    void MoveFirst();
    // Throws 3021 when already at the end.
    void MoveNext();

    long FieldCount() const;
    // Throws 3265 for an index outside 0 .. FieldCount()-1.
    const OdbcColumn& Column(long index) const;
    // The current record's value of a column and its FieldStatusEnum (3021
    // when there is no current record); a value is read once per record.
    const AdoValue& Value(long index);
    long Status(long index);

    // Bytes a spool keeps in memory before the rest goes to a file (for
    // tests); returns the previous limit.
    static std::size_t SetSpoolMemoryLimit(std::size_t bytes);

private:
    class Spool;
    struct Cell
    {
        AdoValue value;
        long status = 0;
        std::unique_ptr<AdoComError> failure; // why the driver could not deliver the value
        bool read = false;                    // for the current record
    };
    // A column's bound buffer, filled by each fetch.
    struct Slot
    {
        SQLSMALLINT cType = 0; // 0: not bound
        SQLLEN bytes = 0;
        SQLLEN indicator = 0;
        std::vector<std::uint64_t> buffer; // 8-byte aligned for the C structures
    };

    void CheckOpen() const;
    void Execute();
    void Describe();
    void Bind();
    bool ReadAhead();
    void Replay();
    void Fetch();
    void Rewound();
    void ReadCell(std::size_t index);
    void ReadValue(std::size_t index, AdoValue& value);
    bool TakeBound(std::size_t index, AdoValue& value) const;
    Cell& CurrentCell(long index);
    [[noreturn]] void FailOnStatement();

    OdbcStatementHandle stmt_; // while open
    std::u16string sql_;
    std::vector<OdbcColumn> columns_;
    std::vector<Slot> slots_; // empty while nothing is bound
    // The driver reads any column in any order: values are read when asked,
    // and once one is asked for, columns are bound for the next fetches (a
    // walk that only counts reads nothing).
    bool onDemand_ = false;
    bool rowInBuffers_ = false;
    std::vector<Cell> row_;        // the current record, valid while hasRow_
    std::unique_ptr<Spool> spool_; // a kept result's rows, while they are replayed
    bool hasRow_ = false;
    bool bof_ = true;
    bool eof_ = true;
    long position_ = -1;    // 0-based index of the current record
    long driverCount_ = -1; // what the driver stated, when reliable
    long walkedCount_ = -1; // counted by walking to the end from record 0
};
