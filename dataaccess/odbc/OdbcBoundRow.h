#pragma once

#include "platform/OdbcHeaders.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "odbc/AdoValue.h"
#include "odbc/OdbcColumn.h"

// Buffers bound to the result columns of a statement (SQLBindCol), so one
// fetch delivers a row's values without one SQLGetData per value. Numbers,
// dates, bits, decimals and texts are bound; binary columns and a value
// longer than its buffer are left to SQLGetData.
class OdbcBoundRow
{
public:
    // Binds the columns of the statement's current result; the buffers are
    // filled from the next fetch on. A failed binding leaves that column to
    // SQLGetData.
    void Bind(void* stmt, const std::vector<OdbcColumn>& columns);
    bool IsBound() const { return !slots_.empty(); }
    // Forgets the buffers; the statement must be unbound or freed first.
    void Clear() { slots_.clear(); }

    // After a fetch: the value of column `index` in `value`, its text storage
    // reused. False when the column is not bound, or its value did not fit
    // (or does not parse): it is to be read with SQLGetData.
    bool Take(std::size_t index, AdoValue& value) const;

    // For a spool of the rows: whether column `index` holds the whole value
    // of the current row, the bytes that restore it appended to `out`, and
    // their restoring (false when `data` is not such bytes).
    bool Holds(std::size_t index) const;
    void Save(std::size_t index, std::vector<unsigned char>& out) const;
    bool Restore(std::size_t index, const unsigned char*& data, const unsigned char* end);

private:
    struct Slot
    {
        SQLSMALLINT cType = 0; // 0: not bound
        OdbcColumn column;
        std::vector<std::uint64_t> buffer; // 8-byte aligned for the C structures
        SQLLEN bytes = 0;
        SQLLEN indicator = 0;
    };
    std::vector<Slot> slots_;
};
