#include "CatalogueStatements.h"

#include "SqlDialect.h"

#include <string>

#include "DatabaseType.h"

namespace CatalogueStatements
{
namespace
{
// "%s" templates filled in without any quoting beyond what they hold.
XString Fill(const char* pattern, const XString& a)
{
    XString s;
    s.Format(static_cast<int>(std::char_traits<char>::length(pattern)) + a.Length() + 255, pattern, a.Text());
    return s;
}

XString Fill(const char* pattern, const XString& a, const XString& b)
{
    XString s;
    s.Format(static_cast<int>(std::char_traits<char>::length(pattern)) + a.Length() + b.Length() + 255,
             pattern, a.Text(), b.Text());
    return s;
}

Probe Make(const XString& statement, Verdict verdict)
{
    Probe p;
    p.defined = true;
    p.statement = statement;
    p.verdict = verdict;
    return p;
}
} // namespace

XString DoubleToSingleQuotes(const XString& name)
{
    XString s(name);
    s.ReplaceChar('"', '\'');
    return s;
}

Probe ForTable(int type, const XString& t)
{
    using namespace DatabaseType;
    switch (type)
    {
    case DBaseODBC:
    case FoxProODBC:
        return Make(Fill("SELECT * FROM %s", t), Verdict::Opens);
    case FoxProDBF:
    case SybaseOLE:
        return Make(Fill("SELECT COUNT(*) FROM %s", t), Verdict::Opens);
    case MSSQL:
        return Make(Fill("SELECT name FROM sysobjects WHERE (xtype = 'U' OR xtype = 'V') AND UPPER(name) = "
                         "UPPER('%s')",
                         t),
                    Verdict::Rows);
    case MySQL:
        return Make(Fill("SELECT TABLE_NAME FROM information_schema.TABLES T WHERE (table_name = '%s')", t),
                    Verdict::Rows);
    case SQLite:
        return Make(Fill("SELECT * FROM sqlite_master WHERE type='table' AND name='%s'", t), Verdict::Opens);
    case Access:
    {
        Probe p = Make(Fill("SELECT Name FROM MSysObjects WHERE Type=1 AND Flags=0 AND Name='%s'", t),
                       Verdict::Rows);
        p.trial = p.statement;
        p.fallback = Fill("Select COUNT(*) From %s", t);
        return p;
    }
    case Postgres:
        return Make(Fill("SELECT tablename FROM pg_tables WHERE tableowner = current_user AND tablename = %s",
                         DoubleToSingleQuotes(t)),
                    Verdict::Rows);
    case OracleODBC:
    case OracleOLE:
    case OracleMSDAORA:
        return Make(
            Fill("SELECT DISTINCT table_name FROM all_tab_columns WHERE UPPER(table_name) = UPPER('%s')", t),
            Verdict::Rows);
    case SybaseODBC:
        return Make(Fill("SELECT name FROM sysobjects WHERE (type = 'U' OR type = 'V') AND UPPER(name) = "
                         "UPPER('%s')",
                         t),
                    Verdict::Rows);
    case Progress:
        return Make(
            Fill("SELECT DISTINCT tbl FROM sysprogress.\"SYSTABLES\" WHERE UPPER(tbl) = UPPER('%s')", t),
            Verdict::Opens);
    case Informix:
    {
        Probe p = Make(Fill("SELECT COUNT(*) FROM systables WHERE tabname = '%s'", t), Verdict::Value);
        p.trial = p.statement;
        p.fallback = Fill("Select COUNT(*) From %s", t);
        return p;
    }
    case TopSpeed:
    case LotusNotes:
        return Make(Fill("Select COUNT(*) From %s", t), Verdict::Opens);
    case CADatacom:
        return Make(Fill("Select COUNT(*) From %s", t), Verdict::Value);
    default:
        return Probe();
    }
}

Probe ForField(int type, const XString& t, const XString& name)
{
    using namespace DatabaseType;
    // A probe that selects the column names it as the export's SELECT will:
    // unquoted, R-ID-NBR reads as a subtraction and the column as missing.
    // Catalogue lookups take the name as a text literal instead.
    const XString f = SqlDialect::Identifier(name, type);
    switch (type)
    {
    case DBaseODBC:
    case FoxProODBC:
    case SybaseOLE:
        return Make(Fill("SELECT %s FROM %s", f, t), Verdict::Opens);
    case FoxProDBF:
        return Make(Fill("SELECT COUNT(%s) FROM %s", f, t), Verdict::Opens);
    case MSSQL:
    case SybaseODBC:
        return Make(
            Fill("SELECT syscolumns.name FROM syscolumns JOIN sysobjects ON syscolumns.id=sysobjects.id "
                 "WHERE UPPER(sysobjects.name) = UPPER('%s') AND UPPER(syscolumns.name) = UPPER('%s')",
                 t, name),
            Verdict::Rows);
    case MySQL:
        return Make(Fill("SELECT column_name FROM information_schema.COLUMNS C WHERE (table_name = '%s' AND "
                         "column_name = '%s')",
                         t, name),
                    Verdict::Rows);
    case SQLite:
        return Make(Fill("SELECT sql FROM sqlite_master WHERE name='%s' AND sql LIKE '%s '", t, name),
                    Verdict::Opens);
    case Access:
        return Make(Fill("Select COUNT(%s) From %s", f, t), Verdict::Rows);
    case Postgres:
        return Make(Fill("SELECT attname AS testfield FROM pg_class, pg_attribute WHERE relname = %s AND "
                         "pg_class.oid = attrelid  AND attnum > 0 AND attname='%s'",
                         DoubleToSingleQuotes(t), name),
                    Verdict::Rows);
    case OracleODBC:
    case OracleOLE:
    case OracleMSDAORA:
        return Make(Fill("SELECT column_name FROM all_tab_columns WHERE UPPER(table_name) = UPPER('%s') AND "
                         "UPPER(column_name) = UPPER('%s')",
                         t, name),
                    Verdict::Rows);
    case Progress:
        return Make(Fill("SELECT \"_Field-Name\" FROM pub.\"_field\" WHERE \"_Field-Name\" = '%s' AND "
                         "\"_file-recid\" = (SELECT ROWID FROM pub.\"_file\" WHERE \"_file-name\" = '%s')",
                         name, t),
                    Verdict::Rows);
    case Informix:
    {
        Probe p = Make(Fill("select tabid from systables where tabname='%s' and colname = '%s' ", t, name),
                       Verdict::Value);
        p.trial = p.statement;
        p.fallback = Fill("Select COUNT(%s) From %s", f, t);
        return p;
    }
    case TopSpeed:
        return Make(Fill("Select COUNT(%s) From %s", f, t), Verdict::Opens);
    case LotusNotes:
        return Make(Fill("SELECT \"%s\" FROM \"%s\"", name, t), Verdict::Opens);
    case CADatacom:
        return Make(Fill("Select COUNT(%s) From %s", f, t), Verdict::Rows);
    default:
        return Probe();
    }
}

XString SchemaStatement(int type)
{
    using namespace DatabaseType;
    switch (type)
    {
    case MSSQL:
    case SybaseODBC:
        return "SELECT sysobjects.name as table_name, syscolumns.name as column_name FROM syscolumns JOIN "
               "sysobjects ON syscolumns.id=sysobjects.id";
    case MySQL:
        return "SELECT table_name as table_name, column_name as column_name FROM information_schema.COLUMNS "
               "C";
    case SQLite:
        return "SELECT name as table_name, sql as column_name FROM sqlite_master ";
    case Postgres:
        return "SELECT relname as table_name, attname as column_name FROM pg_class, pg_attribute WHERE "
               "pg_class.oid = attrelid  AND attnum > 0";
    case OracleODBC:
    case OracleOLE:
    case OracleMSDAORA:
        return "SELECT table_name as table_name, column_name as column_name FROM all_tab_columns ";
    default:
        return XString();
    }
}
} // namespace CatalogueStatements
