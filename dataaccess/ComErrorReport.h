#pragma once

#include "XString.h"
#include "odbc/AdoComError.h"

// The text report of an ADO failure: one "Error number:" line per provider
// error it carries (when there are any), then the COM error's code, meaning, source and
// description. It holds the provider's texts only, never a connection string.
XString ComErrorReport(const AdoComError& error);

// The connection-failure class of a report: 1629 when the text shows a lost
// link (ORA-03135, ORA-03113, or a provider line of state 08001, 08003, 08004,
// 08007, 08S01, 57P01, 57P02, 57P03), 12170 for a connect timeout (ORA-12170,
// state HYT01), otherwise 1. The one place that decides what a lost link is.
int ClassifyQueryErrorText(const XString& text);
