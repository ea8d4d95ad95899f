// Preloaded into tsisbridge by the dialect tests (LD_PRELOAD): every statement
// the bridge executes is appended, as sent, to the file TSIS_DIALECT_RECORD
// names (UTF-8, each ended by a NUL byte), then handed to the driver as the
// rules for TSIS_DIALECT ("oracle", "mssql" or "access") rewrite it.
#include "DialectRules.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sql.h>
#include <sqlext.h>
#include <unistd.h>

#include <cstdlib>

namespace
{
void Record(const QString& statement)
{
    const char* file = std::getenv("TSIS_DIALECT_RECORD");
    if (!file || !*file)
        return;
    const QByteArray bytes = statement.toUtf8() + '\0';
    const int fd = open(file, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    // A short record makes the statement lists of the test differ, which it reports.
    if (write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) != bytes.size())
        std::abort();
    close(fd);
}
} // namespace

extern "C" SQLRETURN SQLExecDirectW(SQLHSTMT statement, SQLWCHAR* text, SQLINTEGER length)
{
    using Next = SQLRETURN (*)(SQLHSTMT, SQLWCHAR*, SQLINTEGER);
    static const Next next = reinterpret_cast<Next>(dlsym(RTLD_NEXT, "SQLExecDirectW"));
    static const std::optional<DialectHarness::Mode> mode =
        DialectHarness::ModeNamed(std::getenv("TSIS_DIALECT"));
    if (!text || !mode)
        return next(statement, text, length);
    const auto* units = reinterpret_cast<const char16_t*>(text);
    const QString sent = length == SQL_NTS ? QString::fromUtf16(units) : QString::fromUtf16(units, length);
    Record(sent);
    QString given = DialectHarness::Rewrite(*mode, sent);
    return next(statement, reinterpret_cast<SQLWCHAR*>(given.data()), static_cast<SQLINTEGER>(given.size()));
}
