#include "ConnectionStringBuilder.h"

#include "DatabaseType.h"

namespace
{
// A value as the connection string holds it: as given, or in ODBC's braced
// form ("}" doubled) when it would not read back as itself, so that no key
// can come from inside a value.
XString Value(const XString& value)
{
    const int n = value.Length();
    bool braced = n > 0 && (value[0] == ' ' || value[n - 1] == ' ' || value[0] == '"' || value[0] == '\'');
    for (int i = 0; i < n && !braced; ++i)
        braced = value[i] == ';' || value[i] == '{' || value[i] == '}';
    if (!braced)
        return value;
    XString s("{");
    for (int i = 0; i < n; ++i)
    {
        s.Append(value[i]);
        if (value[i] == '}')
            s.Append('}');
    }
    return s.Append("}");
}

// [key value]: only when the value is not null.
void AppendIfSet(XString& s, const char* key, const char* value)
{
    if (value)
        s.Append(key).Append(Value(value));
}

// {key value}: only when the value is neither null nor empty.
void AppendIfNotEmpty(XString& s, const char* key, const char* value)
{
    if (value && *value)
        s.Append(key).Append(Value(value));
}

XString MssqlConnectionString(const XString& dataSource, const char* user, const char* password)
{
    // "server;database" names the database after the first semicolon.
    XString server = dataSource;
    XString database;
    int semicolon = dataSource.Find(';');
    if (semicolon < dataSource.Length())
    {
        server = dataSource.Left(semicolon);
        database = dataSource.Mid(semicolon + 1);
        database.Trim();
    }
    XString s("Provider=MSDASQL;Persist Security Info=False;Data Source=");
    s.Append(Value(server));
    if (!database.IsEmpty())
        s.Append(";Database=").Append(Value(database));
    if (user && *user)
    {
        s.Append(";User ID=").Append(Value(user));
        if (password && *password)
            s.Append(";Password=").Append(Value(password));
    }
    else
    {
        s.Append(";Trusted_Connection=yes");
    }
    return s.Append(";");
}
// s, then the user and password parts where set, then suffix.
XString WithLogin(XString s, const char* userKey, const char* passwordKey, const char* user,
                  const char* password, const char* suffix = "")
{
    AppendIfSet(s, userKey, user);
    AppendIfSet(s, passwordKey, password);
    return s.Append(suffix);
}
} // namespace

XString BuildConnectionStringFor(int type, const char* dataSource, const char* user, const char* password,
                                 const DataAccessLogFunction& log)
{
    using namespace DatabaseType;
    auto logLine = [&log](const XString& message)
    {
        if (log)
            log(8, message, "");
    };
    logLine(XString("Build Connection String for: ") + Name(type));

    const XString d = Value(XString(dataSource));
    const XString u = Value(XString(user));
    const XString p = Value(XString(password));
    XString s;
    switch (type)
    {
    case DBaseODBC:
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + d + ";Extended Properties=dBASE IV;";
    case DBaseXBase:
        // A folder path, not a connection string.
        logLine(Name(type));
        return XString(dataSource);
    case FoxProODBC:
        return WithLogin("Persist Security Info=False;Data Source=" + d + ";Collating Sequence=machine",
                         ";User ID=", ";Password=", user, password, ";");
    case FoxProDBF:
        logLine("Build Connection String: Fox Pro DBF Driver");
        return "Provider=VFPOLEDB.1;Data Source=" + d + ";Collating Sequence=MACHINE";
    case MSSQL:
        return MssqlConnectionString(XString(dataSource), user, password);
    case MySQL:
        return "Data Source=" + d + ";User Id=" + u + ";Password=" + p + ";";
    case SQLite:
        return "Database=" + d;
    case DB2:
        return "DB2OLEDB";
    case Access:
        return WithLogin("Persist Security Info=False;Data Source=" + d, ";User ID=", ";Password=", user,
                         password);
    case Postgres:
    case Progress:
    case TopSpeed:
        return WithLogin("DSN=" + d, ";UID=", ";PWD=", user, password);
    case OracleODBC:
    case OracleOLE:
    case OracleMSDAORA:
        s = type == OracleODBC  ? "Data Source="
            : type == OracleOLE ? "Provider=OraOLEDB.Oracle;Data Source="
                                : "Provider=MSDAORA;Data Source=";
        return WithLogin(s.Append(d), ";User ID=", ";Password=", user, password,
                         ";Persist Security Info=True;");
    case SybaseOLE:
        return WithLogin("Provider=Sybase ASE OLE DB Provider;Data source=" + d,
                         ";User Id=", ";Password=", user, password, ";");
    case SybaseODBC:
        return WithLogin("DSN=" + d, ";UID=", ";PWD=", user, password, ";");
    case Informix:
        s = "DSN=" + d;
        AppendIfNotEmpty(s, ";UID=", user);
        AppendIfNotEmpty(s, ";PWD=", password);
        return s.Append(";ISOLATIONLEVEL=1").Append(";");
    case LotusNotes:
    case CADatacom:
        return "DSN=" + d + ";Uid=" + u + ";Pwd=" + p + ";";
    default:
        break;
    }
    XString message(type <= Unset
                        ? "Can't build connection string for unknown database type."
                        : "Database type not yet defined for BuildConnectionString, please define.");
    logLine(message);
    throw XException(message);
}
