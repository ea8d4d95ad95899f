#include "odbc/AdoConnectionString.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace
{

struct Pair
{
    std::string key; // as written, trimmed
    std::string value;
    bool bare = false;   // a part without "="
    bool braced = false; // the value was written in ODBC's braces
};

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

// ADO syntax: parts separated by ";", "key=value", a value may be enclosed in
// double or single quotes or in ODBC's braces ("}}" a "}"), and then hold ";";
// "==" in a key is a "=".
std::vector<Pair> Parse(const std::string& s)
{
    std::vector<Pair> out;
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n)
    {
        std::string key;
        bool haveEq = false;
        while (i < n && s[i] != ';')
        {
            if (s[i] == '=')
            {
                if (i + 1 < n && s[i + 1] == '=')
                {
                    key += '=';
                    i += 2;
                    continue;
                }
                haveEq = true;
                ++i;
                break;
            }
            key += s[i++];
        }
        Pair p;
        p.key = Trim(key);
        if (!haveEq)
        {
            if (i < n)
                ++i; // the ";"
            if (!p.key.empty())
            {
                p.bare = true;
                out.push_back(p);
            }
            continue;
        }
        while (i < n && s[i] != ';' && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
        std::string value;
        if (i < n && s[i] == '{')
        {
            p.braced = true;
            for (++i; i < n; ++i)
            {
                if (s[i] == '}')
                {
                    if (i + 1 < n && s[i + 1] == '}')
                    {
                        value += '}';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += s[i];
            }
            while (i < n && s[i] != ';')
                ++i;
        }
        else if (i < n && (s[i] == '"' || s[i] == '\''))
        {
            const char q = s[i++];
            while (i < n)
            {
                if (s[i] == q)
                {
                    if (i + 1 < n && s[i + 1] == q)
                    {
                        value += q;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += s[i++];
            }
            while (i < n && s[i] != ';')
                ++i;
        }
        else
        {
            while (i < n && s[i] != ';')
                value += s[i++];
            value = Trim(value);
        }
        if (i < n)
            ++i;
        p.value = value;
        if (!p.key.empty())
            out.push_back(p);
    }
    return out;
}

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

// The SQLite ODBC driver reads every value up to the next ";" and knows no
// braces: values go to it as they are, and one holding ";" cannot go at all.
void AppendPlain(std::string& out, const std::string& key, const std::string& value)
{
    if (!out.empty())
        out += ';';
    out += key + "=" + value;
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

bool Contains(const std::string& hay, const char* needle)
{
    return hay.find(needle) != std::string::npos;
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
    std::vector<Pair> pairs = Parse(ado);

    std::string provider;
    bool haveDsn = false, haveDataSource = false, haveDriver = false, haveDatabase = false;
    for (std::size_t i = 0; i < pairs.size(); ++i)
    {
        const Pair& p = pairs[i];
        const std::string k = Lower(p.key);
        if (p.bare)
        {
            // "DB2OLEDB" alone: a provider name written without its key.
            if (i == 0 && provider.empty())
            {
                provider = p.key;
                continue;
            }
            r.error = "The connection string holds a part without \"=\".";
            return r;
        }
        if (k == "provider" && provider.empty())
            provider = p.value;
        else if (k == "dsn" || k == "filedsn")
            haveDsn = true;
        else if (k == "data source")
            haveDataSource = true;
        else if (k == "driver")
            haveDriver = true;
        else if (k == "database" || k == "initial catalog")
            haveDatabase = true;
    }

    const std::string prov = Lower(Trim(provider));
    enum class Target
    {
        Odbc,
        Sqlite
    } target = Target::Odbc;
    if (prov.empty() || prov.rfind("msdasql", 0) == 0)
    {
        if (!haveDsn && !haveDataSource && !haveDriver && haveDatabase)
            target = Target::Sqlite;
    }
    else if (Contains(prov, "sqlite"))
    {
        target = Target::Sqlite;
    }
    else if ((prov.rfind("sqloledb", 0) == 0 || prov.rfind("sqlncli", 0) == 0 ||
              prov.rfind("msoledbsql", 0) == 0) &&
             haveDsn)
    {
        target = Target::Odbc;
    }
    else
    {
        r.error = "The provider \"" + Trim(provider) +
                  "\" is not available: it has no ODBC counterpart on this system.";
        return r;
    }

    std::string out;
    bool databaseDone = false;
    for (const Pair& p : pairs)
        r.valueHoldsSemicolon = r.valueHoldsSemicolon || p.value.find(';') != std::string::npos;
    r.valueHoldsSemicolon = r.valueHoldsSemicolon || user.find(';') != std::string::npos ||
                            password.find(';') != std::string::npos;
    if (target == Target::Sqlite && r.valueHoldsSemicolon)
    {
        r.error = "A value holding \";\" cannot be given to the SQLite ODBC driver.";
        return r;
    }
    if (target == Target::Sqlite)
        AppendPlain(out, "Driver", sqliteDriver);
    for (const Pair& p : pairs)
    {
        if (p.bare)
            continue;
        const std::string k = Lower(p.key);
        if (k == "provider" || IsAdoOnlyKey(k))
            continue;
        if (target == Target::Sqlite)
        {
            if (k == "data source" || k == "database" || k == "initial catalog")
            {
                // A backslash in a given path separates folders here too.
                std::string file = p.value;
                std::replace(file.begin(), file.end(), '\\', '/');
                if (!databaseDone)
                    AppendPlain(out, "Database", file);
                databaseDone = true;
            }
            else if (k != "driver" && k != "dsn" && k != "filedsn")
            {
                AppendPlain(out, p.key, p.value);
            }
            continue;
        }
        const bool isUser = k == "user id" || k == "uid";
        const bool isPassword = k == "password" || k == "pwd";
        if ((isUser && (p.value.empty() || !user.empty())) ||
            (isPassword && (p.value.empty() || !password.empty())))
            continue; // no login of its own, or one given to Open instead
        if (k == "data source" || k == "dsn")
        {
            if (r.dsn.empty())
                r.dsn = p.value;
            Append(out, k == "dsn" ? p.key : "DSN", p.value, p.braced);
        }
        else if (k == "user id")
            Append(out, "UID", p.value, p.braced);
        else if (k == "password")
            Append(out, "PWD", p.value, p.braced);
        else if (k == "database" || k == "initial catalog")
            Append(out, "DATABASE", p.value, p.braced);
        else
            Append(out, p.key, p.value, p.braced);
    }
    if (target == Target::Odbc)
    {
        if (!user.empty())
            Append(out, "UID", user);
        if (!password.empty())
            Append(out, "PWD", password);
    }
    for (const Pair& p : pairs)
    {
        const std::string k = p.bare ? std::string() : Lower(p.key);
        r.setsStepApi = r.setsStepApi || k == "stepapi";
        if (k == "usedeclarefetch")
        {
            r.setsDeclareFetch = true;
            r.declareFetch = p.value;
        }
        r.setsFetchSize = r.setsFetchSize || k == "fetch";
    }
    if (target == Target::Sqlite)
    {
        if (!databaseDone)
        {
            r.error = "No database file is named for the SQLite provider.";
            return r;
        }
        // A mistyped path must not silently become a new empty database, and
        // rows are to be stepped through rather than loaded whole.
        bool noCreat = false, stepApi = false;
        for (const Pair& p : pairs)
        {
            noCreat = noCreat || Lower(p.key) == "nocreat";
            stepApi = stepApi || Lower(p.key) == "stepapi";
        }
        if (!noCreat)
            AppendPlain(out, "NoCreat", "1");
        if (!stepApi)
            AppendPlain(out, "StepAPI", "1");
    }
    r.ok = true;
    r.odbc = out;
    return r;
}

std::string SqliteOdbcDriver()
{
    // The driver of this program's own word size first: a 32-bit program
    // (the 32-bit Windows build under Wine among them) cannot load a 64-bit one.
    static const char* const candidates[] = {
        sizeof(void*) == 4 ? "/usr/lib/i386-linux-gnu/odbc/libsqlite3odbc.so"
                           : "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so",
        "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so",
        "/usr/lib/odbc/libsqlite3odbc.so",
        "/usr/lib64/libsqlite3odbc.so",
        "/usr/lib/libsqlite3odbc.so",
        "/usr/local/lib/libsqlite3odbc.so",
    };
    std::error_code ec;
    for (const char* c : candidates)
        if (std::filesystem::exists(c, ec))
            return c;
    return "SQLite3";
}
