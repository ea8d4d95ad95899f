// The SchoolConfig.xml reader: the input is the file's content, read by every
// reader of the file.
#include "FuzzInput.h"
#include "SchoolConfig.h"

#include <string>

namespace
{
const ScratchFile& scratch()
{
    static const ScratchFile file("tsis-fuzz-schoolconfig", SchoolConfig::kFileName);
    return file;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    scratch().write(data, size);
    const XFileSpec location(scratch().folder().c_str());
    SchoolConfig::Read(location);
    SchoolConfig::ReadUpdateDate(location);
    SchoolConfig::ReadUpdateDateTime(location);
    SchoolConfig::ReadOverlapDays(location);
    SchoolConfig::ReadGlobalFolder(location);
    return 0;
}
