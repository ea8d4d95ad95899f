#include "odbc/AdoConnectionString.h"

#include <algorithm>
#include <cctype>

#include "odbc/OdbcDriverProfile.h"

namespace
{

std::string Trim(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// A value enclosed in `open` ... `close`, where the closing character doubled
// stands for itself; what follows up to the next ";" is ignored.
std::string EnclosedValue(const std::string& s, std::size_t& i, char close)
{
    std::string value;
    for (++i; i < s.size(); ++i)
    {
        if (s[i] == close && (i + 1 >= s.size() || s[i + 1] != close))
        {
            ++i;
            break;
        }
        if (s[i] == close)
            ++i;
        value += s[i];
    }
    while (i < s.size() && s[i] != ';')
        ++i;
    return value;
}

// The key of the part at i, up to its "=" ("==" in a key is a "="); false
// when the part has none.
bool ReadKey(const std::string& s, std::size_t& i, std::string& key)
{
    for (; i < s.size() && s[i] != ';'; ++i)
    {
        if (s[i] == '=' && i + 1 < s.size() && s[i + 1] == '=')
            ++i;
        else if (s[i] == '=')
        {
            ++i;
            return true;
        }
        key += s[i];
    }
    return false;
}

} // namespace

std::vector<ConnectionStringPart> ParseConnectionString(const std::string& s)
{
    std::vector<ConnectionStringPart> out;
    for (std::size_t i = 0; i < s.size(); ++i) // past the ";" that ends each part
    {
        ConnectionStringPart p;
        std::string key;
        p.bare = !ReadKey(s, i, key);
        p.key = Trim(key);
        if (!p.bare)
        {
            while (i < s.size() && s[i] != ';' && std::isspace(static_cast<unsigned char>(s[i])))
                ++i;
            p.braced = i < s.size() && s[i] == '{';
            if (p.braced)
                p.value = EnclosedValue(s, i, '}');
            else if (i < s.size() && (s[i] == '"' || s[i] == '\''))
                p.value = EnclosedValue(s, i, s[i]);
            else
            {
                for (; i < s.size() && s[i] != ';'; ++i)
                    p.value += s[i];
                p.value = Trim(p.value);
            }
        }
        if (!p.key.empty())
            out.push_back(p);
    }
    return out;
}

namespace
{

// ODBC needs braces around a value holding ";" or braces or outer blanks;
// one given in braces keeps them.
std::string OdbcValue(const std::string& v, bool braced)
{
    const bool needs = braced || v.find_first_of(";{}") != std::string::npos ||
                       (!v.empty() && (std::isspace(static_cast<unsigned char>(v.front())) ||
                                       std::isspace(static_cast<unsigned char>(v.back()))));
    if (!needs)
        return v;
    std::string out = "{";
    for (char c : v)
    {
        out += c;
        if (c == '}')
            out += '}';
    }
    return out + "}";
}

void Append(std::string& out, const std::string& key, const std::string& value, bool braced = false)
{
    if (!out.empty())
        out += ';';
    out += key + "=" + OdbcValue(value, braced);
}

bool IsAdoOnlyKey(const std::string& k)
{
    static const char* const keys[] = {"persist security info", "collating sequence",
                                       "extended properties",   "mode",
                                       "connect timeout",       "connection timeout",
                                       "general timeout",       "ole db services",
                                       "locale identifier",     "prompt",
                                       "window handle",         "cache authentication",
                                       "encrypt password",      "mask password",
                                       "protection level",      "impersonation level",
                                       "integrated security",   "bind flags"};
    for (const char* key : keys)
        if (k == key)
            return true;
    return k.rfind("jet oledb:", 0) == 0;
}

enum class Target
{
    None,
    DataSource,
    SqliteFile
};

// Where the string leads, after its provider (a bare first word is one
// written without its key) and the keys it holds; None with the error when
// nowhere.
Target TargetOf(const std::vector<ConnectionStringPart>& parts, std::string& error)
{
    std::string provider;
    bool haveDsn = false, haveDataSource = false, haveDriver = false, haveDatabase = false;
    for (std::size_t i = 0; i < parts.size(); ++i)
    {
        const std::string k = Lower(parts[i].key);
        if (parts[i].bare && (i > 0 || !provider.empty()))
        {
            error = "The connection string holds a part without \"=\".";
            return Target::None;
        }
        if (parts[i].bare || (k == "provider" && provider.empty()))
            provider = parts[i].bare ? parts[i].key : parts[i].value;
        haveDsn = haveDsn || k == "dsn" || k == "filedsn";
        haveDataSource = haveDataSource || k == "data source";
        haveDriver = haveDriver || k == "driver";
        haveDatabase = haveDatabase || k == "database" || k == "initial catalog";
    }
    const std::string prov = Lower(Trim(provider));
    if (prov.empty() || prov.rfind("msdasql", 0) == 0)
        return !haveDsn && !haveDataSource && !haveDriver && haveDatabase ? Target::SqliteFile
                                                                          : Target::DataSource;
    if (prov.find("sqlite") != std::string::npos)
        return Target::SqliteFile;
    if ((prov.rfind("sqloledb", 0) == 0 || prov.rfind("sqlncli", 0) == 0 ||
         prov.rfind("msoledbsql", 0) == 0) &&
        haveDsn)
        return Target::DataSource;
    error = "The provider \"" + Trim(provider) +
            "\" is not available: it has no ODBC counterpart on this system.";
    return Target::None;
}

// The ODBC string of a data source: ADO's names for the ODBC keys replaced,
// a user or password given to Open in place of the string's.
std::string DataSourceString(const std::vector<ConnectionStringPart>& parts, const std::string& user,
                             const std::string& password, std::string& dsn)
{
    std::string out;
    for (const ConnectionStringPart& p : parts)
    {
        const std::string k = Lower(p.key);
        const bool isUser = k == "user id" || k == "uid";
        const bool isPassword = k == "password" || k == "pwd";
        if ((isUser && (p.value.empty() || !user.empty())) ||
            (isPassword && (p.value.empty() || !password.empty())))
            continue; // no login of its own, or one given to Open instead
        if ((k == "data source" || k == "dsn") && dsn.empty())
            dsn = p.value;
        const std::string key = k == "data source"                          ? "DSN"
                                : k == "user id"                            ? "UID"
                                : k == "password"                           ? "PWD"
                                : k == "database" || k == "initial catalog" ? "DATABASE"
                                                                            : p.key;
        Append(out, key, p.value, p.braced);
    }
    if (!user.empty())
        Append(out, "UID", user);
    if (!password.empty())
        Append(out, "PWD", password);
    return out;
}

} // namespace

AdoConnectionStringTranslation TranslateAdoConnectionString(const std::string& ado,
                                                            const std::string& sqliteDriver)
{
    return TranslateAdoConnectionString(ado, sqliteDriver, "", "");
}

AdoConnectionStringTranslation TranslateAdoConnectionString(const std::string& ado,
                                                            const std::string& sqliteDriver,
                                                            const std::string& user,
                                                            const std::string& password)
{
    AdoConnectionStringTranslation r;
    const std::vector<ConnectionStringPart> all = ParseConnectionString(ado);
    const Target target = TargetOf(all, r.error);
    if (target == Target::None)
        return r;
    // What goes to the driver: neither the provider nor what only ADO reads.
    std::vector<ConnectionStringPart> parts;
    for (const ConnectionStringPart& p : all)
    {
        const std::string k = Lower(p.key);
        if (!p.bare && k != "provider" && !IsAdoOnlyKey(k))
            parts.push_back(p);
        r.valueHoldsSemicolon = r.valueHoldsSemicolon || p.value.find(';') != std::string::npos;
        r.setsStepApi = r.setsStepApi || k == "stepapi";
        r.setsFetchSize = r.setsFetchSize || k == "fetch";
        if (k == "usedeclarefetch")
        {
            r.setsDeclareFetch = true;
            r.declareFetch = p.value;
        }
    }
    r.valueHoldsSemicolon = r.valueHoldsSemicolon || user.find(';') != std::string::npos ||
                            password.find(';') != std::string::npos;
    if (target == Target::SqliteFile)
        r.ok =
            OdbcDriverProfile::SqliteFileString(parts, sqliteDriver, r.valueHoldsSemicolon, r.odbc, r.error);
    else
    {
        r.odbc = DataSourceString(parts, user, password, r.dsn);
        r.ok = true;
    }
    if (!r.ok)
        r.odbc.clear();
    return r;
}
