#pragma once

#include "DataAccessLog.h"
#include "XString.h"

// The ADO connection string of each database type. Data source, user and
// password may be null: for most types a null user or password leaves its
// part out, while an empty one writes the key with nothing after it.
// Throws XException for type 0 and for types without a connection string.
XString BuildConnectionStringFor(int type, const char* dataSource, const char* user, const char* password,
                                 const DataAccessLogFunction& log);
