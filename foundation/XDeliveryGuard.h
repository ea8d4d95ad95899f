#pragma once

#include <filesystem>
#include <mutex>

// The update file of an attendance update, as a stop (SIGTERM, SIGINT) sees it.
// While the file is begun and not yet complete, a stop removes it: no part of
// an update may reach the handheld. The read-back marks records as sent and
// completes the file under Lock(), so a stop never cuts that short and never
// removes a complete file whose records are already marked.
namespace XDeliveryGuard
{

std::mutex& Lock();

// The update file begun and not yet complete; empty when there is none.
std::filesystem::path Pending();
void SetPending(const std::filesystem::path& file);

} // namespace XDeliveryGuard
