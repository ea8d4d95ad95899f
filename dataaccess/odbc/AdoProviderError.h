#pragma once

#include <string>

// One entry of a connection's Errors collection: a diagnostic record of the
// ODBC call that failed.
struct AdoProviderError {
    long number = 0;          // the driver's native error code
    std::string description;  // "[SQLSTATE] message", the message as the driver wrote it (UTF-8)
    std::string source;       // who raised it
    std::string sqlState;     // the five-character SQLSTATE
};
