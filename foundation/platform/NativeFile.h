#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

// The operating system's file calls, on C runtime descriptors. A failure
// returns -1 (false) with errno set; the caller words the message.
namespace NativeFile
{
enum class Mode
{
    Read,      // open or create, read only; links are followed, as readers expect
    Fresh,     // a new file in place of whatever had the name (a link goes, its target stays)
    Exclusive, // a new file; EEXIST when the name is taken, even by a dangling link
    Write,     // open or create, write only
    ReadWrite, // open or create, read and write
    Append,    // open or create, each write at the end
};

// Open's answer for Write, ReadWrite and Append when the name is no regular
// file (a folder, a FIFO, a link): those are never written through.
constexpr int kNotRegular = -2;

int Open(const std::filesystem::path& path, Mode mode);
int64_t Read(int fd, void* data, int64_t count); // the bytes read, 0 at the end
bool WriteAll(int fd, const void* data, int64_t count);
// One system call of each, for Read and WriteAll (an interrupted one is made again).
int64_t ReadOnce(int fd, void* data, int64_t count);
int64_t WriteOnce(int fd, const void* data, int64_t count);
bool WriteAt(int fd, const void* data, int64_t count, int64_t offset);
int64_t Seek(int fd, int64_t offset, int whence); // SEEK_SET, SEEK_CUR or SEEK_END
int64_t Size(int fd);
bool Truncate(int fd, int64_t size);
bool Sync(int fd); // the data on the disk
bool Close(int fd);

// Creates a folder with the folders above it that are missing.
bool CreateFolders(const std::filesystem::path& folder);

// Moves a file to a name no entry holds (EEXIST otherwise).
bool MoveToNew(const std::filesystem::path& from, const std::filesystem::path& to);
// Waits until the names in a folder are on the disk.
bool SyncFolder(const std::filesystem::path& folder);
// Moves a file over another; a target another program holds open is waited
// for a few seconds.
bool Replace(const std::filesystem::path& from, const std::filesystem::path& to);
// Whether an entry holds the name and is no regular file (a folder, a link).
bool IsNonRegularEntry(const std::filesystem::path& path);

// A file without a name in the temporary folder, open for reading and
// writing: it goes when closed or when the process ends in any way. Null on
// failure.
std::FILE* UnnamedTemporaryFile();

// Locks a file against other processes for as long as the descriptor is
// open; readers of its content are not hindered.
enum class Lock
{
    Taken,
    Busy,
    Failed,
};
Lock TryLock(int fd);
} // namespace NativeFile
