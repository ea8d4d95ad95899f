#pragma once

#include <vector>

#include "XString.h"
#include "odbc/AdoComError.h"
#include "odbc/AdoProviderError.h"

// The text report of an ADO failure: one "Error number:" line per provider
// error (when there are any), then the COM error's code, meaning, source and
// description. It holds the provider's texts only, never a connection string.
XString ComErrorReport(const std::vector<AdoProviderError>* providerErrors, const AdoComError& error);

// 1629 when the text shows a lost Oracle connection (ORA-03135, ORA-03113),
// 12170 for an Oracle connect timeout (ORA-12170), otherwise 1.
int ClassifyQueryErrorText(const XString& text);
