#pragma once

#include <mutex>

// The attendance read-back marks records as sent and completes the update file.
// A stop (SIGTERM, SIGINT) must not cut that short, nor remove the file once it
// is complete: its records would be marked as sent and never reach the handheld.
namespace XDeliveryGuard
{

// Held from the first mark until the update file is closed.
std::mutex& Lock();

// The update file of this run is complete and its records are marked as sent.
bool Delivered();
void SetDelivered(bool delivered);

} // namespace XDeliveryGuard
