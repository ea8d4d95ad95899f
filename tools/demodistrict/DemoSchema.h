#pragma once

#include <string>
#include <vector>

namespace demo
{

enum class Flavour
{
    Tsis,
    SchoolMax
};

enum class ColumnType
{
    Integer, // numbers, and dates as eight-digit numbers
    Text     // codes and names, VARCHAR(width)
};

// The CE810 columns that say where a student lives: PRIM_FAM and LIVE_WITH in most databases,
// LIVE_WTH alone in some.
enum class LinkColumns
{
    Any, // a column of every database
    PrimaryAndLiveWith,
    LiveWthOnly
};

struct ColumnDef
{
    std::string name;
    ColumnType type;
    int width;       // Text only
    bool tsisOnly;   // present in the TSIS flavour only
    bool schmaxOnly; // present in the SchoolMAX flavour only
    LinkColumns linkColumns;
};

struct TableDef
{
    std::string name;
    std::vector<ColumnDef> columns; // every column of both flavours, in row order

    bool hasColumn(const std::string& column, Flavour flavour) const;
};

// The SIS tables the engine reads, with every column it names.
const std::vector<TableDef>& demoTables();
const TableDef& demoTable(const std::string& name);

bool columnPresent(const ColumnDef& column, Flavour flavour);
// Which CE810 columns the script writes (PrimaryAndLiveWith unless set).
void setLinkColumns(LinkColumns columns);

} // namespace demo
