#pragma once

#include "XDateTime.h"

// The one source of "today" and "now" for the engine side. Production reads
// the system's local time; tests fix it.
class XClock
{
public:
    static XDateTime Now();
    static void SetFixed(const XDateTime& now); // Now() returns this until Reset()
    static void Reset();
    static bool IsFixed();
};
