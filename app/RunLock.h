#pragma once

#include <QByteArray>
#include <QString>

// An exclusive advisory lock on a file, held until the object goes or the
// process ends; the kernel drops the lock of a process that is gone, so a
// crashed run never blocks the next one.
class RunLock
{
public:
    enum class Result
    {
        Taken,
        Busy,   // another process holds it
        Failed, // the file cannot be opened or locked; see error()
    };

    RunLock() = default;
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Opens (creating when missing, never truncating) and locks the file;
    // a link at its name or anything but a regular file fails.
    Result take(const QString& filePath);
    QString error() const { return error_; }
    // The failure lies with the file itself, not its folder.
    bool fileAtFault() const { return fileAtFault_; }
    // Replaces the content of the locked file (the lock stays on it).
    bool rewrite(const QByteArray& bytes);

private:
    int fd_ = -1;
    QString error_;
    bool fileAtFault_ = false;
};
