#include "odbc/OdbcBoundRow.h"

#include "platform/OdbcHeaders.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "odbc/AdoDecimalText.h"
#include "odbc/OdbcColumnReader.h"

namespace
{

// Characters of the buffer of a text column: its declared size when that is
// modest, else a size most values fit (longer ones go through SQLGetData).
SQLULEN TextChars(const OdbcColumn& c)
{
    return c.columnSize >= 1 && c.columnSize <= 1024 ? c.columnSize : 255;
}

// The C type and buffer size a column is bound with; 0 for none.
SQLSMALLINT BindingFor(const OdbcColumn& c, SQLLEN& bytes)
{
    switch (c.sqlType)
    {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        bytes = sizeof(SQLBIGINT);
        return c.sqlType == SQL_BIGINT && c.isUnsigned ? SQL_C_UBIGINT : SQL_C_SBIGINT;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        bytes = sizeof(double);
        return SQL_C_DOUBLE;
    case SQL_BIT:
        bytes = 1;
        return SQL_C_BIT;
    case SQL_TYPE_DATE:
    case SQL_DATE:
        bytes = sizeof(SQL_DATE_STRUCT);
        return SQL_C_TYPE_DATE;
    case SQL_TYPE_TIME:
    case SQL_TIME:
        bytes = sizeof(SQL_TIME_STRUCT);
        return SQL_C_TYPE_TIME;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        bytes = sizeof(SQL_TIMESTAMP_STRUCT);
        return SQL_C_TYPE_TIMESTAMP;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        // Sign, point and terminator besides the digits.
        bytes = static_cast<SQLLEN>(std::min<unsigned long long>(c.columnSize, 60) + 3);
        return SQL_C_CHAR;
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        bytes = static_cast<SQLLEN>((TextChars(c) + 1) * sizeof(SQLWCHAR));
        return SQL_C_WCHAR;
    default:
        return 0;
    }
}

} // namespace

void OdbcBoundRow::Bind(void* handle, const std::vector<OdbcColumn>& columns)
{
    slots_.clear();
    SQLHSTMT stmt = static_cast<SQLHSTMT>(handle);
    // Sized once: the driver keeps the addresses of the buffers.
    slots_.resize(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i)
    {
        Slot& s = slots_[i];
        s.column = columns[i];
        const SQLSMALLINT cType = BindingFor(s.column, s.bytes);
        if (cType == 0)
            continue;
        s.buffer.assign((static_cast<std::size_t>(s.bytes) + 7) / 8, 0);
        if (SQL_SUCCEEDED(SQLBindCol(stmt, static_cast<SQLUSMALLINT>(i + 1), cType, s.buffer.data(), s.bytes,
                                     &s.indicator)))
            s.cType = cType;
    }
}

bool OdbcBoundRow::Holds(std::size_t index) const
{
    if (index >= slots_.size() || slots_[index].cType == 0)
        return false;
    const Slot& s = slots_[index];
    if (s.indicator == SQL_NULL_DATA)
        return true;
    if (s.cType != SQL_C_WCHAR && s.cType != SQL_C_CHAR)
        return s.indicator >= 0;
    const SQLLEN unit = s.cType == SQL_C_WCHAR ? static_cast<SQLLEN>(sizeof(SQLWCHAR)) : 1;
    if (s.indicator == SQL_NO_TOTAL || s.indicator < 0 || s.indicator >= s.bytes - unit)
        return false;
    if (s.cType == SQL_C_WCHAR)
        return true;
    // A decimal Take cannot parse is read again with SQLGetData, which says why.
    AdoDecimal d;
    std::string error;
    return ParseAdoDecimal(
        std::string(reinterpret_cast<const char*>(s.buffer.data()), static_cast<std::size_t>(s.indicator)), d,
        error);
}

void OdbcBoundRow::Save(std::size_t index, std::vector<unsigned char>& out) const
{
    const Slot& s = slots_[index];
    const auto* indicator = reinterpret_cast<const unsigned char*>(&s.indicator);
    out.insert(out.end(), indicator, indicator + sizeof s.indicator);
    if (s.indicator == SQL_NULL_DATA)
        return;
    // Texts keep what they hold; fixed-size values keep their buffer.
    const bool text = s.cType == SQL_C_WCHAR || s.cType == SQL_C_CHAR;
    const std::size_t n = static_cast<std::size_t>(text ? s.indicator : s.bytes);
    const auto* data = reinterpret_cast<const unsigned char*>(s.buffer.data());
    out.insert(out.end(), data, data + n);
}

bool OdbcBoundRow::Restore(std::size_t index, const unsigned char*& data, const unsigned char* end)
{
    if (index >= slots_.size() || slots_[index].cType == 0)
        return false;
    Slot& s = slots_[index];
    SQLLEN indicator = 0;
    if (end - data < static_cast<std::ptrdiff_t>(sizeof indicator))
        return false;
    std::memcpy(&indicator, data, sizeof indicator);
    data += sizeof indicator;
    s.indicator = indicator;
    if (indicator == SQL_NULL_DATA)
        return true;
    const bool text = s.cType == SQL_C_WCHAR || s.cType == SQL_C_CHAR;
    const std::size_t n = static_cast<std::size_t>(text ? indicator : s.bytes);
    if (indicator < 0 || n > s.buffer.size() * sizeof s.buffer[0] || end - data < static_cast<std::ptrdiff_t>(n))
        return false;
    std::memcpy(s.buffer.data(), data, n);
    data += n;
    return true;
}

bool OdbcBoundRow::Take(std::size_t index, AdoValue& value) const
{
    if (index >= slots_.size() || slots_[index].cType == 0)
        return false;
    const Slot& s = slots_[index];
    if (s.indicator == SQL_NULL_DATA)
    {
        value = AdoValue::Null();
        return true;
    }
    const void* data = s.buffer.data();
    switch (s.cType)
    {
    case SQL_C_UBIGINT:
        value =
            AdoValue::Integer(ado::VT_UI8, static_cast<std::int64_t>(*static_cast<const SQLUBIGINT*>(data)));
        return true;
    case SQL_C_SBIGINT:
        value = OdbcIntegerValue(s.column, *static_cast<const SQLBIGINT*>(data));
        return true;
    case SQL_C_DOUBLE:
        value = AdoValue::Real(s.column.sqlType == SQL_REAL ? ado::VT_R4 : ado::VT_R8,
                               *static_cast<const double*>(data));
        return true;
    case SQL_C_BIT:
        value = AdoValue::Bool(*static_cast<const unsigned char*>(data) != 0);
        return true;
    case SQL_C_TYPE_DATE:
        value = OdbcDateValue(*static_cast<const SQL_DATE_STRUCT*>(data));
        return true;
    case SQL_C_TYPE_TIME:
        value = OdbcTimeValue(*static_cast<const SQL_TIME_STRUCT*>(data));
        return true;
    case SQL_C_TYPE_TIMESTAMP:
        value = OdbcTimestampValue(*static_cast<const SQL_TIMESTAMP_STRUCT*>(data));
        return true;
    default:
        break;
    }
    // Text: a value that filled its buffer may have been cut.
    const SQLLEN unit = s.cType == SQL_C_WCHAR ? static_cast<SQLLEN>(sizeof(SQLWCHAR)) : 1;
    if (s.indicator == SQL_NO_TOTAL || s.indicator < 0 || s.indicator >= s.bytes - unit)
        return false;
    if (s.cType == SQL_C_CHAR)
    {
        AdoDecimal d;
        std::string error;
        if (!ParseAdoDecimal(
                std::string(static_cast<const char*>(data), static_cast<std::size_t>(s.indicator)), d, error))
            return false; // SQLGetData reads it again and reports why
        value = AdoValue::Decimal(d);
        return true;
    }
    const std::size_t length = static_cast<std::size_t>(s.indicator) / sizeof(SQLWCHAR);
    if (value.type != ado::VT_BSTR)
        value = AdoValue::Text(std::u16string());
    value.text.assign(static_cast<const char16_t*>(data), length);
    return true;
}
