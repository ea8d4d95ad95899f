// Values of the connection string cannot name keys of their own, and a
// password holding ";" reaches the server as given.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "DataAccessBackends.h"
#include "DatabaseType.h"
#include "ODBCDataAccess.h"
#include "OdbcTestEnv.h"
#include "odbc/OdbcConnection.h"
#include "odbc/OdbcDiagnostics.h"
#include "odbc/OdbcResult.h"

namespace
{
std::string ConnectFailure(int type, const char* d, const char* u, const char* p)
{
    ODBCDataAccess da(0, type);
    const std::string message = ThrownText([&] { da.Connect(da.BuildConnectionString(d, u, p)); });
    EXPECT_FALSE(da.IsConnected());
    return message;
}

// A stand-in PostgreSQL server on a loopback port that asks for the password
// in clear text and keeps what the client sends.
class PasswordCatcher
{
public:
    PasswordCatcher()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length) != 0)
            return;
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~PasswordCatcher()
    {
        if (thread_.joinable())
            thread_.join();
        ::close(listener_);
    }
    int Port() const { return port_; }
    // After the client gave up: what came as the password.
    std::string Password()
    {
        if (thread_.joinable())
            thread_.join();
        return password_;
    }

private:
    bool Read(int fd, std::string& bytes, std::size_t n)
    {
        bytes.resize(n);
        for (std::size_t got = 0; got < n;)
        {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 10000) != 1)
                return false;
            ssize_t r = ::read(fd, &bytes[got], n - got);
            if (r <= 0)
                return false;
            got += static_cast<std::size_t>(r);
        }
        return true;
    }
    static std::uint32_t Int(const std::string& b, std::size_t at)
    {
        return (std::uint32_t(std::uint8_t(b[at])) << 24) | (std::uint32_t(std::uint8_t(b[at + 1])) << 16) |
               (std::uint32_t(std::uint8_t(b[at + 2])) << 8) | std::uint8_t(b[at + 3]);
    }
    void Serve()
    {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 10000) != 1)
            return;
        int fd = ::accept(listener_, nullptr, nullptr);
        std::string b;
        // Encryption requests are declined; the startup packet is answered
        // with a request for the password in clear text.
        while (Read(fd, b, 8))
        {
            const std::uint32_t length = Int(b, 0), code = Int(b, 4);
            if (code == 80877103u || code == 80877104u)
            {
                (void)!::write(fd, "N", 1);
                continue;
            }
            if (!Read(fd, b, length - 8))
                break;
            (void)!::write(fd, "R\0\0\0\x08\0\0\0\x03", 9);
            if (Read(fd, b, 5) && b[0] == 'p' && Read(fd, b, Int(b, 1) - 4))
                password_ = b.substr(0, b.find('\0'));
            static const char failed[] = "E\0\0\0\x33"
                                         "SFATAL\0C28P01\0Mpassword authentication failed\0";
            (void)!::write(fd, failed, sizeof failed);
            break;
        }
        ::close(fd);
    }

    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::string password_;
};
} // namespace

// The injections of the review: keys hidden in the data source or the user
// never reach the driver manager or the driver as keys.
TEST(ConnectionSafety, KeysInsideValuesAreRefusedOrBraced)
{
    const std::string sqliteRefusal = "A value holding \";\" cannot be given to the SQLite ODBC driver.";
    const std::string file = odbctest::SqliteDsnDatabase() + ";LoadExt=/nonexistent/x.so";
    const struct
    {
        int type;
        const char *d, *u;
        std::string expected;
    } cases[] = {
        {DatabaseType::SQLite, file.c_str(), nullptr, sqliteRefusal},
        {DatabaseType::Postgres, "TsisSqlite", "x;LoadExt=/nonexistent/x.so", sqliteRefusal},
        {DatabaseType::Postgres, "Demo;LoadExt=/nonexistent/x.so", nullptr, "Data source name not found"},
        {DatabaseType::Postgres, "Demo;Driver=/nonexistent/evil.so", nullptr, "Data source name not found"},
        {DatabaseType::OracleODBC, "Demo", "u;Driver=/nonexistent/evil.so", "Data source name not found"},
        {DatabaseType::Postgres, "Demo;Driver=/nonexistent/evil.so1", nullptr,
         "The data source name is longer than 32 characters."},
    };
    for (const auto& c : cases)
    {
        const std::string message = ConnectFailure(c.type, c.d, c.u, nullptr);
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_EQ(message.find("/nonexistent/"), std::string::npos) << message;
    }
}

// The test server trusts every loopback login, so the role's scram password
// is not checked there: the login shows that the user and the string around
// the password arrive whole, and a stand-in server that asks for the password
// in clear text shows the password itself arriving unchanged.
TEST(ConnectionSafety, APasswordHoldingSemicolonAndBracesLogsIn)
{
    const char* password = "p;w}d{x";
    OdbcConnection admin;
    TSIS_OPEN_POSTGRES_OR_SKIP(admin, "DSN=TsisPostgres;UID=postgres");
    const std::string role = "tsis_pw_" + std::to_string(::getpid());
    OdbcResult exec;
    exec.Open(Utf8ToUtf16("CREATE ROLE " + role + " LOGIN PASSWORD 'p;w}d{x'"), admin);
    std::string who;
    try
    {
        ODBCDataAccess da(0, DatabaseType::Postgres);
        da.Connect(da.BuildConnectionString("TsisPostgres", role.c_str(), password));
        EXPECT_EQ(da.RunQuery("SELECT current_user::text AS who"), 0);
        EXPECT_TRUE(da.GetFirstRecord());
        ODBCField field(nullptr, "who", 0);
        who = da.GetValueText(&field).Text();
    }
    catch (const XException& e)
    {
        ADD_FAILURE() << e.what();
    }
    // psqlODBC takes keys of its own from the string: one inside the user stays inside it.
    const std::string injected = role + ";Database=postgres";
    const std::string refused =
        ConnectFailure(DatabaseType::Postgres, "TsisPostgres", injected.c_str(), nullptr);
    exec.Open(Utf8ToUtf16("DROP ROLE " + role), admin);
    EXPECT_EQ(who, role);
    EXPECT_NE(refused.find("role \"{" + injected + "}\" does not exist"), std::string::npos) << refused;

    PasswordCatcher server;
    ASSERT_NE(server.Port(), 0);
    // A data source of its own for the stand-in, in a copy of the test configuration.
    const char* previous = std::getenv("ODBCINI");
    const std::string ini = odbctest::OdbcTestFolder() + "/catcher_" + std::to_string(::getpid()) + ".ini";
    {
        std::ifstream in(previous, std::ios::binary);
        std::ofstream out(ini, std::ios::binary);
        out << in.rdbuf()
            << "\n[TsisCatcher]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=" << server.Port()
            << "\nDatabase=tsis\nSSLmode=disable\n";
    }
    const std::string kept = previous;
    ::setenv("ODBCINI", ini.c_str(), 1);
    const std::string message = ConnectFailure(DatabaseType::Postgres, "TsisCatcher", role.c_str(), password);
    ::setenv("ODBCINI", kept.c_str(), 1);
    std::filesystem::remove(ini);
    EXPECT_EQ(server.Password(), password);
    EXPECT_NE(message.find("password authentication failed"), std::string::npos) << message;
    EXPECT_EQ(message.find(password), std::string::npos) << message;
}
