#pragma once

#include "DemoSchema.h"
#include "SqlDialect.h"

#include <string>

namespace demo
{

// Statements around the tables: the start of the transaction, and the objects an Oracle-style
// client looks for (DBTSIS_<table>_V views, all_tab_columns, and on PostgreSQL to_date).
std::string scriptPrologue(Dialect dialect);
std::string catalogueObjects(Dialect dialect, Flavour flavour);
std::string scriptEpilogue(Dialect dialect);

// "DBTSIS_SY005_V" for "SY005".
std::string validationViewName(const std::string& table);

} // namespace demo
