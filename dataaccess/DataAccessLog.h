#pragma once

#include <functional>

#include "XString.h"

// Where the helpers of the data access layer send their log lines: level,
// message, method text (empty for most lines). The task's Log in production,
// a recorder in tests.
using DataAccessLogFunction = std::function<void(int level, const XString& message, const char* method)>;
