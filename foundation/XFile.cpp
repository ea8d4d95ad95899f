#include "XFile.h"

#include "XSystemPath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

    // Files are written in folders other accounts may write too: a link
    // planted at the name is never followed. A new file replaces whatever
    // entry had the name (a link goes, its target stays untouched); a file
    // opened to be changed must be a regular file.
    int flags = O_CLOEXEC | O_CREAT | O_NOFOLLOW;
    const bool read = mode & kRead;
    const bool write = mode & (kWrite | kAppend);
    const bool fresh = (mode & kWrite) && !read && !(mode & kAppend);
    // Not blocking on a FIFO planted at the name: it fails as no regular file.
    if (fresh)
        flags |= O_WRONLY | O_EXCL;
    else if (read && write)
        flags |= O_RDWR | O_NONBLOCK;
    else if (write)
        flags |= O_WRONLY | O_NONBLOCK;
    else
        flags = O_CLOEXEC | O_CREAT | O_RDONLY; // reading follows links, as readers expect

    const std::string system = XSystemPath::FromEngine(fileSpec_.PathString()).native();
    // unlink never follows a link and refuses a folder (EISDIR).
    if (fresh && ::unlink(system.c_str()) != 0 && errno != ENOENT)
    {
        lastError_ = errno;
        RaiseError(lastError_, "Could not open file ( %d ): %s", lastError_, fileSpec_.Path());
    }
    int fd;
    do
        fd = ::open(system.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
    {
        lastError_ = errno;
        RaiseError(lastError_, "Could not open file ( %d ): %s", lastError_, fileSpec_.Path());
    }
    struct stat entry
    {
    };
    if (write && (::fstat(fd, &entry) != 0 || !S_ISREG(entry.st_mode)))
    {
        ::close(fd);
        RaiseError(0, "Can't open non-file: %s", fileSpec_.Path());
    }
    if (flags & O_NONBLOCK)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    mode_ = mode;
    buffered_ = 0;
    size_ = fstat(fd_, &entry) == 0 ? entry.st_size : 0;
    position_ = 0;
    if (mode & kAppend)
    {
        off_t end = lseek(fd_, 0, SEEK_END);
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
    int rc;
    do
        rc = ::fsync(fd_);
    while (rc != 0 && errno == EINTR);
    if (rc != 0)
        Fail("Error syncing file: %s");
}

void XFile::WriteAll(const char* data, int64_t count)
{
    while (count > 0)
    {
        ssize_t n = ::write(fd_, data, static_cast<size_t>(count));
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            Fail("Error writing to file: %s");
        }
        data += n;
        count -= n;
    }
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
    int64_t total = 0;
    char* p = static_cast<char*>(buffer);
    while (total < count)
    {
        ssize_t n = ::read(fd_, p + total, static_cast<size_t>(count - total));
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            Fail("Error reading from file: %s");
        }
        if (n == 0)
            break;
        total += n;
    }
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
    off_t pos = lseek(fd_, 0, SEEK_CUR);
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
        ::close(fd_);
        fd_ = -1;
        buffered_ = 0;
        throw;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        Fail("Error closing file: %s");
}
