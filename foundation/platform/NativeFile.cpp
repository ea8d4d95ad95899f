// What the two systems' file calls share: reading and writing in as many
// calls as the system needs.
#include "NativeFile.h"

namespace NativeFile
{

int64_t Read(int fd, void* data, int64_t count)
{
    int64_t total = 0;
    char* p = static_cast<char*>(data);
    while (total < count)
    {
        const int64_t n = ReadOnce(fd, p + total, count - total);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        total += n;
    }
    return total;
}

bool WriteAll(int fd, const void* data, int64_t count)
{
    const char* p = static_cast<const char*>(data);
    while (count > 0)
    {
        const int64_t n = WriteOnce(fd, p, count);
        if (n < 0)
            return false;
        p += n;
        count -= n;
    }
    return true;
}

} // namespace NativeFile
