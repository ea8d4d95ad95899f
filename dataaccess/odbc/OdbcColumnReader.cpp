#include "odbc/OdbcColumnReader.h"

#include "platform/OdbcHeaders.h"

#include <cstring>
#include <limits>
#include <vector>

#include "odbc/AdoDecimalText.h"
#include "odbc/AdoEnums.h"
#include "odbc/AutomationDate.h"
#include "odbc/OdbcDiagnostics.h"

namespace
{

OdbcReadResult Failed()
{
    OdbcReadResult r;
    r.ok = false;
    r.driverFailed = true;
    r.hresult = ado::E_FAIL_HR;
    return r;
}

OdbcReadResult Ok(AdoValue v)
{
    OdbcReadResult r;
    r.value = std::move(v);
    return r;
}

// Long data comes in pieces: SQLGetData returns 01004 while more follows.
template <typename Unit>
OdbcReadResult ReadPieces(SQLHSTMT stmt, SQLUSMALLINT col, SQLSMALLINT cType, std::basic_string<Unit>& out,
                          bool& isNull)
{
    const std::size_t terminator = cType == SQL_C_BINARY ? 0 : 1;
    // One buffer per thread for every piece; the driver writes what it delivers.
    thread_local std::vector<Unit> buf(4096);
    isNull = false;
    for (;;)
    {
        SQLLEN ind = 0;
        const SQLLEN bufBytes = static_cast<SQLLEN>(buf.size() * sizeof(Unit));
        const SQLRETURN rc = SQLGetData(stmt, col, cType, buf.data(), bufBytes, &ind);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
            return Failed();
        if (ind == SQL_NULL_DATA)
        {
            isNull = true;
            break;
        }
        const std::size_t room = buf.size() - terminator;
        std::size_t got;
        if (ind == SQL_NO_TOTAL || static_cast<std::size_t>(ind) / sizeof(Unit) > room)
            got = room; // truncated: the buffer is full
        else
            got = static_cast<std::size_t>(ind) / sizeof(Unit);
        out.append(buf.data(), got);
        if (rc == SQL_SUCCESS)
            break;
        // SQL_SUCCESS_WITH_INFO: either truncation (more to come) or a warning
        // on a complete value.
        if (ind != SQL_NO_TOTAL && static_cast<std::size_t>(ind) / sizeof(Unit) <= room)
            break;
    }
    return Ok(AdoValue::Empty());
}

template <typename T> bool GetFixed(SQLHSTMT stmt, SQLUSMALLINT col, SQLSMALLINT cType, T& v, bool& isNull)
{
    SQLLEN ind = 0;
    const SQLRETURN rc = SQLGetData(stmt, col, cType, &v, sizeof v, &ind);
    if (!SQL_SUCCEEDED(rc))
        return false;
    isNull = ind == SQL_NULL_DATA;
    return true;
}

OdbcReadResult ReadInteger(SQLHSTMT stmt, SQLUSMALLINT col, const OdbcColumn& c)
{
    bool isNull = false;
    if (c.sqlType == SQL_BIGINT && c.isUnsigned)
    {
        SQLUBIGINT v = 0;
        if (!GetFixed(stmt, col, SQL_C_UBIGINT, v, isNull))
            return Failed();
        if (isNull)
            return Ok(AdoValue::Null());
        return Ok(AdoValue::Integer(ado::VT_UI8, static_cast<std::int64_t>(v)));
    }
    SQLBIGINT v = 0;
    if (!GetFixed(stmt, col, SQL_C_SBIGINT, v, isNull))
        return Failed();
    if (isNull)
        return Ok(AdoValue::Null());
    return Ok(OdbcIntegerValue(c, v));
}

OdbcReadResult ReadReal(SQLHSTMT stmt, SQLUSMALLINT col, const OdbcColumn& c)
{
    double v = 0;
    bool isNull = false;
    if (!GetFixed(stmt, col, SQL_C_DOUBLE, v, isNull))
        return Failed();
    if (isNull)
        return Ok(AdoValue::Null());
    return Ok(AdoValue::Real(c.sqlType == SQL_REAL ? ado::VT_R4 : ado::VT_R8, v));
}

} // namespace

AdoValue OdbcIntegerValue(const OdbcColumn& c, std::int64_t v)
{
    unsigned short vt;
    std::int64_t lo, hi;
    switch (c.sqlType)
    {
    case SQL_TINYINT:
        vt = c.isUnsigned ? ado::VT_UI1 : ado::VT_I1;
        lo = c.isUnsigned ? 0 : -128;
        hi = c.isUnsigned ? 255 : 127;
        break;
    case SQL_SMALLINT:
        vt = c.isUnsigned ? ado::VT_UI2 : ado::VT_I2;
        lo = c.isUnsigned ? 0 : -32768;
        hi = c.isUnsigned ? 65535 : 32767;
        break;
    case SQL_INTEGER:
        vt = c.isUnsigned ? ado::VT_UI4 : ado::VT_I4;
        lo = c.isUnsigned ? 0 : std::numeric_limits<std::int32_t>::min();
        hi = c.isUnsigned ? std::numeric_limits<std::uint32_t>::max()
                          : std::numeric_limits<std::int32_t>::max();
        break;
    default:
        return AdoValue::Integer(ado::VT_I8, v);
    }
    // A driver without strict typing (SQLite) may hold a wider value than
    // the declared type: keep it whole as a 64-bit value.
    if (v < lo || v > hi)
        vt = ado::VT_I8;
    return AdoValue::Integer(vt, v);
}

namespace
{

OdbcReadResult ReadDecimal(SQLHSTMT stmt, SQLUSMALLINT col)
{
    std::string text;
    bool isNull = false;
    OdbcReadResult r = ReadPieces<char>(stmt, col, SQL_C_CHAR, text, isNull);
    if (!r.ok)
        return r;
    if (isNull)
        return Ok(AdoValue::Null());
    AdoDecimal d;
    std::string error;
    if (!ParseAdoDecimal(text, d, error))
    {
        OdbcReadResult bad;
        bad.ok = false;
        bad.hresult =
            error.find("large") != std::string::npos ? ado::DISP_E_OVERFLOW_HR : ado::DISP_E_TYPEMISMATCH_HR;
        bad.description = error;
        return bad;
    }
    return Ok(AdoValue::Decimal(d));
}

OdbcReadResult ReadText(SQLHSTMT stmt, SQLUSMALLINT col)
{
    std::u16string text;
    bool isNull = false;
    OdbcReadResult r = ReadPieces<char16_t>(stmt, col, SQL_C_WCHAR, text, isNull);
    if (!r.ok)
        return r;
    if (isNull)
        return Ok(AdoValue::Null());
    return Ok(AdoValue::Text(std::move(text)));
}

OdbcReadResult ReadBinary(SQLHSTMT stmt, SQLUSMALLINT col)
{
    std::basic_string<unsigned char> data;
    bool isNull = false;
    OdbcReadResult r = ReadPieces<unsigned char>(stmt, col, SQL_C_BINARY, data, isNull);
    if (!r.ok)
        return r;
    if (isNull)
        return Ok(AdoValue::Null());
    return Ok(AdoValue::Bytes(std::vector<unsigned char>(data.begin(), data.end())));
}

OdbcReadResult ReadBit(SQLHSTMT stmt, SQLUSMALLINT col)
{
    unsigned char v = 0;
    bool isNull = false;
    if (!GetFixed(stmt, col, SQL_C_BIT, v, isNull))
        return Failed();
    if (isNull)
        return Ok(AdoValue::Null());
    return Ok(AdoValue::Bool(v != 0));
}

OdbcReadResult ReadDateTime(SQLHSTMT stmt, SQLUSMALLINT col, const OdbcColumn& c)
{
    bool isNull = false;
    switch (c.sqlType)
    {
    case SQL_TYPE_DATE:
    case SQL_DATE:
    {
        SQL_DATE_STRUCT d{};
        if (!GetFixed(stmt, col, SQL_C_TYPE_DATE, d, isNull))
            return Failed();
        return Ok(isNull ? AdoValue::Null() : OdbcDateValue(d));
    }
    case SQL_TYPE_TIME:
    case SQL_TIME:
    {
        SQL_TIME_STRUCT t{};
        if (!GetFixed(stmt, col, SQL_C_TYPE_TIME, t, isNull))
            return Failed();
        return Ok(isNull ? AdoValue::Null() : OdbcTimeValue(t));
    }
    default:
    {
        SQL_TIMESTAMP_STRUCT ts{};
        if (!GetFixed(stmt, col, SQL_C_TYPE_TIMESTAMP, ts, isNull))
            return Failed();
        return Ok(isNull ? AdoValue::Null() : OdbcTimestampValue(ts));
    }
    }
}

} // namespace

AdoValue OdbcDateValue(const SQL_DATE_STRUCT& d)
{
    return AdoValue::Date(AutomationDate(d.year, d.month, d.day, 0, 0, 0, 0));
}

AdoValue OdbcTimeValue(const SQL_TIME_STRUCT& t)
{
    // A time alone is a time on day 0, as ADO gives adDBTime values.
    return AdoValue::Date(AutomationDate(1899, 12, 30, t.hour, t.minute, t.second, 0));
}

AdoValue OdbcTimestampValue(const SQL_TIMESTAMP_STRUCT& ts)
{
    return AdoValue::Date(AutomationDate(ts.year, ts.month, ts.day, ts.hour, ts.minute, ts.second,
                                         static_cast<int>(ts.fraction / 1000000)));
}

int AdoTypeForSqlType(short t, bool isUnsigned)
{
    switch (t)
    {
    case SQL_CHAR:
        return ado::adChar;
    case SQL_VARCHAR:
        return ado::adVarChar;
    case SQL_LONGVARCHAR:
        return ado::adLongVarChar;
    case SQL_WCHAR:
        return ado::adWChar;
    case SQL_WVARCHAR:
        return ado::adVarWChar;
    case SQL_WLONGVARCHAR:
        return ado::adLongVarWChar;
    case SQL_DECIMAL:
        return ado::adDecimal;
    case SQL_NUMERIC:
        return ado::adNumeric;
    case SQL_SMALLINT:
        return isUnsigned ? ado::adUnsignedSmallInt : ado::adSmallInt;
    case SQL_INTEGER:
        return isUnsigned ? ado::adUnsignedInt : ado::adInteger;
    case SQL_TINYINT:
        return isUnsigned ? ado::adUnsignedTinyInt : ado::adTinyInt;
    case SQL_BIGINT:
        return isUnsigned ? ado::adUnsignedBigInt : ado::adBigInt;
    case SQL_REAL:
        return ado::adSingle;
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return ado::adDouble;
    case SQL_BIT:
        return ado::adBoolean;
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return ado::adDBDate;
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return ado::adDBTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return ado::adDBTimeStamp;
    case SQL_BINARY:
        return ado::adBinary;
    case SQL_VARBINARY:
        return ado::adVarBinary;
    case SQL_LONGVARBINARY:
        return ado::adLongVarBinary;
    case SQL_GUID:
        return ado::adGUID;
    default:
        return ado::adVarWChar; // read as text
    }
}

long AdoAttributesFor(short t, bool nullable)
{
    long a = nullable ? (ado::adFldIsNullable | ado::adFldMayBeNull) : 0;
    switch (t)
    {
    case SQL_LONGVARCHAR:
    case SQL_WLONGVARCHAR:
    case SQL_LONGVARBINARY:
        a |= ado::adFldLong;
        break;
    case SQL_VARCHAR:
    case SQL_WVARCHAR:
    case SQL_VARBINARY:
        break;
    default:
        a |= ado::adFldFixed;
    }
    return a;
}

OdbcColumn DescribeOdbcColumn(void* handle, int index)
{
    SQLHSTMT stmt = static_cast<SQLHSTMT>(handle);
    const SQLUSMALLINT col = static_cast<SQLUSMALLINT>(index + 1);
    OdbcColumn c;
    std::u16string name(256, u'\0');
    SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = SQL_NULLABLE_UNKNOWN;
    SQLULEN size = 0;
    SQLRETURN rc =
        SQLDescribeColW(stmt, col, reinterpret_cast<SQLWCHAR*>(name.data()),
                        static_cast<SQLSMALLINT>(name.size()), &nameLength, &type, &size, &digits, &nullable);
    if (SQL_SUCCEEDED(rc) && nameLength >= static_cast<SQLSMALLINT>(name.size()))
    {
        name.assign(static_cast<std::size_t>(nameLength) + 1, u'\0');
        rc = SQLDescribeColW(stmt, col, reinterpret_cast<SQLWCHAR*>(name.data()),
                             static_cast<SQLSMALLINT>(name.size()), &nameLength, &type, &size, &digits,
                             &nullable);
    }
    if (!SQL_SUCCEEDED(rc))
        throw ProviderFailure(CollectOdbcDiagnostics(SQL_HANDLE_STMT, stmt));
    name.resize(
        std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)), name.size()));
    // For an 8-bit driver the driver manager states the length in bytes of
    // the driver's UTF-8 name, which can exceed the number of characters.
    name.resize(std::min(name.size(), name.find(u'\0')));
    c.name = name;
    c.sqlType = type;
    c.columnSize = size;
    c.decimalDigits = digits;
    c.nullable = nullable != SQL_NO_NULLS;
    SQLLEN isUnsigned = SQL_FALSE;
    if (SQL_SUCCEEDED(SQLColAttributeW(stmt, col, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned)))
        c.isUnsigned = isUnsigned == SQL_TRUE;
    // Only integer types can be unsigned for ADO's purposes.
    if (type != SQL_TINYINT && type != SQL_SMALLINT && type != SQL_INTEGER && type != SQL_BIGINT)
        c.isUnsigned = false;
    c.adoType = AdoTypeForSqlType(type, c.isUnsigned);
    c.attributes = AdoAttributesFor(type, c.nullable);
    return c;
}

OdbcReadResult ReadOdbcValue(void* handle, int index, const OdbcColumn& c)
{
    SQLHSTMT stmt = static_cast<SQLHSTMT>(handle);
    const SQLUSMALLINT col = static_cast<SQLUSMALLINT>(index + 1);
    switch (c.sqlType)
    {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return ReadInteger(stmt, col, c);
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return ReadReal(stmt, col, c);
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return ReadDecimal(stmt, col);
    case SQL_BIT:
        return ReadBit(stmt, col);
    case SQL_TYPE_DATE:
    case SQL_DATE:
    case SQL_TYPE_TIME:
    case SQL_TIME:
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return ReadDateTime(stmt, col, c);
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return ReadBinary(stmt, col);
    default:
        return ReadText(stmt, col);
    }
}
