#include "odbc/OdbcResult.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include "odbc/AdoValue.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcDiagnostics.h"
#include "platform/NativeFile.h"
#include "platform/ThreadLocale.h"

namespace
{
const char* const kRecordsetSource = "ADODB.Recordset";
const char* const kNoCurrentRecord =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    "requires a current record.";
const char* const kNotReadBack = "The rows read ahead could not be read back.";
std::size_t g_spoolMemoryLimit = 1u << 20;

bool IsBlank(const std::u16string& s)
{
    return std::all_of(s.begin(), s.end(),
                       [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; });
}

// Characters of the buffer of a text column: its declared size when that is
// modest, else a size most values fit (longer ones go through SQLGetData).
SQLULEN TextChars(const OdbcColumn& c)
{
    return c.columnSize >= 1 && c.columnSize <= 1024 ? c.columnSize : 255;
}

// The C type a column is read as, and the size of its bound buffer (0: the
// column is left to SQLGetData).
SQLSMALLINT CTypeFor(const OdbcColumn& c, SQLLEN& bytes)
{
    bytes = 0;
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
        // Sign, point and terminator besides the digits, and one byte more,
        // so that a value of every digit is not taken for a cut one.
        bytes = static_cast<SQLLEN>(std::min<unsigned long long>(c.columnSize, 60) + 4);
        return SQL_C_CHAR;
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        // The terminator and one character more: a value that fills its
        // declared size (a one-letter code) is then not taken for a cut one.
        bytes = static_cast<SQLLEN>((TextChars(c) + 2) * sizeof(SQLWCHAR));
        return SQL_C_WCHAR;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return SQL_C_BINARY;
    default:
        return SQL_C_WCHAR; // read as text
    }
}

// An integer of a signed or unsigned column below 64 bits or a signed 64-bit one.
AdoValue IntegerValue(const OdbcColumn& c, std::int64_t v)
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

// The value of a fixed-size C buffer of type cType.
AdoValue FixedValue(const OdbcColumn& c, SQLSMALLINT cType, const void* data)
{
    switch (cType)
    {
    case SQL_C_UBIGINT:
        return AdoValue::Integer(ado::VT_UI8,
                                 static_cast<std::int64_t>(*static_cast<const SQLUBIGINT*>(data)));
    case SQL_C_SBIGINT:
        return IntegerValue(c, *static_cast<const SQLBIGINT*>(data));
    case SQL_C_DOUBLE:
        return AdoValue::Real(c.sqlType == SQL_REAL ? ado::VT_R4 : ado::VT_R8,
                              *static_cast<const double*>(data));
    case SQL_C_BIT:
        return AdoValue::Bool(*static_cast<const unsigned char*>(data) != 0);
    case SQL_C_TYPE_DATE:
    {
        const auto& d = *static_cast<const SQL_DATE_STRUCT*>(data);
        return AdoValue::Date(AutomationDate(d.year, d.month, d.day, 0, 0, 0, 0));
    }
    case SQL_C_TYPE_TIME:
    {
        // A time alone is a time on day 0, as ADO gives adDBTime values.
        const auto& t = *static_cast<const SQL_TIME_STRUCT*>(data);
        return AdoValue::Date(AutomationDate(1899, 12, 30, t.hour, t.minute, t.second, 0));
    }
    default:
    {
        const auto& ts = *static_cast<const SQL_TIMESTAMP_STRUCT*>(data);
        return AdoValue::Date(AutomationDate(ts.year, ts.month, ts.day, ts.hour, ts.minute, ts.second,
                                             static_cast<int>(ts.fraction / 1000000)));
    }
    }
}

// A driver's text of an exact number; throws for one a decimal cannot hold.
AdoValue DecimalValue(const std::string& text)
{
    AdoDecimal d;
    std::string error;
    if (!ParseAdoDecimal(text, d, error))
        throw AdoComError(error.find("large") != std::string::npos ? ado::DISP_E_OVERFLOW_HR
                                                                   : ado::DISP_E_TYPEMISMATCH_HR,
                          "ADODB.Field", error);
    return AdoValue::Decimal(d);
}

// Long data comes in pieces: SQLGetData returns 01004 while more follows.
// False for NULL; throws when the driver fails.
template <typename Out> bool ReadPieces(SQLHSTMT stmt, SQLUSMALLINT col, SQLSMALLINT cType, Out& out)
{
    using Unit = typename Out::value_type;
    const std::size_t terminator = cType == SQL_C_BINARY ? 0 : 1;
    // One buffer per thread for every piece; the driver writes what it delivers.
    thread_local std::vector<Unit> buf(4096);
    for (;;)
    {
        SQLLEN ind = 0;
        const SQLRETURN rc =
            SQLGetData(stmt, col, cType, buf.data(), static_cast<SQLLEN>(buf.size() * sizeof(Unit)), &ind);
        if (rc == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(rc))
            throw ProviderFailure(SQL_HANDLE_STMT, stmt);
        if (ind == SQL_NULL_DATA)
            return false;
        const std::size_t room = buf.size() - terminator;
        // SQL_SUCCESS_WITH_INFO with a full buffer: truncated, more to come.
        const bool full = ind == SQL_NO_TOTAL || static_cast<std::size_t>(ind) / sizeof(Unit) > room;
        out.insert(out.end(), buf.data(),
                   buf.data() + (full ? room : static_cast<std::size_t>(ind) / sizeof(Unit)));
        if (rc == SQL_SUCCESS || !full)
            return true;
    }
}

// Reads column `index` of the current row with SQLGetData.
void GetData(SQLHSTMT stmt, std::size_t index, const OdbcColumn& c, AdoValue& value)
{
    const SQLUSMALLINT col = static_cast<SQLUSMALLINT>(index + 1);
    SQLLEN bytes = 0;
    const SQLSMALLINT cType = CTypeFor(c, bytes);
    if (cType == SQL_C_WCHAR)
    {
        std::u16string text;
        value = ReadPieces(stmt, col, cType, text) ? AdoValue::Text(std::move(text)) : AdoValue::Null();
    }
    else if (cType == SQL_C_BINARY)
    {
        std::vector<unsigned char> data;
        value = ReadPieces(stmt, col, cType, data) ? AdoValue::Bytes(std::move(data)) : AdoValue::Null();
    }
    else if (cType == SQL_C_CHAR)
    {
        std::string text;
        value = ReadPieces(stmt, col, cType, text) ? DecimalValue(text) : AdoValue::Null();
    }
    else
    {
        std::uint64_t buffer[4] = {};
        SQLLEN ind = 0;
        if (!SQL_SUCCEEDED(SQLGetData(stmt, col, cType, buffer, sizeof buffer, &ind)))
            throw ProviderFailure(SQL_HANDLE_STMT, stmt);
        value = ind == SQL_NULL_DATA ? AdoValue::Null() : FixedValue(c, cType, buffer);
    }
}

template <typename T> void Put(std::vector<unsigned char>& out, const T& v)
{
    const auto* p = reinterpret_cast<const unsigned char*>(&v);
    out.insert(out.end(), p, p + sizeof v);
}

bool GetBytes(const unsigned char*& data, const unsigned char* end, void* to, std::size_t n)
{
    if (static_cast<std::size_t>(end - data) < n)
        return false;
    if (n > 0)
        std::memcpy(to, data, n);
    data += n;
    return true;
}

template <typename T> bool Get(const unsigned char*& data, const unsigned char* end, T& v)
{
    return GetBytes(data, end, &v, sizeof v);
}

// A value in a spooled row: its type, then what that type holds.
void PutValue(std::vector<unsigned char>& out, const AdoValue& v)
{
    Put(out, v.type);
    switch (v.type)
    {
    case ado::VT_NULL:
    case ado::VT_EMPTY:
        return;
    case ado::VT_BSTR:
    {
        Put(out, static_cast<std::uint32_t>(v.text.size()));
        const auto* p = reinterpret_cast<const unsigned char*>(v.text.data());
        out.insert(out.end(), p, p + v.text.size() * sizeof(char16_t));
        return;
    }
    case ado::VT_ARRAY_UI1:
        Put(out, static_cast<std::uint32_t>(v.bytes.size()));
        out.insert(out.end(), v.bytes.begin(), v.bytes.end());
        return;
    case ado::VT_DECIMAL:
        Put(out, v.decimal);
        return;
    case ado::VT_BOOL:
        Put(out, v.boolean);
        return;
    case ado::VT_R4:
    case ado::VT_R8:
    case ado::VT_DATE:
        Put(out, v.real);
        return;
    default:
        Put(out, v.integer);
    }
}

bool GetValue(const unsigned char*& data, const unsigned char* end, AdoValue& v)
{
    if (!Get(data, end, v.type))
        return false;
    std::uint32_t n = 0;
    switch (v.type)
    {
    case ado::VT_NULL:
    case ado::VT_EMPTY:
        return true;
    case ado::VT_BSTR:
        if (!Get(data, end, n) || static_cast<std::size_t>(end - data) < n * sizeof(char16_t))
            return false;
        v.text.resize(n);
        return GetBytes(data, end, v.text.data(), n * sizeof(char16_t));
    case ado::VT_ARRAY_UI1:
        if (!Get(data, end, n) || static_cast<std::size_t>(end - data) < n)
            return false;
        v.bytes.resize(n);
        return GetBytes(data, end, v.bytes.data(), n);
    case ado::VT_DECIMAL:
        return Get(data, end, v.decimal);
    case ado::VT_BOOL:
        return Get(data, end, v.boolean);
    case ado::VT_R4:
    case ado::VT_R8:
    case ado::VT_DATE:
        return Get(data, end, v.real);
    default:
        return Get(data, end, v.integer);
    }
}
} // namespace

// The rows of a kept result, written once and read back from the start as
// often as wanted: in memory up to a limit, beyond it in an unnamed
// temporary file, so the memory it takes does not grow with the result.
class OdbcResult::Spool
{
public:
    ~Spool()
    {
        if (file_)
            std::fclose(file_);
    }

    // False when the temporary file cannot take the row.
    bool Append(const std::vector<unsigned char>& row)
    {
        const std::uint32_t length = static_cast<std::uint32_t>(row.size());
        if (row.size() != length)
            return false;
        if (!file_ && memory_.size() + sizeof length + row.size() <= g_spoolMemoryLimit)
        {
            Put(memory_, length);
            memory_.insert(memory_.end(), row.begin(), row.end());
            ++rows_;
            ++memoryRows_;
            return true;
        }
        if (!file_)
        {
            file_ = NativeFile::UnnamedTemporaryFile();
            if (!file_)
                return false;
            std::setvbuf(file_, nullptr, _IOFBF, 1u << 18);
        }
        if (std::fwrite(&length, sizeof length, 1, file_) != 1 ||
            (length > 0 && std::fwrite(row.data(), row.size(), 1, file_) != 1))
            return false;
        ++rows_;
        return true;
    }
    std::size_t Rows() const { return rows_; }

    // False when the rows could not all be written.
    bool Rewind()
    {
        readRows_ = 0;
        readOffset_ = 0;
        // Rows still in the file's buffer meet a full disk only here.
        return !file_ || (std::fflush(file_) == 0 && !std::ferror(file_));
    }
    // The next row into `row`; false at the end or when the file cannot be read.
    bool Next()
    {
        if (readRows_ >= rows_)
            return false;
        if (readRows_ == memoryRows_ && file_ && std::fseek(file_, 0, SEEK_SET) != 0)
            return false;
        std::uint32_t length = 0;
        if (!Read(&length, sizeof length))
            return false;
        row.resize(length);
        if (!Read(row.data(), length))
            return false;
        ++readRows_;
        return true;
    }

    std::vector<unsigned char> row;       // the row read last
    std::unique_ptr<AdoComError> failure; // the driver failure that ended the reading ahead

private:
    bool Read(void* data, std::size_t n)
    {
        if (readRows_ < memoryRows_)
        {
            const unsigned char* at = memory_.data() + readOffset_;
            if (!GetBytes(at, memory_.data() + memory_.size(), data, n))
                return false;
            readOffset_ += n;
            return true;
        }
        return n == 0 || (file_ && std::fread(data, n, 1, file_) == 1);
    }

    std::vector<unsigned char> memory_;
    std::FILE* file_ = nullptr;
    std::size_t rows_ = 0;
    std::size_t memoryRows_ = 0;
    std::size_t readRows_ = 0;   // rows read since the last Rewind
    std::size_t readOffset_ = 0; // in memory_
};

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

OdbcResult::OdbcResult() = default;

OdbcResult::~OdbcResult() = default;

std::size_t OdbcResult::SetSpoolMemoryLimit(std::size_t bytes)
{
    return std::exchange(g_spoolMemoryLimit, bytes);
}

void OdbcResult::Open(const std::u16string& sql, OdbcConnection& conn, bool keepRows)
{
    Close();
    if (!conn.IsOpen())
        throw AdoComError(ado::adErrObjectClosed_HR, kRecordsetSource,
                          "Operation is not allowed when the object is closed.");
    if (IsBlank(sql))
    {
        AdoProviderError e;
        e.number = static_cast<long>(static_cast<std::int32_t>(ado::DB_E_NOCOMMAND_HR));
        e.description = "Command text was not set for the command object.";
        e.source = kRecordsetSource;
        throw AdoComError(ado::DB_E_NOCOMMAND_HR, kRecordsetSource, e.description, {e});
    }
    stmt_ = OdbcStatementHandle(conn.NativeHandle());
    onDemand_ = conn.Driver().readsAnyColumn;
    // A driver without query timeouts still runs the statement.
    const long timeout = std::max(0L, conn.CommandTimeout());
    SQLSetStmtAttr(stmt_.Get(), SQL_ATTR_QUERY_TIMEOUT,
                   reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout)), 0);
    sql_ = sql;
    driverCount_ = -1;
    walkedCount_ = -1;
    try
    {
        Execute();
        if (columns_.empty())
        {
            Close(); // no rows set (e.g. an UPDATE)
            return;
        }
        SQLLEN n = -1;
        if (conn.Driver().statesRowCount && SQL_SUCCEEDED(SQLRowCount(stmt_.Get(), &n)) && n >= 0)
            driverCount_ = static_cast<long>(n);
        if (keepRows && driverCount_ < 0 && !ReadAhead())
        {
            // A value the spool cannot take: the rows are streamed after all.
            spool_.reset();
            SQLFreeStmt(stmt_.Get(), SQL_CLOSE);
            Execute();
        }
        if (!spool_)
        {
            Fetch();
            bof_ = eof_; // an empty result is at BOF and EOF at once
        }
    }
    catch (...)
    {
        Close();
        throw;
    }
}

// Reads every row of the result into the spool; then the statement is
// closed and the walk replays the spool. A driver failure ends the reading
// and is raised where the walk reaches it, as a streamed walk would meet it.
// False when a value cannot be read.
bool OdbcResult::ReadAhead()
{
    SQLHSTMT stmt = stmt_.Get();
    const OdbcTextLocale utf8;
    if (onDemand_)
        Bind();
    auto spool = std::make_unique<Spool>();
    std::vector<unsigned char> bytes;
    AdoValue value;
    for (;;)
    {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
        {
            spool->failure = std::make_unique<AdoComError>(ProviderFailure(SQL_HANDLE_STMT, stmt));
            break;
        }
        rowInBuffers_ = !slots_.empty();
        bytes.clear();
        for (std::size_t i = 0; i < columns_.size(); ++i)
        {
            try
            {
                ReadValue(i, value);
            }
            catch (const AdoComError&)
            {
                return false;
            }
            PutValue(bytes, value);
        }
        if (!spool->Append(bytes))
            return false;
    }
    SQLFreeStmt(stmt, SQL_CLOSE);
    if (!spool->Rewind())
        return false;
    if (!spool->failure)
        walkedCount_ = static_cast<long>(spool->Rows());
    spool_ = std::move(spool);
    Rewound();
    return true;
}

void OdbcResult::Replay()
{
    if (!spool_->Next())
    {
        if (static_cast<std::size_t>(position_ + 1) < spool_->Rows())
            throw AdoComError(ado::E_FAIL_HR, kRecordsetSource, kNotReadBack);
        if (spool_->failure)
            throw *spool_->failure;
        eof_ = true;
        ++position_;
        return;
    }
    const unsigned char* data = spool_->row.data();
    const unsigned char* end = data + spool_->row.size();
    for (Cell& cell : row_)
    {
        if (!GetValue(data, end, cell.value))
            throw AdoComError(ado::E_FAIL_HR, kRecordsetSource, kNotReadBack);
        cell.failure.reset();
        cell.read = true;
        cell.status = cell.value.IsNull() ? ado::adFieldIsNull : ado::adFieldOK;
    }
    ++position_;
    hasRow_ = true;
}

// Runs the statement and describes its columns; the first fetch is the caller's.
void OdbcResult::Execute()
{
    const OdbcTextLocale utf8;
    std::u16string text = sql_;
    const SQLRETURN rc = SQLExecDirectW(stmt_.Get(), reinterpret_cast<SQLWCHAR*>(text.data()),
                                        static_cast<SQLINTEGER>(text.size()));
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        FailOnStatement();
    Describe();
    SQLFreeStmt(stmt_.Get(), SQL_UNBIND);
    slots_.clear();
    rowInBuffers_ = false;
    row_.clear();
    row_.resize(columns_.size());
    hasRow_ = false;
    position_ = -1;
    bof_ = false;
    eof_ = false;
}

void OdbcResult::Describe()
{
    SQLHSTMT stmt = stmt_.Get();
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt, &count)))
        FailOnStatement();
    columns_.assign(static_cast<std::size_t>(std::max<SQLSMALLINT>(count, 0)), OdbcColumn());
    for (SQLUSMALLINT col = 1; col <= columns_.size(); ++col)
    {
        OdbcColumn& c = columns_[col - 1];
        std::u16string name(256, u'\0');
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        const auto describe = [&]
        {
            return SQLDescribeColW(stmt, col, reinterpret_cast<SQLWCHAR*>(name.data()),
                                   static_cast<SQLSMALLINT>(name.size()), &nameLength, &type, &size, &digits,
                                   &nullable);
        };
        SQLRETURN rc = describe();
        if (SQL_SUCCEEDED(rc) && nameLength >= static_cast<SQLSMALLINT>(name.size()))
        {
            name.assign(static_cast<std::size_t>(nameLength) + 1, u'\0');
            rc = describe();
        }
        if (!SQL_SUCCEEDED(rc))
            FailOnStatement();
        name.resize(std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)),
                                          name.size()));
        // For an 8-bit driver the driver manager states the length in bytes of
        // the driver's UTF-8 name, which can exceed the number of characters.
        name.resize(std::min(name.size(), name.find(u'\0')));
        c.name = name;
        c.sqlType = type;
        c.columnSize = size;
        SQLLEN isUnsigned = SQL_FALSE;
        // Only integer types can be unsigned for ADO's purposes.
        c.isUnsigned =
            (type == SQL_TINYINT || type == SQL_SMALLINT || type == SQL_INTEGER || type == SQL_BIGINT) &&
            SQL_SUCCEEDED(SQLColAttributeW(stmt, col, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned)) &&
            isUnsigned == SQL_TRUE;
        c.adoType = AdoTypeForSqlType(type, c.isUnsigned);
    }
}

// Binds the columns to buffers, so one fetch delivers a row's values
// without one SQLGetData per value; binary columns, a failed binding and a
// value longer than its buffer are left to SQLGetData.
void OdbcResult::Bind()
{
    // Sized once: the driver keeps the addresses of the buffers.
    slots_.assign(columns_.size(), Slot());
    for (std::size_t i = 0; i < columns_.size(); ++i)
    {
        Slot& s = slots_[i];
        const SQLSMALLINT cType = CTypeFor(columns_[i], s.bytes);
        if (s.bytes == 0)
            continue;
        s.buffer.assign((static_cast<std::size_t>(s.bytes) + 7) / 8, 0);
        if (SQL_SUCCEEDED(SQLBindCol(stmt_.Get(), static_cast<SQLUSMALLINT>(i + 1), cType, s.buffer.data(),
                                     s.bytes, &s.indicator)))
            s.cType = cType;
    }
}

// The value of a bound column after a fetch, its text storage reused; false
// when it is to be read with SQLGetData (not bound, cut, or a decimal that
// does not parse, whose reading again says why).
bool OdbcResult::TakeBound(std::size_t index, AdoValue& value) const
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
    if (s.cType != SQL_C_WCHAR && s.cType != SQL_C_CHAR)
    {
        value = FixedValue(columns_[index], s.cType, data);
        return true;
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
            return false;
        value = AdoValue::Decimal(d);
        return true;
    }
    if (value.type != ado::VT_BSTR)
        value = AdoValue::Text(std::u16string());
    value.text.assign(static_cast<const char16_t*>(data),
                      static_cast<std::size_t>(s.indicator) / sizeof(SQLWCHAR));
    return true;
}

void OdbcResult::ReadValue(std::size_t index, AdoValue& value)
{
    if (rowInBuffers_ && TakeBound(index, value))
        return;
    const OdbcTextLocale utf8;
    GetData(stmt_.Get(), index, columns_[index], value);
}

void OdbcResult::ReadCell(std::size_t index)
{
    Cell& cell = row_[index];
    cell.read = true;
    cell.failure.reset();
    try
    {
        ReadValue(index, cell.value);
        cell.status = cell.value.IsNull() ? ado::adFieldIsNull : ado::adFieldOK;
    }
    catch (const AdoComError& e)
    {
        cell.status = ado::adFieldCantConvertValue;
        cell.failure = std::make_unique<AdoComError>(e);
    }
}

void OdbcResult::Fetch()
{
    hasRow_ = false;
    if (spool_)
    {
        Replay();
        return;
    }
    const OdbcTextLocale utf8;
    const SQLRETURN rc = SQLFetch(stmt_.Get());
    if (rc == SQL_NO_DATA)
    {
        eof_ = true;
        if (walkedCount_ < 0)
            walkedCount_ = position_ + 1;
        ++position_;
        return;
    }
    if (!SQL_SUCCEEDED(rc))
        FailOnStatement();
    ++position_;
    rowInBuffers_ = !slots_.empty();
    for (std::size_t i = 0; i < row_.size(); ++i)
    {
        row_[i].read = false;
        if (!onDemand_)
            ReadCell(i);
    }
    hasRow_ = true;
}

// Back before the first record of the spool, then onto it.
void OdbcResult::Rewound()
{
    position_ = -1;
    eof_ = false;
    Fetch();
    bof_ = eof_;
}

OdbcResult::Cell& OdbcResult::CurrentCell(long index)
{
    Column(index);
    if (bof_ || eof_ || !hasRow_)
        throw AdoComError(ado::adErrNoCurrentRecord_HR, kRecordsetSource, kNoCurrentRecord);
    Cell& cell = row_[static_cast<std::size_t>(index)];
    if (!cell.read)
    {
        // Values are wanted: the next fetches fill bound buffers.
        if (slots_.empty())
            Bind();
        ReadCell(static_cast<std::size_t>(index));
    }
    return cell;
}

void OdbcResult::Close()
{
    stmt_.Reset();
    columns_.clear();
    row_.clear();
    slots_.clear();
    spool_.reset();
    hasRow_ = false;
    bof_ = eof_ = true;
    position_ = -1;
}

void OdbcResult::FailOnStatement()
{
    throw ProviderFailure(SQL_HANDLE_STMT, stmt_.Get());
}

void OdbcResult::CheckOpen() const
{
    if (!stmt_)
        throw AdoComError(ado::adErrObjectClosed_HR, kRecordsetSource,
                          "Operation is not allowed when the object is closed.");
}

long OdbcResult::RecordCount() const
{
    CheckOpen();
    return driverCount_ >= 0 ? driverCount_ : walkedCount_;
}

bool OdbcResult::BOF() const
{
    CheckOpen();
    return bof_;
}

bool OdbcResult::EndOfFile() const
{
    CheckOpen();
    return eof_;
}

void OdbcResult::MoveFirst()
{
    CheckOpen();
    if (position_ == 0 && !eof_)
        return;
    if (spool_)
    {
        spool_->Rewind(); // written in full when the reading ahead ended
        Rewound();
        return;
    }
    // A forward-only cursor cannot go back: run the statement again.
    SQLFreeStmt(stmt_.Get(), SQL_CLOSE);
    Execute();
    Fetch();
    bof_ = eof_;
}

void OdbcResult::MoveNext()
{
    CheckOpen();
    if (eof_)
        throw AdoComError(ado::adErrNoCurrentRecord_HR, kRecordsetSource, kNoCurrentRecord);
    Fetch();
}

long OdbcResult::FieldCount() const
{
    CheckOpen();
    return static_cast<long>(columns_.size());
}

const OdbcColumn& OdbcResult::Column(long index) const
{
    CheckOpen();
    if (index < 0 || static_cast<std::size_t>(index) >= columns_.size())
        throw AdoComError(
            ado::adErrItemNotFound_HR, "ADODB.Fields",
            "Item cannot be found in the collection corresponding to the requested name or ordinal.");
    return columns_[static_cast<std::size_t>(index)];
}

const AdoValue& OdbcResult::Value(long index)
{
    const Cell& cell = CurrentCell(index);
    if (cell.failure)
        throw *cell.failure;
    return cell.value;
}

long OdbcResult::Status(long index)
{
    return CurrentCell(index).status;
}
