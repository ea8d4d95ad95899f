#pragma once

// The test harness that lets the SQLite demo district answer as SQL Server or
// Access would: what each statement the bridge sends becomes before SQLite
// reads it. Only what SQLite cannot read is rewritten; the rest is the
// bridge's own text.

#include <QString>

#include <optional>

namespace DialectHarness
{
enum class Mode
{
    Oracle,
    SqlServer,
    Access
};

// "oracle", "mssql" or "access"; nothing for any other name.
std::optional<Mode> ModeNamed(const char* name);

// The statement SQLite is given for one the bridge sent in `mode`. A statement
// that names another dialect's catalogue becomes one that fails, as it would
// on that server.
QString Rewrite(Mode mode, const QString& statement);

// Marks the statements that stand for a refused one.
inline constexpr char kRefused[] = "SELECT refused_by_dialect_harness";
} // namespace DialectHarness
