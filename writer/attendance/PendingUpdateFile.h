#pragma once

#include <filesystem>
#include <mutex>

// The update file of an attendance update, as a stop (SIGTERM, SIGINT) sees it.
// While the file is written under its temporary name, a stop removes it: no
// part of an update may reach the handheld. The writer puts the complete file
// in place under Lock(), so a stop never removes a file that is in place; its
// records count as sent only after that.
namespace PendingUpdateFile
{

std::mutex& Lock();

// The temporary update file being written; empty when there is none.
std::filesystem::path Pending();
void SetPending(const std::filesystem::path& file);

} // namespace PendingUpdateFile
