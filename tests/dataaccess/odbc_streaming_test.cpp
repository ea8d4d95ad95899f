#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "OdbcTestEnv.h"
#include "PeakMemory.h"
#include "odbc/AdoConnection.h"
#include "odbc/AdoRecordset.h"

namespace {

using PeakMemory::PeakKib;
using PeakMemory::ResetPeak;

} // namespace

class OdbcStreaming : public ::testing::TestWithParam<const char *> {};

// Walking a large SQLite result must not hold the rows in memory, whether
// the file is named directly or reached through a data source definition
// that says nothing about stepping.
TEST_P(OdbcStreaming, SqliteRowsAreSteppedNotLoaded)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
#endif
    odbctest::SetUpOdbcTestEnv();
    const std::string path = (std::filesystem::path(odbctest::OdbcTestFolder()) /
                              (std::string("streaming_") + (GetParam()[0] ? "dsn" : "file") + ".sqlite"))
                                 .string();
    std::filesystem::remove(path);
    std::ofstream(path).flush();
    {
        AdoConnection writer;
        writer.Open(std::string(GetParam()) + "Database=" + path);
        AdoRecordset setup;
        setup.Open("CREATE TABLE b (i INTEGER, s VARCHAR(300))", writer);
        setup.Open("INSERT INTO b SELECT x, printf('%0250d', x) FROM (WITH RECURSIVE c(x) AS "
                   "(SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 100000) SELECT x FROM c)",
                   writer);
    }
    // Read-only, as the data access layer opens its connections.
    AdoConnection conn;
    conn.SetMode(ado::adModeRead);
    conn.Open(std::string(GetParam()) + "Database=" + path);
    if (!ResetPeak() || PeakKib() < 0)
        GTEST_SKIP() << "peak memory cannot be measured here";
    const long before = PeakKib();
    AdoRecordset rs;
    rs.Open("SELECT i, s FROM b ORDER BY i", conn);
    long rows = 0;
    while (!rs.EndOfFile()) {
        ASSERT_EQ(rs.Field(1).Value().text.size(), 250u);
        ++rows;
        rs.MoveNext();
    }
    const long grown = PeakKib() - before;
    EXPECT_EQ(rows, 100000);
    // The result is some 25 MB of text; streaming keeps the walk within a few MB.
    EXPECT_LT(grown, 10 * 1024) << "peak memory grew by " << grown << " KiB";
}

INSTANTIATE_TEST_SUITE_P(Sqlite, OdbcStreaming, ::testing::Values("", "DSN=TsisSqlite;"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             return std::string(info.param[0] ? "DataSource" : "File");
                         });
