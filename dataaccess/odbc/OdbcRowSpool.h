#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

#include "odbc/AdoValue.h"

// The rows of a result, written once and read back from the start as often
// as wanted: in memory up to a limit, beyond it in an unnamed temporary file,
// so the memory it takes does not grow with the result.
class OdbcRowSpool
{
public:
    OdbcRowSpool();
    ~OdbcRowSpool();
    OdbcRowSpool(const OdbcRowSpool&) = delete;
    OdbcRowSpool& operator=(const OdbcRowSpool&) = delete;

    // Bytes kept in memory before the rest goes to a file (for tests); returns the previous limit.
    static std::size_t SetMemoryLimit(std::size_t bytes);

    // Appends one row; false when the temporary file cannot take it.
    bool Append(const std::vector<unsigned char>& row);
    std::size_t Rows() const { return rows_; }

    // Reading: Rewind (false when the rows could not all be written), then
    // Next for each row in the order appended; false at the end or when the
    // file cannot be read.
    bool Rewind();
    bool Next(std::vector<unsigned char>& row);

    void Clear();

private:
    bool Read(void* data, std::size_t n);

    std::vector<unsigned char> memory_;
    std::FILE* file_ = nullptr;
    std::size_t rows_ = 0;
    std::size_t memoryRows_ = 0;
    // Reading position: rows read so far, offset in memory_.
    std::size_t readRows_ = 0;
    std::size_t readOffset_ = 0;
};

// A value in a spooled row: appended to `out`, read back from `data` (false
// when the bytes up to `end` hold none).
void PutSpoolValue(std::vector<unsigned char>& out, const AdoValue& value);
bool GetSpoolValue(const unsigned char*& data, const unsigned char* end, AdoValue& value);
