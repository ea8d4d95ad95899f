#pragma once

#include "XDateTime.h"
#include "XString.h"

// The per-dialect texts that do not depend on a connection.
namespace SqlDialect
{
// A date literal for the dialect of `type` (1..21). mssqlDigitsOnly selects the
// eight bare digits for MSSQL; xbaseDateFormat is the pattern dBase IV (XBase)
// writes dates with. Throws XException for type 0 and unknown types.
XString DateLiteral(const XDate& date, int type, bool mssqlDigitsOnly, const char* xbaseDateFormat);

// MSSQL and Access want single quotes around the value; others take it as is.
XString Quote(const XString& text, int type);

// A column name as the dialect of `type` needs it: a plain name (a letter or
// "_", then letters, digits and "_") as it is, so statements keep their bytes;
// any other name, such as R-ID-NBR, in brackets for MSSQL, Access and Sybase,
// in back quotes for MySQL, in double quotes for the others.
XString Identifier(const XString& name, int type);
} // namespace SqlDialect
