#include "SqlDialect.h"

#include "DatabaseType.h"

namespace SqlDialect
{
XString DateLiteral(const XDate& date, int type, bool mssqlDigitsOnly, const char* xbaseDateFormat)
{
    using namespace DatabaseType;
    switch (type)
    {
    case DBaseODBC:
    case Access:
        return "#" + date.Format("DD-MMM-YYYY") + "#";
    case DBaseXBase:
        return date.Format(xbaseDateFormat ? xbaseDateFormat : "");
    case FoxProODBC:
    case FoxProDBF:
        return "{^" + date.Format("YYYY/MM/DD") + "}";
    case MSSQL:
        if (mssqlDigitsOnly)
            return date.Format("YYYYMMDD");
        return "'" + date.Format("YYYY-MM-DD") + "'";
    case MySQL:
    case SQLite:
    case DB2:
    case Progress:
    case Mimer:
        return "'" + date.Format("yyyy-mm-dd") + "'";
    case Postgres:
        return date.Format("'MM/DD/YYYY'");
    case OracleODBC:
    case OracleOLE:
    case OracleMSDAORA:
    {
        XString t = date.Format("'YYYYMMDD'");
        if (t.IsEmpty())
            return t;
        return "TO_DATE( " + t + ", 'YYYYMMDD' )";
    }
    case SybaseOLE:
    case SybaseODBC:
    case LotusNotes:
        return "'" + date.Format("YYYY-MM-DD") + "'";
    case Informix:
    {
        XString t = date.Format("MM/DD/YYYY");
        if (t.IsEmpty())
            return t;
        return "TO_DATE(\"" + t + "\",\"%m/%d/%Y\")";
    }
    case TopSpeed:
        // Clarion counts days from 28 December 1800.
        return XString(date.DayNumber() - 73410);
    case CADatacom:
        return "'" + date.Format("yyyymmdd") + "'";
    default:
        throw XException("DB Type not defined for XODBC::SQLDate yet, feel free to do so.");
    }
}

XString Quote(const XString& text, int type)
{
    if (type == DatabaseType::MSSQL || type == DatabaseType::Access)
        return "'" + text + "'";
    return text;
}

XString Identifier(const XString& name, int type)
{
    const char* text = name.Text();
    auto letter = [](unsigned char c)
    { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    bool plain = name.Length() > 0 && letter(static_cast<unsigned char>(text[0]));
    for (int i = 1; plain && i < name.Length(); ++i)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        plain = letter(c) || (c >= '0' && c <= '9');
    }
    if (plain)
        return name;
    using namespace DatabaseType;
    switch (type)
    {
    case MSSQL:
    case Access:
    case SybaseOLE:
    case SybaseODBC:
        return "[" + name + "]";
    case MySQL:
        return "`" + name + "`";
    default:
        return "\"" + name + "\"";
    }
}
} // namespace SqlDialect
