#pragma once

#include "DemoSchema.h"
#include "SqlDialect.h"
#include "SqlValue.h"

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace demo
{

// Writes the load script: the tables, their rows (multi-row INSERTs for SQLite, COPY blocks for
// PostgreSQL), then the indexes and catalogue objects, all inside one transaction.
class SqlScriptWriter
{
public:
    SqlScriptWriter(std::ostream& out, Dialect dialect, Flavour flavour, std::size_t batchRows = 500);

    void begin();
    // One row of a table, with a value for every column of both flavours in the order of
    // DemoSchema; columns the flavour lacks are dropped here. Throws std::logic_error on a
    // row that does not fit the table.
    void row(const std::string& table, const std::vector<SqlValue>& values);
    void finish();

    long rowCount(const std::string& table) const;

private:
    struct Pending
    {
        const TableDef* table = nullptr;
        std::string head;
        std::string rows;
        std::size_t count = 0;
        long total = 0;
    };

    void flush(Pending& pending);

    std::ostream& out_;
    Dialect dialect_;
    Flavour flavour_;
    std::size_t batchRows_;
    std::map<std::string, Pending> pending_;
    bool begun_ = false;
};

} // namespace demo
