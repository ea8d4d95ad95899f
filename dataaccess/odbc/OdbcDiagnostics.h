#pragma once

#include <string>
#include <vector>

#include "odbc/AdoComError.h"

// The diagnostic records of the last call on an ODBC handle, as provider
// errors ("[SQLSTATE] message", native error as number).
std::vector<AdoProviderError> CollectOdbcDiagnostics(short handleType, void* handle);

// The error an ADO call raises for a failed provider call: E_FAIL with the
// first record's description (or a generic text when there is none), carrying
// the records; the second form collects them from the handle.
AdoComError ProviderFailure(std::vector<AdoProviderError> diagnostics);
AdoComError ProviderFailure(short handleType, void* handle);

// UTF-8 <-> UTF-16 for the texts crossing the ODBC W interface.
std::u16string Utf8ToUtf16(const std::string& s);
std::string Utf16ToUtf8(const std::u16string& s);
