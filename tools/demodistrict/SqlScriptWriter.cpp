#include "SqlScriptWriter.h"

#include "CatalogueObjects.h"

#include <stdexcept>

namespace demo
{
namespace
{
// A column name such as R-ID-NBR needs double quotes in both dialects.
std::string columnName(const std::string& name)
{
    return name.find('-') == std::string::npos ? name : "\"" + name + "\"";
}
} // namespace

SqlScriptWriter::SqlScriptWriter(std::ostream& out, Dialect dialect, Flavour flavour, std::size_t batchRows)
    : out_(out), dialect_(dialect), flavour_(flavour), batchRows_(batchRows == 0 ? 1 : batchRows)
{
}

void SqlScriptWriter::begin()
{
    out_ << scriptPrologue(dialect_);
    for (const TableDef& t : demoTables())
    {
        out_ << "CREATE TABLE " << t.name << " (";
        std::string columns;
        bool first = true;
        for (const ColumnDef& c : t.columns)
        {
            if (!columnPresent(c, flavour_))
                continue;
            out_ << (first ? "" : ", ") << columnName(c.name) << ' ' << sqlType(c, dialect_);
            columns += (first ? "" : ", ") + columnName(c.name);
            first = false;
        }
        out_ << ");\n";
        Pending& p = pending_[t.name];
        p.table = &t;
        // PostgreSQL reads COPY data several times faster than INSERT statements.
        p.head = dialect_ == Dialect::Postgresql ? "COPY " + t.name + " (" + columns + ") FROM stdin;\n"
                                                 : "INSERT INTO " + t.name + " (" + columns + ") VALUES\n";
    }
    begun_ = true;
}

void SqlScriptWriter::row(const std::string& table, const std::vector<SqlValue>& values)
{
    if (!begun_)
        throw std::logic_error("row before begin");
    auto it = pending_.find(table);
    if (it == pending_.end())
        throw std::logic_error("row for unknown table " + table);
    Pending& p = it->second;
    const std::vector<ColumnDef>& columns = p.table->columns;
    if (values.size() != columns.size())
        throw std::logic_error(table + ": " + std::to_string(values.size()) + " values for " +
                               std::to_string(columns.size()) + " columns");
    const bool copy = dialect_ == Dialect::Postgresql;
    std::string line = copy ? "" : p.count == 0 ? "(" : ",\n(";
    bool first = true;
    for (std::size_t i = 0; i < columns.size(); ++i)
    {
        const SqlValue& v = values[i];
        const bool fits = v.kind() == SqlValue::Kind::Null ||
                          (columns[i].type == ColumnType::Integer) == (v.kind() == SqlValue::Kind::Integer);
        if (!fits)
            throw std::logic_error(table + "." + columns[i].name + ": value of the wrong type");
        if (v.kind() == SqlValue::Kind::Text && static_cast<int>(v.text().size()) > columns[i].width)
            throw std::logic_error(table + "." + columns[i].name + ": '" + v.text() + "' is too long");
        if (!columnPresent(columns[i], flavour_))
            continue;
        if (copy)
            line += (first ? "" : "\t") + copyField(v);
        else
            line += (first ? "" : ", ") + sqlLiteral(v);
        first = false;
    }
    line += copy ? "\n" : ")";
    p.rows += line;
    ++p.total;
    if (++p.count >= batchRows_)
        flush(p);
}

void SqlScriptWriter::flush(Pending& p)
{
    if (p.count == 0)
        return;
    out_ << p.head << p.rows << (dialect_ == Dialect::Postgresql ? "\\.\n" : ";\n");
    p.rows.clear();
    p.count = 0;
}

void SqlScriptWriter::finish()
{
    for (const TableDef& t : demoTables())
        flush(pending_[t.name]);
    out_ << catalogueObjects(dialect_, flavour_) << scriptEpilogue(dialect_);
    out_.flush();
    if (!out_)
        throw std::runtime_error("could not write the SQL script");
}

long SqlScriptWriter::rowCount(const std::string& table) const
{
    auto it = pending_.find(table);
    return it == pending_.end() ? 0 : it->second.total;
}

} // namespace demo
