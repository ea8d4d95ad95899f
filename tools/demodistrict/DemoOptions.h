#pragma once

#include "CivilDate.h"
#include "DemoSchema.h"
#include "SqlDialect.h"

#include <string>
#include <vector>

namespace demo
{

struct DemoOptions
{
    Dialect dialect = Dialect::Sqlite;
    Flavour flavour = Flavour::Tsis;
    int studentsPerSchool = 10;
    bool liveWth = false; // CE810 without PRIM_FAM, with LIVE_WTH instead of LIVE_WITH
    CivilDate today = CivilDate::today();
    std::string outputFile; // empty: standard output
    bool help = false;
};

inline constexpr int kMaxStudentsPerSchool = 89999;

// Throws std::invalid_argument with a message naming the bad option.
DemoOptions parseDemoOptions(const std::vector<std::string>& args);
std::string demoUsage();

} // namespace demo
