#include "SqlDialect.h"

#include <stdexcept>

namespace demo
{

Dialect parseDialect(const std::string& name)
{
    if (name == "sqlite")
        return Dialect::Sqlite;
    if (name == "postgresql" || name == "postgres")
        return Dialect::Postgresql;
    throw std::invalid_argument("unknown dialect '" + name + "' (sqlite or postgresql)");
}

std::string sqlType(const ColumnDef& column, Dialect)
{
    // The same declarations suit both: SQLite gives VARCHAR text affinity.
    if (column.type == ColumnType::Integer)
        return "INTEGER";
    return "VARCHAR(" + std::to_string(column.width) + ")";
}

std::string sqlLiteral(const SqlValue& value)
{
    switch (value.kind())
    {
    case SqlValue::Kind::Null:
        return "NULL";
    case SqlValue::Kind::Integer:
        return std::to_string(value.number());
    case SqlValue::Kind::Text:
        break;
    }
    std::string out = "'";
    for (char c : value.text())
    {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    out += '\'';
    return out;
}

std::string copyField(const SqlValue& value)
{
    switch (value.kind())
    {
    case SqlValue::Kind::Null:
        return "\\N";
    case SqlValue::Kind::Integer:
        return std::to_string(value.number());
    case SqlValue::Kind::Text:
        break;
    }
    std::string out;
    for (char c : value.text())
    {
        switch (c)
        {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace demo
