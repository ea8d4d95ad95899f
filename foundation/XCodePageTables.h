#pragma once

#include <cstddef>

// The fixed tables behind XCodePage (generated: scripts/make-codepage-tables.py).
namespace XCodePageTables
{
extern const char16_t kCp1252High[128];
extern const char16_t kMacRomanHigh[128];

// The Windows-1252 bytes that stand in for a character it lacks ("Ł" is "L").
struct StandIn
{
    char16_t unit;
    const char* bytes;
};
extern const StandIn kStandIns[];
extern const std::size_t kStandInCount;
} // namespace XCodePageTables
