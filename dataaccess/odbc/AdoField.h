#pragma once

#include <string>

#include "odbc/AdoValue.h"

class AdoRecordset;

// One item of a recordset's Fields collection: a handle onto column `index`
// (0-based) of the recordset, valid while the recordset stays open.
class AdoField {
public:
    AdoField(AdoRecordset &rs, long index) : rs_(&rs), index_(index) {}

    long Index() const { return index_; }
    std::string Name() const;      // UTF-8
    std::u16string NameW() const;  // UTF-16
    int Type() const;              // DataTypeEnum, after the column's ODBC SQL type
    long Attributes() const;       // FieldAttributeEnum bits; adFldLong (128) for long text/binary
    long DefinedSize() const;      // the column size the driver states
    int Precision() const;
    int NumericScale() const;

    // Current record; throw AdoComError 3021 when there is none.
    AdoValue Value() const;
    // Bytes for binary values, UTF-16 code units for text, the type's size
    // for other values, 0 for NULL.
    long ActualSize() const;
    long Status() const;  // adFieldOK (0) or adFieldIsNull (3)
    // The next `length` bytes (binary) or characters (text) of the value
    // after the part the last GetChunk on this field returned; VT_NULL once
    // everything has been read. Starts again at each record.
    AdoValue GetChunk(long length) const;

private:
    AdoRecordset *rs_;
    long index_;
};
