#include "odbc/AdoRecordset.h"

#include "platform/OdbcHeaders.h"

#include <algorithm>

#include "odbc/AdoConnection.h"
#include "odbc/OdbcColumnReader.h"
#include "odbc/OdbcDiagnostics.h"
#include "platform/ThreadLocale.h"

namespace
{
const char* const kRecordsetSource = "ADODB.Recordset";
const char* const kNoCurrentRecord =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    "requires a current record.";

bool IsBlank(const std::u16string& s)
{
    return std::all_of(s.begin(), s.end(),
                       [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; });
}

} // namespace

AdoRecordset::AdoRecordset() = default;

AdoRecordset::~AdoRecordset() = default;

void AdoRecordset::Open(const std::string& sql, AdoConnection& conn, bool keepRows)
{
    Open(Utf8ToUtf16(sql), conn, keepRows);
}

void AdoRecordset::Open(const std::u16string& sql, AdoConnection& conn, bool keepRows)
{
    if (stmt_)
        throw AdoComError(ado::adErrObjectOpen_HR, kRecordsetSource,
                          "Operation is not allowed when the object is open.");
    if (conn.State() != ado::adStateOpen)
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
    SQLHSTMT stmt = stmt_.Get();
    onDemand_ = conn.Driver().readsAnyColumn;
    // A driver without query timeouts still runs the statement.
    const long timeout = std::max(0L, conn.CommandTimeout());
    SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout)),
                   0);
    sql_ = sql;
    driverCount_ = -1;
    walkedCount_ = -1;
    try
    {
        Execute();
        if (columns_.empty())
        {
            // No rows set (e.g. an UPDATE): the recordset stays closed, as in ADO.
            CloseStatement();
            return;
        }
        SQLLEN n = -1;
        if (conn.Driver().statesRowCount && SQL_SUCCEEDED(SQLRowCount(stmt, &n)) && n >= 0)
            driverCount_ = static_cast<long>(n);
        if (keepRows && driverCount_ < 0 && !ReadAhead())
        {
            // A value the spool cannot take: the rows are streamed after all.
            spool_.Clear();
            spoolEnd_.reset();
            replaying_ = false;
            SQLFreeStmt(stmt, SQL_CLOSE);
            Execute();
        }
        if (!replaying_)
        {
            Fetch();
            // An empty result is at BOF and EOF at once.
            bof_ = eof_;
        }
    }
    catch (...)
    {
        CloseStatement();
        throw;
    }
}

// Reads every row of the result into the spool; then the statement is
// closed and the walk replays the spool. A driver failure ends the reading
// and is raised where the walk reaches it, as a streamed walk would meet it.
// False when a value cannot be spooled.
bool AdoRecordset::ReadAhead()
{
    SQLHSTMT stmt = stmt_.Get();
    const OdbcTextLocale utf8;
    if (onDemand_)
        bound_.Bind(stmt_.Get(), columns_);
    long rows = 0;
    for (;;)
    {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
        {
            spoolEnd_ = std::make_unique<AdoComError>(ProviderFailure(SQL_HANDLE_STMT, stmt));
            break;
        }
        spoolRow_.clear();
        for (std::size_t i = 0; i < columns_.size(); ++i)
        {
            if (bound_.Holds(i))
            {
                spoolRow_.push_back(0);
                bound_.Save(i, spoolRow_);
                continue;
            }
            OdbcReadResult r = ReadOdbcValue(stmt, static_cast<int>(i), columns_[i]);
            if (!r.ok)
                return false;
            spoolRow_.push_back(1);
            PutSpoolValue(spoolRow_, r.value);
        }
        if (!spool_.Append(spoolRow_))
            return false;
        ++rows;
    }
    SQLFreeStmt(stmt, SQL_CLOSE);
    if (!spool_.Rewind())
        return false;
    replaying_ = true;
    if (!spoolEnd_)
        walkedCount_ = rows;
    position_ = -1;
    eof_ = false;
    Fetch();
    bof_ = eof_;
    return true;
}

void AdoRecordset::Replay()
{
    if (!spool_.Next(spoolRow_))
    {
        if (static_cast<std::size_t>(position_ + 1) < spool_.Rows())
            throw AdoComError(ado::E_FAIL_HR, kRecordsetSource, "The rows read ahead could not be read back.");
        if (spoolEnd_)
            throw *spoolEnd_;
        eof_ = true;
        ++position_;
        return;
    }
    const unsigned char* data = spoolRow_.data();
    const unsigned char* end = data + spoolRow_.size();
    for (std::size_t i = 0; i < row_.size(); ++i)
    {
        Cell& cell = row_[i];
        cell.failure.reset();
        const unsigned char kind = data < end ? *data++ : 2;
        bool ok = false;
        if (kind == 0)
        {
            ok = bound_.Restore(i, data, end);
            cell.read = false;
        }
        else if (kind == 1)
        {
            ok = GetSpoolValue(data, end, cell.value);
            cell.read = true;
            cell.status = cell.value.IsNull() ? ado::adFieldIsNull : ado::adFieldOK;
        }
        if (!ok)
            throw AdoComError(ado::E_FAIL_HR, kRecordsetSource, "The rows read ahead could not be read back.");
    }
    ++position_;
    rowInBuffers_ = true;
    hasRow_ = true;
}

// Runs the statement and describes its columns; the first fetch is the caller's.
void AdoRecordset::Execute()
{
    const OdbcTextLocale utf8;
    SQLHSTMT stmt = stmt_.Get();
    std::u16string text = sql_;
    const SQLRETURN rc =
        SQLExecDirectW(stmt, reinterpret_cast<SQLWCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size()));
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        FailOnStatement();
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt, &count)))
        FailOnStatement();
    columns_.clear();
    try
    {
        for (int i = 0; i < count; ++i)
            columns_.push_back(DescribeOdbcColumn(stmt, i));
    }
    catch (const AdoComError&)
    {
        FailOnStatement(); // the same records
    }
    SQLFreeStmt(stmt, SQL_UNBIND);
    bound_.Clear();
    rowInBuffers_ = false;
    row_.clear();
    row_.resize(columns_.size());
    hasRow_ = false;
    position_ = -1;
    bof_ = false;
    eof_ = false;
}

void AdoRecordset::Fetch()
{
    const OdbcTextLocale utf8;
    SQLHSTMT stmt = stmt_.Get();
    hasRow_ = false;
    if (replaying_)
    {
        Replay();
        return;
    }
    const SQLRETURN rc = SQLFetch(stmt);
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
    rowInBuffers_ = bound_.IsBound();
    if (onDemand_)
    {
        for (Cell& cell : row_)
            cell.read = false;
        hasRow_ = true;
        return;
    }
    ReadRow();
}

void AdoRecordset::ReadRow()
{
    for (std::size_t i = 0; i < columns_.size(); ++i)
        ReadCell(i);
    hasRow_ = true;
}

void AdoRecordset::ReadCell(std::size_t i)
{
    Cell& cell = row_[i];
    cell.read = true;
    cell.failure.reset();
    if (!rowInBuffers_ || !bound_.Take(i, cell.value))
    {
        const OdbcTextLocale utf8;
        OdbcReadResult r = ReadOdbcValue(stmt_.Get(), static_cast<int>(i), columns_[i]);
        if (!r.ok)
        {
            cell.status = ado::adFieldCantConvertValue;
            cell.failure = std::make_unique<AdoComError>(
                r.driverFailed ? ProviderFailure(SQL_HANDLE_STMT, stmt_.Get())
                               : AdoComError(r.hresult, "ADODB.Field", r.description));
            return;
        }
        cell.value = std::move(r.value);
    }
    cell.status = cell.value.IsNull() ? ado::adFieldIsNull : ado::adFieldOK;
}

AdoRecordset::Cell& AdoRecordset::CurrentCell(long index)
{
    Column(index);
    if (bof_ || eof_ || !hasRow_)
        throw AdoComError(ado::adErrNoCurrentRecord_HR, kRecordsetSource, kNoCurrentRecord);
    Cell& cell = row_[static_cast<std::size_t>(index)];
    if (!cell.read)
    {
        // Values are wanted: the next fetches fill bound buffers.
        if (!bound_.IsBound())
            bound_.Bind(stmt_.Get(), columns_);
        ReadCell(static_cast<std::size_t>(index));
    }
    return cell;
}

void AdoRecordset::Close()
{
    CheckOpen();
    CloseStatement();
}

void AdoRecordset::CloseStatement()
{
    stmt_.Reset();
    columns_.clear();
    row_.clear();
    bound_.Clear();
    spool_.Clear();
    spoolEnd_.reset();
    replaying_ = false;
    hasRow_ = false;
    bof_ = eof_ = true;
    position_ = -1;
}

void AdoRecordset::FailOnStatement()
{
    throw ProviderFailure(SQL_HANDLE_STMT, stmt_.Get());
}

void AdoRecordset::CheckOpen() const
{
    if (!stmt_)
        throw AdoComError(ado::adErrObjectClosed_HR, kRecordsetSource,
                          "Operation is not allowed when the object is closed.");
}

long AdoRecordset::RecordCount() const
{
    CheckOpen();
    if (driverCount_ >= 0)
        return driverCount_;
    return walkedCount_;
}

bool AdoRecordset::BOF() const
{
    CheckOpen();
    return bof_;
}

bool AdoRecordset::EndOfFile() const
{
    CheckOpen();
    return eof_;
}

void AdoRecordset::MoveFirst()
{
    CheckOpen();
    if (position_ == 0 && !eof_)
        return;
    if (replaying_)
    {
        spool_.Rewind(); // written in full when the reading ahead ended
        position_ = -1;
        eof_ = false;
        Fetch();
        bof_ = eof_;
        return;
    }
    // A forward-only cursor cannot go back: run the statement again.
    SQLFreeStmt(stmt_.Get(), SQL_CLOSE);
    Execute();
    Fetch();
    bof_ = eof_;
}

void AdoRecordset::MoveNext()
{
    CheckOpen();
    if (eof_)
        throw AdoComError(ado::adErrNoCurrentRecord_HR, kRecordsetSource, kNoCurrentRecord);
    Fetch();
}

long AdoRecordset::FieldCount() const
{
    CheckOpen();
    return static_cast<long>(columns_.size());
}

AdoField AdoRecordset::Field(long index)
{
    Column(index);
    return AdoField(*this, index);
}

const OdbcColumn& AdoRecordset::Column(long index) const
{
    CheckOpen();
    if (index < 0 || static_cast<std::size_t>(index) >= columns_.size())
        throw AdoComError(ado::adErrItemNotFound_HR, "ADODB.Fields",
                          "Item cannot be found in the collection corresponding to the requested name or ordinal.");
    return columns_[static_cast<std::size_t>(index)];
}

const AdoValue& AdoRecordset::CurrentValue(long index)
{
    const Cell& cell = CurrentCell(index);
    if (cell.failure)
        throw *cell.failure;
    return cell.value;
}

long AdoRecordset::CurrentStatus(long index)
{
    return CurrentCell(index).status;
}

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

AdoValue AdoField::Value() const
{
    return rs_->CurrentValue(index_);
}

long AdoField::Status() const
{
    return rs_->CurrentStatus(index_);
}
