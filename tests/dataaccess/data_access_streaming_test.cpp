// A large table walked the way the engine walks one (run, count, first,
// next, read every field) through the real drivers, under a limit on the
// growth of resident memory that holding the result whole would break.
#include <gtest/gtest.h>

#include <string>

#include "DataAccessBackends.h"
#include "PeakMemory.h"

namespace
{
using PeakMemory::PeakKib;
using PeakMemory::ResetPeak;

using DataAccessStreaming = BackendTest;

// 200,000 rows of some 210 bytes: over 40 MB of text, which the drivers hold
// whole without StepAPI (SQLite) or UseDeclareFetch (psqlODBC).
TEST_P(DataAccessStreaming, ALargeTableIsWalkedInFlatMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
#endif
    const int rows = 200000;
    const std::string t = NewTable("streamed", "id INTEGER, name VARCHAR(250)");
    backend->Exec(backend->InsertNumberedRows(t, rows));
    // What the connection layer chooses for a data source that leaves it open.
    da->Connect(backend->DefaultFetchConnectionString(*da));
    if (!ResetPeak() || PeakKib() < 0)
        GTEST_SKIP() << "peak memory cannot be measured here";
    const long before = PeakKib();
    ODBCField id(nullptr, "id", 0);
    ODBCField name(nullptr, "name", 1);
    ASSERT_EQ(da->RunQuery(("SELECT id, name FROM " + t + " ORDER BY id").c_str()), 0);
    EXPECT_EQ(da->GetRecordCount(), rows);
    int read = 0;
    bool inOrder = true;
    for (bool more = da->GetFirstRecord(); more; more = da->GetNextRecord())
    {
        ++read;
        inOrder = inOrder && da->GetInt(&id) == read &&
                  da->GetTrimmedText(&name).Length() == 200 + static_cast<int>(std::to_string(read).size());
    }
    da->CloseQuery();
    const long grown = PeakKib() - before;
    EXPECT_EQ(read, rows);
    EXPECT_TRUE(inOrder);
    EXPECT_LT(grown, 16 * 1024) << "peak memory grew by " << grown << " KiB";
}

INSTANTIATE_TEST_SUITE_P(Backends, DataAccessStreaming, TSIS_BACKENDS);
} // namespace
