#pragma once

#include <string>

// What the driver says about one result column, and the ADO view of it.
struct OdbcColumn {
    std::u16string name;
    short sqlType = 0;               // ODBC SQL type (SQL_INTEGER, SQL_WVARCHAR, ...)
    unsigned long long columnSize = 0;
    short decimalDigits = 0;
    bool nullable = true;
    bool isUnsigned = false;
    int adoType = 0;                 // DataTypeEnum
    long attributes = 0;             // FieldAttributeEnum bits
};
