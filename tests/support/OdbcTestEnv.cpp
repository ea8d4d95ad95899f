#include "OdbcTestEnv.h"
#include <QByteArray>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace fs = std::filesystem;

namespace odbctest
{
std::string Env(const char* name, const char* fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

namespace
{

std::string FindDriver(const std::string& file)
{
    // The driver of this program's own word size first (a 32-bit Windows build
    // under Wine reaches the host's 32-bit driver manager).
    static const char* const dirs[] = {sizeof(void*) == 4 ? "/usr/lib/i386-linux-gnu/odbc"
                                                          : "/usr/lib/x86_64-linux-gnu/odbc",
                                       "/usr/lib/aarch64-linux-gnu/odbc",
                                       "/usr/lib/odbc",
                                       "/usr/lib64",
                                       "/usr/lib",
                                       "/usr/local/lib"};
    std::error_code ec;
    for (const char* d : dirs)
    {
        const fs::path p = fs::path(d) / file;
        if (fs::exists(p, ec))
            return p.generic_string();
    }
    // Other multiarch folders.
    for (const auto& entry : fs::directory_iterator("/usr/lib", ec))
    {
        const fs::path p = entry.path() / "odbc" / file;
        if (fs::exists(p, ec))
            return p.generic_string();
    }
    return "";
}

std::string ReadTemplate(const std::string& name)
{
    const fs::path p = fs::path(TSIS_SOURCE_DIR) / "tests" / "odbc" / name;
    std::ifstream in(p, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read ODBC template " + p.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Replace(std::string& text, const std::string& token, const std::string& value)
{
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
        text.replace(at, token.size(), value);
}

// Write to a private name, then rename: readers see the old or the new file.
void WriteAtomically(const fs::path& path, const std::string& text)
{
    // Test programs running side by side write the same text; Windows refuses
    // to rename over a file another one has open, so an equal file stays.
    {
        std::ifstream in(path, std::ios::binary);
        const std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in && old == text)
            return;
    }
    const fs::path tmp = path.string() + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out)
            throw std::runtime_error("cannot write " + tmp.string());
    }
    fs::rename(tmp, path);
}

} // namespace

std::string OdbcTestFolder()
{
    // Forward slashes: the ini files are read by unixODBC, under Wine too.
    return (fs::path(TSIS_BINARY_DIR) / "odbc-test").generic_string();
}

std::string SqliteDsnDatabase()
{
    return (fs::path(OdbcTestFolder()) / "dsn.sqlite").generic_string();
}

std::string SqliteDriverPath()
{
    return FindDriver("libsqlite3odbc.so");
}

std::string PostgresDriverPath()
{
    return FindDriver("psqlodbcw.so");
}

PostgresParams PostgresFromEnvironment()
{
    PostgresParams p;
    p.host = Env("TSIS_PG_HOST", "127.0.0.1");
    p.port = Env("TSIS_PG_PORT", "55432");
    p.user = Env("TSIS_PG_USER", "tsis");
    p.database = Env("TSIS_PG_DB", "tsis");
    p.password = Env("TSIS_PG_PASSWORD");
    return p;
}

bool RunningInCi()
{
    return Env("CI") == "true";
}

std::string SetUpOdbcTestEnv()
{
    static const std::string folder = []
    {
        const fs::path dir = OdbcTestFolder();
        fs::create_directories(dir);
        const PostgresParams pg = PostgresFromEnvironment();

        std::string inst = ReadTemplate("odbcinst.ini.in");
        Replace(inst, "@SQLITE_DRIVER@", SqliteDriverPath());
        Replace(inst, "@PG_DRIVER@", PostgresDriverPath());
        std::string dsn = ReadTemplate("odbc.ini.in");
        Replace(dsn, "@SQLITE_DATABASE@", SqliteDsnDatabase());
        Replace(dsn, "@PG_HOST@", pg.host);
        Replace(dsn, "@PG_PORT@", pg.port);
        Replace(dsn, "@PG_DB@", pg.database);
        Replace(dsn, "@PG_USER@", pg.user);
        Replace(dsn, "@PG_PASSWORD@", pg.password);

        WriteAtomically(dir / "odbcinst.ini", inst);
        WriteAtomically(dir / "odbc.ini", dsn);
        qputenv("ODBCSYSINI", QByteArray(dir.string().c_str()));
        qputenv("ODBCINSTINI", "odbcinst.ini");
        qputenv("ODBCINI", QByteArray((dir / "odbc.ini").string().c_str()));
        return dir.string();
    }();
    return folder;
}

} // namespace odbctest

// The ODBC driver manager's ini cache and the PostgreSQL client library keep
// allocations for the life of the process; under LeakSanitizer they would
// fail every test that connects. Leaks of our own code still show.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libodbcinst.so\n"
           "leak:libpq.so\n";
}
