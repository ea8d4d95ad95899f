#include "XFile.h"

#include "XSystemPath.h"

#include "platform/NativeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

XFile::XFile() = default;

XFile::~XFile()
{
    try
    {
        Close();
    }
    catch (const XException&)
    {
        // A destructor cannot report; callers that care call Close() themselves.
    }
}

void XFile::Fail(const char* format)
{
    lastError_ = errno;
    RaiseError(lastError_, format, fileSpec_.Path());
}

void XFile::Open(const XFileSpec& fileSpec, int mode)
{
    Close();
    if (fileSpec.IsFolder() || !*fileSpec.FileName())
        RaiseError(0, "Can't open non-file: %s", fileSpec.Path());
    fileSpec_ = fileSpec;
    const XFileSpec parent = fileSpec_.Parent();
    if (!parent.IsEmpty())
        parent.Create();

    const bool read = mode & kRead;
    const bool write = mode & (kWrite | kAppend);
    NativeFile::Mode how = NativeFile::Mode::Read;
    if ((mode & kWrite) && !read && !(mode & kAppend))
        how = NativeFile::Mode::Fresh;
    else if (read && write)
        how = NativeFile::Mode::ReadWrite;
    else if (write)
        how = NativeFile::Mode::Write;
    const int fd = NativeFile::Open(XSystemPath::FromEngine(fileSpec_.PathString()), how);
    if (fd == NativeFile::kNotRegular)
        RaiseError(0, "Can't open non-file: %s", fileSpec_.Path());
    if (fd < 0)
    {
        lastError_ = errno;
        RaiseError(lastError_, "Could not open file ( %d ): %s", lastError_, fileSpec_.Path());
    }
    fd_ = fd;
    mode_ = mode;
    buffered_ = 0;
    size_ = std::max<int64_t>(NativeFile::Size(fd_), 0);
    position_ = 0;
    if (mode & kAppend)
    {
        const int64_t end = NativeFile::Seek(fd_, 0, SEEK_END);
        if (end < 0)
            Fail("Error getting file position: %s");
        position_ = end;
    }
}

void XFile::Flush()
{
    if (fd_ < 0 || buffered_ == 0)
        return;
    const int count = buffered_;
    buffered_ = 0;
    WriteAll(buffer_, count);
}

void XFile::Sync()
{
    if (fd_ < 0)
    {
        errno = EBADF;
        Fail("Error syncing file: %s");
    }
    Flush();
    if (!NativeFile::Sync(fd_))
        Fail("Error syncing file: %s");
}

void XFile::WriteAll(const char* data, int64_t count)
{
    if (!NativeFile::WriteAll(fd_, data, count))
        Fail("Error writing to file: %s");
}

void XFile::Write(const void* data, int64_t count)
{
    if (fd_ < 0)
    {
        errno = EBADF;
        Fail("Error writing to file: %s");
    }
    if (count <= 0)
        return;
    const char* p = static_cast<const char*>(data);
    if (count <= static_cast<int64_t>(sizeof buffer_) - buffered_)
    {
        std::memcpy(buffer_ + buffered_, p, static_cast<size_t>(count));
        buffered_ += static_cast<int>(count);
    }
    else
    {
        Flush();
        if (count < static_cast<int64_t>(sizeof buffer_))
        {
            std::memcpy(buffer_, p, static_cast<size_t>(count));
            buffered_ = static_cast<int>(count);
        }
        else
            WriteAll(p, count);
    }
    position_ += count;
    if (position_ > size_)
        size_ = position_;
}

void XFile::WriteText(const char* text)
{
    if (text)
        Write(text, static_cast<int64_t>(std::strlen(text)));
}

int64_t XFile::Read(void* buffer, int64_t count)
{
    if (fd_ < 0)
    {
        errno = EBADF;
        Fail("Error reading from file: %s");
    }
    Flush();
    const int64_t total = NativeFile::Read(fd_, buffer, count);
    if (total < 0)
        Fail("Error reading from file: %s");
    position_ += total;
    return total;
}

int64_t XFile::Position()
{
    if (fd_ < 0)
    {
        errno = EBADF;
        Fail("Error getting file position: %s");
    }
    const int64_t pos = NativeFile::Seek(fd_, 0, SEEK_CUR);
    if (pos < 0)
        Fail("Error getting file position: %s");
    return pos + buffered_;
}

void XFile::Close()
{
    if (fd_ < 0)
        return;
    try
    {
        Flush();
    }
    catch (const XException&)
    {
        // The write error is the one to report; the handle goes either way.
        NativeFile::Close(fd_);
        fd_ = -1;
        buffered_ = 0;
        throw;
    }
    const int fd = fd_;
    fd_ = -1;
    if (!NativeFile::Close(fd))
        Fail("Error closing file: %s");
}
