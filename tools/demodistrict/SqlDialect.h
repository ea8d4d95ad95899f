#pragma once

#include "DemoSchema.h"
#include "SqlValue.h"

#include <string>

namespace demo
{

enum class Dialect
{
    Sqlite,
    Postgresql
};

// The schema that holds the PostgreSQL demo objects; the search path puts it ahead of pg_catalog.
inline constexpr const char* kPostgresSchema = "tsisdemo";

Dialect parseDialect(const std::string& name);
std::string sqlType(const ColumnDef& column, Dialect dialect);
// A value as SQL text; a text is quoted with its single quotes doubled.
std::string sqlLiteral(const SqlValue& value);
// A value as a field of PostgreSQL's COPY text format: \N for NULL, backslash escapes.
std::string copyField(const SqlValue& value);

} // namespace demo
