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
} // namespace SqlDialect
