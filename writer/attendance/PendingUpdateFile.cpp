#include "attendance/PendingUpdateFile.h"

namespace
{

// Never destroyed: a stop may use them while the process exits.
std::mutex& stateLock()
{
    static auto* lock = new std::mutex;
    return *lock;
}

std::filesystem::path& pendingFile()
{
    static auto* file = new std::filesystem::path;
    return *file;
}

} // namespace

namespace PendingUpdateFile
{

std::mutex& Lock()
{
    static auto* lock = new std::mutex;
    return *lock;
}

std::filesystem::path Pending()
{
    const std::lock_guard<std::mutex> guard(stateLock());
    return pendingFile();
}

void SetPending(const std::filesystem::path& file)
{
    const std::lock_guard<std::mutex> guard(stateLock());
    pendingFile() = file;
}

} // namespace PendingUpdateFile
