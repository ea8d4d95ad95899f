#pragma once

#include "platform/OdbcHeaders.h"

#include <cstdint>
#include <string>

#include "odbc/AdoValue.h"
#include "odbc/OdbcColumn.h"

// Describes result column `index` (0-based) of a statement and maps its ODBC
// SQL type onto ADO's field type and attributes.
OdbcColumn DescribeOdbcColumn(void* stmt, int index);

// ADO field type and attributes for an ODBC SQL type.
int AdoTypeForSqlType(short sqlType, bool isUnsigned);
long AdoAttributesFor(short sqlType, bool nullable);

// The VARIANT of a value the driver delivered in its C form: an integer
// (SQL_C_SBIGINT) of a signed or unsigned column below 64 bits or a signed
// 64-bit one, and the date and time structures.
AdoValue OdbcIntegerValue(const OdbcColumn& column, std::int64_t value);
AdoValue OdbcDateValue(const SQL_DATE_STRUCT& d);
AdoValue OdbcTimeValue(const SQL_TIME_STRUCT& t);
AdoValue OdbcTimestampValue(const SQL_TIMESTAMP_STRUCT& ts);

// Outcome of reading one value of the current row.
struct OdbcReadResult
{
    bool ok = true;
    AdoValue value;
    bool driverFailed = false; // the diagnostics of the statement tell why
    unsigned int hresult = 0;  // when !ok
    std::string description;   // when !ok and not a driver failure
};

// Reads column `index` (0-based) of the current row with SQLGetData, long
// data in chunks, as the VARIANT type that goes with the column.
OdbcReadResult ReadOdbcValue(void* stmt, int index, const OdbcColumn& column);
