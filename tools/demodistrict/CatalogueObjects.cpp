#include "CatalogueObjects.h"

namespace demo
{
namespace
{

const char* const kSqliteAllTabColumns =
    "CREATE VIEW all_tab_columns AS\n"
    "SELECT 'TSISDEMO' AS OWNER, UPPER(m.name) AS TABLE_NAME, UPPER(p.name) AS COLUMN_NAME,\n"
    "       UPPER(p.type) AS DATA_TYPE, p.cid + 1 AS COLUMN_ID\n"
    "FROM sqlite_master AS m, pragma_table_info(m.name) AS p\n"
    "WHERE m.type IN ('table', 'view') AND m.name NOT LIKE 'sqlite%' AND m.name <> 'all_tab_columns';\n";

// Lower-case column names: the client's statements name them unquoted, which PostgreSQL folds.
// VARCHAR rather than text, which psqlODBC would hand out as a long value.
const char* const kPostgresAllTabColumns =
    "CREATE VIEW all_tab_columns AS\n"
    "SELECT CAST(UPPER(n.nspname) AS VARCHAR(128)) AS owner,\n"
    "       CAST(UPPER(c.relname) AS VARCHAR(128)) AS table_name,\n"
    "       CAST(UPPER(a.attname) AS VARCHAR(128)) AS column_name,\n"
    "       CAST(UPPER(pg_catalog.format_type(a.atttypid, a.atttypmod)) AS VARCHAR(128)) AS data_type,\n"
    "       CAST(a.attnum AS INTEGER) AS column_id\n"
    "FROM pg_catalog.pg_class c\n"
    "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace\n"
    "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid\n"
    "WHERE n.nspname = 'tsisdemo' AND c.relkind IN ('r', 'v') AND a.attnum > 0 AND NOT a.attisdropped\n"
    "  AND c.relname <> 'all_tab_columns';\n";

// The Oracle date literal TO_DATE('20090115', 'YYYYMMDD') must compare with dates stored as
// eight-digit numbers, so it yields that number. Found ahead of pg_catalog.to_date through the
// search path.
const char* const kPostgresToDate =
    "CREATE FUNCTION to_date(text, text) RETURNS INTEGER LANGUAGE sql IMMUTABLE STRICT AS $$\n"
    "SELECT CASE WHEN UPPER($2) = 'YYYYMMDD' AND $1 ~ '^[0-9]{8}$' THEN CAST($1 AS INTEGER)\n"
    "            ELSE CAST(pg_catalog.to_char(pg_catalog.to_date($1, $2), 'YYYYMMDD') AS INTEGER) END\n"
    "$$;\n"
    "DO $$ BEGIN\n"
    "  EXECUTE format('ALTER DATABASE %I SET search_path = tsisdemo, pg_catalog, public', "
    "current_database());\n"
    "END $$;\n";

bool hasColumn(const TableDef& t, const char* name)
{
    for (const ColumnDef& c : t.columns)
        if (c.name == name)
            return true;
    return false;
}

// The keys a SIS gives its large tables, for the bridge's joins and date windows.
struct TableKeys
{
    const char* table;
    const char* primaryKey;
    const char* index; // a second index: the date windows of attendance, the section lookup
};
const TableKeys kTableKeys[] = {
    {"ST010", "DST_NBR, SCH_NBR, SCH_YR, ID_NBR", nullptr},
    {"SC065", nullptr, "DST_NBR, SCH_NBR, SCH_YR, COURSE, XSECTION"},
    {"AT020", "DST_NBR, SCH_NBR, SCH_YR, ID_NBR, CAL_DT", "DST_NBR, SCH_NBR, SCH_YR, CAL_DT"},
    {"AT030", "DST_NBR, SCH_NBR, SCH_YR, ID_NBR, CAL_DT, COURSE, XSECTION",
     "DST_NBR, SCH_NBR, SCH_YR, CAL_DT"},
};

const TableKeys* keysOf(const std::string& table)
{
    for (const TableKeys& k : kTableKeys)
        if (table == k.table)
            return &k;
    return nullptr;
}

// Indexes on the columns the engine joins and filters on, so a large district stays quick.
// Built after the rows are loaded, which is faster than keeping them up to date row by row.
std::string indexes(Dialect dialect, Flavour flavour)
{
    std::string out;
    for (const TableDef& t : demoTables())
    {
        const TableKeys* keys = keysOf(t.name);
        if (keys && keys->primaryKey)
            out += dialect == Dialect::Sqlite ? "CREATE UNIQUE INDEX " + t.name + "_PK ON " + t.name + " (" +
                                                    keys->primaryKey + ");\n"
                                              : "ALTER TABLE " + t.name + " ADD CONSTRAINT " + t.name +
                                                    "_PK PRIMARY KEY (" + keys->primaryKey + ");\n";
        if (keys && keys->index)
            out += "CREATE INDEX " + t.name + "_IX ON " + t.name + " (" + keys->index + ");\n";
        // The primary key starts with the school and year.
        if (hasColumn(t, "SCH_NBR") && hasColumn(t, "SCH_YR") && !(keys && keys->primaryKey))
            out += "CREATE INDEX " + t.name + "_SCH ON " + t.name + " (SCH_NBR, SCH_YR);\n";
        for (const char* key : {"ID_NBR", "FAM_NBR", "EMP_NBR", "EV_SEQ_NBR", "NT_ID"})
            if (t.hasColumn(key, flavour))
                out += "CREATE INDEX " + t.name + "_" + key + " ON " + t.name + " (" + key + ");\n";
    }
    return out;
}

} // namespace

std::string validationViewName(const std::string& table)
{
    return "DBTSIS_" + table + "_V";
}

std::string scriptPrologue(Dialect dialect)
{
    std::string out;
    if (dialect == Dialect::Sqlite)
    {
        out = "PRAGMA journal_mode = OFF;\nPRAGMA synchronous = OFF;\nPRAGMA encoding = 'UTF-8';\nBEGIN;\n"
              "DROP VIEW IF EXISTS all_tab_columns;\n";
        for (const TableDef& t : demoTables())
            out += "DROP VIEW IF EXISTS " + validationViewName(t.name) + ";\nDROP TABLE IF EXISTS " + t.name +
                   ";\n";
        return out;
    }
    return "SET client_encoding = 'UTF8';\nSET client_min_messages = warning;\nBEGIN;\n"
           "DROP SCHEMA IF EXISTS tsisdemo CASCADE;\nCREATE SCHEMA tsisdemo;\n"
           "SET search_path = tsisdemo, pg_catalog;\n";
}

std::string catalogueObjects(Dialect dialect, Flavour flavour)
{
    std::string out = indexes(dialect, flavour);
    for (const TableDef& t : demoTables())
        out += "CREATE VIEW " + validationViewName(t.name) + " AS SELECT * FROM " + t.name + ";\n";
    if (dialect == Dialect::Sqlite)
        return out + kSqliteAllTabColumns;
    return out + kPostgresAllTabColumns + kPostgresToDate;
}

std::string scriptEpilogue(Dialect dialect)
{
    if (dialect == Dialect::Sqlite)
        return "COMMIT;\nANALYZE;\n";
    // Only the demo tables: the catalogue's own are the superuser's to analyse.
    std::string out = "COMMIT;\nANALYZE ";
    for (const TableDef& t : demoTables())
        out += (&t == &demoTables().front() ? "" : ", ") + t.name;
    return out + ";\n";
}

} // namespace demo
