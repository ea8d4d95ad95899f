#include "NativeFile.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <string>

namespace fs = std::filesystem;

namespace
{
// Windows' error codes as the errno values the callers word their messages with.
int ErrnoOf(DWORD error)
{
    switch (error)
    {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    default:
        return EIO;
    }
}

bool Failed(DWORD error)
{
    errno = ErrnoOf(error);
    return false;
}

// Another program (the front-end, a virus scanner) may hold a file open for a
// moment without letting it be replaced: such a step is tried again for
// about five seconds before it counts as failed.
template <typename Step> bool Retrying(Step step)
{
    for (int attempt = 0;; ++attempt)
    {
        if (step())
            return true;
        const DWORD error = GetLastError();
        const bool busy =
            error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
        if (!busy || attempt == 50)
            return Failed(error);
        Sleep(100);
    }
}

// The name as the wide API takes it; an absolute name past the old 260
// character limit gets the "\\?\" prefix (with "UNC\" for a share).
std::wstring Wide(const fs::path& path)
{
    std::wstring name = path.native();
    for (wchar_t& c : name)
        if (c == L'/')
            c = L'\\';
    if (name.size() < MAX_PATH - 12 || name.rfind(L"\\\\?\\", 0) == 0 || !path.is_absolute())
        return name;
    if (name.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + name.substr(2);
    return L"\\\\?\\" + name;
}

DWORD Attributes(const std::wstring& name)
{
    return GetFileAttributesW(name.c_str());
}

bool IsNonRegular(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

HANDLE HandleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
} // namespace

namespace NativeFile
{
int Open(const fs::path& path, Mode mode)
{
    const std::wstring name = Wide(path);
    DWORD access = GENERIC_WRITE;
    DWORD disposition = OPEN_ALWAYS;
    // A link planted at the name is opened itself, never what it points to.
    DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    int crt = _O_BINARY | _O_NOINHERIT;
    switch (mode)
    {
    case Mode::Read:
        access = GENERIC_READ;
        flags = FILE_ATTRIBUTE_NORMAL;
        crt |= _O_RDONLY;
        break;
    case Mode::Fresh:
    case Mode::Exclusive:
        disposition = CREATE_NEW;
        crt |= _O_WRONLY;
        break;
    case Mode::Write:
        crt |= _O_WRONLY;
        break;
    case Mode::ReadWrite:
        access |= GENERIC_READ;
        crt |= _O_RDWR;
        break;
    case Mode::Append:
        crt |= _O_WRONLY | _O_APPEND;
        break;
    }
    const DWORD before = Attributes(name);
    if (mode != Mode::Read && mode != Mode::Fresh && IsNonRegular(before))
        return kNotRegular;
    if (mode == Mode::Fresh && before != INVALID_FILE_ATTRIBUTES && (before & FILE_ATTRIBUTE_DIRECTORY))
    {
        errno = EISDIR;
        return -1;
    }
    HANDLE handle = INVALID_HANDLE_VALUE;
    const bool opened = Retrying(
        [&]
        {
            // The old file goes first (a link goes, its target stays); while a
            // reader still holds it, its name stays taken and the whole step is retried.
            if (mode == Mode::Fresh && !DeleteFileW(name.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
                return false;
            handle = CreateFileW(name.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
            return handle != INVALID_HANDLE_VALUE;
        });
    if (!opened)
        return -1;
    BY_HANDLE_FILE_INFORMATION info{};
    if (mode != Mode::Read &&
        (!GetFileInformationByHandle(handle, &info) || IsNonRegular(info.dwFileAttributes)))
    {
        CloseHandle(handle);
        return kNotRegular;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), crt);
    if (fd < 0)
        CloseHandle(handle);
    return fd;
}

// The C runtime moves at most an int's worth of bytes per call.
int64_t ReadOnce(int fd, void* data, int64_t count)
{
    return _read(fd, data, static_cast<unsigned>(std::min<int64_t>(count, 1 << 30)));
}

int64_t WriteOnce(int fd, const void* data, int64_t count)
{
    return _write(fd, data, static_cast<unsigned>(std::min<int64_t>(count, 1 << 30)));
}

bool WriteAt(int fd, const void* data, int64_t count, int64_t offset)
{
    return _lseeki64(fd, offset, SEEK_SET) == offset && WriteAll(fd, data, count);
}

int64_t Seek(int fd, int64_t offset, int whence)
{
    return _lseeki64(fd, offset, whence);
}

int64_t Size(int fd)
{
    return _filelengthi64(fd);
}

bool Truncate(int fd, int64_t size)
{
    return _chsize_s(fd, size) == 0;
}

bool Sync(int fd)
{
    return _commit(fd) == 0;
}

bool Close(int fd)
{
    return _close(fd) == 0;
}

bool CreateFolders(const fs::path& folder)
{
    // Walked by hand: the standard library does not see "\\server\share" as
    // the root of a share and would try to create the server.
    const std::wstring name = Wide(folder);
    const std::wstring longName = L"\\\\?\\";
    const std::wstring longShare = L"\\\\?\\UNC\\";
    const std::wstring share = L"\\\\";
    auto pastShare = [&name](size_t server)
    {
        const size_t end = name.find(L'\\', server);
        return end == std::wstring::npos ? end : name.find(L'\\', end + 1);
    };
    size_t start = 0;
    if (name.rfind(longShare, 0) == 0)
        start = pastShare(longShare.size());
    else if (name.rfind(longName, 0) == 0)
        start = longName.size() + 2;
    else if (name.rfind(share, 0) == 0)
        start = pastShare(share.size());
    else if (name.size() >= 2 && name[1] == L':')
        start = 2;
    for (size_t at = start; at != std::wstring::npos && at < name.size();)
    {
        at = name.find(L'\\', at + 1);
        const std::wstring part = name.substr(0, at);
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return Failed(GetLastError());
    }
    const DWORD attributes = Attributes(name);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Failed(ERROR_DIRECTORY);
    return true;
}

bool MoveToNew(const fs::path& from, const fs::path& to)
{
    // Without MOVEFILE_REPLACE_EXISTING a taken name fails the move; write-through
    // returns only once the move is on the disk.
    const std::wstring source = Wide(from);
    const std::wstring target = Wide(to);
    return Retrying([&] { return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0; });
}

bool SyncFolder(const fs::path&)
{
    // The move was written through; a folder has nothing more to flush here.
    return true;
}

bool Replace(const fs::path& from, const fs::path& to)
{
    const std::wstring source = Wide(from);
    const std::wstring target = Wide(to);
    return Retrying(
        [&]
        {
            return MoveFileExW(source.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        });
}

bool IsNonRegularEntry(const fs::path& path)
{
    return IsNonRegular(Attributes(Wide(path)));
}

std::FILE* UnnamedTemporaryFile()
{
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"tsb", 0, name))
        return nullptr;
    // The name goes with the last handle, whatever way the process ends.
    HANDLE handle = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
    {
        DeleteFileW(name);
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (fd < 0)
    {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "w+b");
    if (!file)
        _close(fd);
    return file;
}

Lock TryLock(int fd)
{
    // Windows locks are mandatory: a byte far past any content is locked, so
    // the front-end can still read what the file holds.
    OVERLAPPED at{};
    at.OffsetHigh = 0x7FFFFFFF;
    if (LockFileEx(HandleOf(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        return Lock::Taken;
    const DWORD error = GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING)
        return Lock::Busy;
    Failed(error);
    return Lock::Failed;
}
} // namespace NativeFile
