#pragma once

#include <string>
#include <vector>

#include "odbc/AdoComError.h"
#include "odbc/OdbcHandles.h"

// The log-in of the connection closed last, kept for a few seconds so that
// the next connection with the same connection string reuses it, as ADO's
// pooling does. The database type check opens a connection for each of up
// to ten table names; on a server each would be a log-in of its own.
namespace OdbcConnectionPool
{
// The kept log-in for `key` when it is recent and its driver does not know
// it to be dead; an empty handle otherwise.
OdbcConnectionHandle Take(const std::u16string& key);
// Keeps a connected log-in for `key`, disconnecting the one kept before.
void Keep(const std::u16string& key, OdbcConnectionHandle dbc);

// A log-in the server refused (a wrong password) is not tried again in this
// process: every try counts against the account's lockout policy. The
// diagnostics of the refusal for `key`, or null when it was never refused.
const std::vector<AdoProviderError>* Refused(const std::u16string& key);
// Remembers the refusal when the diagnostics tell an authentication failure.
void RememberIfRefused(const std::u16string& key, const std::vector<AdoProviderError>& diagnostics);
} // namespace OdbcConnectionPool
