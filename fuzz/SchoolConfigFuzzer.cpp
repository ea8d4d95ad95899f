// The SchoolConfig.xml reader: the input is the file's content, read by every
// reader of the file.
#include "FuzzInput.h"
#include "SchoolConfig.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
// A folder of this process that holds the file under test.
std::string folder;
std::string file;

void removeFile()
{
    std::remove(file.c_str());
    std::remove(folder.c_str());
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char name[] = "/tmp/tsis-fuzz-schoolconfig-XXXXXX";
    if (!mkdtemp(name))
        std::abort();
    folder = name;
    file = folder + "/" + SchoolConfig::kFileName;
    std::atexit(removeFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    const XFileSpec location(folder.c_str());
    SchoolConfig::Read(location);
    SchoolConfig::ReadUpdateDate(location);
    SchoolConfig::ReadUpdateDateTime(location);
    SchoolConfig::ReadOverlapDays(location);
    SchoolConfig::ReadGlobalFolder(location);
    return 0;
}
