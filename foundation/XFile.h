#pragma once

#include <cstdint>

#include "XFileSpec.h"
#include "XString.h"

// A file handle over the POSIX file interface, with a small write buffer.
// Every failure throws XException with the system error code.
class XFile
{
public:
    // Open mode bits.
    static constexpr int kRead = 1;
    static constexpr int kWrite = 2;
    static constexpr int kAppend = 4;

    XFile();
    XFile(const XFile&) = delete;
    XFile& operator=(const XFile&) = delete;
    virtual ~XFile(); // closes; errors are dropped here, call Close() to see them

    // Mode bits: Write without Read creates the file afresh (whatever had
    // the name, a link included, is removed first); other modes open or
    // create. Links are never followed, and a file opened for writing must be
    // a regular file. Missing folders are created first. Append moves to the
    // end. Fails with "Can't open non-file: %s" or "Could not open file ( %d ): %s".
    virtual void Open(const XFileSpec& fileSpec, int mode);
    void Open(const char* path, int mode) { Open(XFileSpec(path), mode); }
    bool IsOpen() const { return fd_ >= 0; }
    const XFileSpec& FileSpec() const { return fileSpec_; }
    int GetMode() const { return mode_; }

    void Write(const void* data, int64_t count); // "Error writing to file: %s"
    void WriteText(const char* text);
    void WriteText(const XString& text) { Write(text.Text(), text.Length()); }
    int64_t Read(void* buffer, int64_t count); // bytes read, 0 at the end; "Error reading from file: %s"
    int64_t Position();                        // "Error getting file position: %s"
    int64_t Size() const { return size_; }     // the size reached
    void Flush();
    // Flushes and waits until the data is on the disk ("Error syncing file: %s").
    void Sync();
    virtual void Close(); // "Error closing file: %s"; closing a closed file does nothing
    int LastError() const { return lastError_; }

private:
    [[noreturn]] void Fail(const char* format);
    // Writes count bytes straight to the file, past short writes and interruptions.
    void WriteAll(const char* data, int64_t count);

    int fd_ = -1;
    int mode_ = 0;
    int64_t position_ = 0;
    int64_t size_ = 0;
    int lastError_ = 0;
    XFileSpec fileSpec_;
    char buffer_[1024];
    int buffered_ = 0;
};
