#include "odbc/AdoField.h"

#include "odbc/AdoRecordset.h"
#include "odbc/OdbcDiagnostics.h"

std::string AdoField::Name() const
{
    return Utf16ToUtf8(rs_->Column(index_).name);
}

std::u16string AdoField::NameW() const
{
    return rs_->Column(index_).name;
}

int AdoField::Type() const
{
    return rs_->Column(index_).adoType;
}

long AdoField::Attributes() const
{
    return rs_->Column(index_).attributes;
}

long AdoField::DefinedSize() const
{
    const unsigned long long size = rs_->Column(index_).columnSize;
    return size > 0x7fffffffULL ? 0x7fffffffL : static_cast<long>(size);
}

int AdoField::Precision() const
{
    const OdbcColumn &c = rs_->Column(index_);
    return c.columnSize > 255 ? 255 : static_cast<int>(c.columnSize);
}

int AdoField::NumericScale() const
{
    return rs_->Column(index_).decimalDigits;
}

AdoValue AdoField::Value() const
{
    return rs_->CurrentValue(index_);
}

long AdoField::ActualSize() const
{
    const AdoValue &v = rs_->CurrentValue(index_);
    switch (v.type) {
    case ado::VT_NULL:
    case ado::VT_EMPTY:
        return 0;
    case ado::VT_BSTR:
        return static_cast<long>(v.text.size());
    case ado::VT_ARRAY_UI1:
        return static_cast<long>(v.bytes.size());
    case ado::VT_I1:
    case ado::VT_UI1:
        return 1;
    case ado::VT_I2:
    case ado::VT_UI2:
    case ado::VT_BOOL:
        return 2;
    case ado::VT_I4:
    case ado::VT_UI4:
    case ado::VT_INT:
    case ado::VT_R4:
        return 4;
    case ado::VT_DECIMAL:
        return 16;
    default:
        return 8;
    }
}

long AdoField::Status() const
{
    return rs_->CurrentStatus(index_);
}

AdoValue AdoField::GetChunk(long length) const
{
    return rs_->Chunk(index_, length);
}
