#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "attendance/SDEWriterAttendanceRow.h"

// The rows of a fill (all of one table), written into the cache on a thread
// of their own while the reading thread goes on with the SIS. Rows are written in the order
// they come; the first failure stops the writing and is raised to the reader.
class AttendanceFillThread
{
public:
    using WriteRow = std::function<void(const AttendanceCacheRow& row)>;

    explicit AttendanceFillThread(WriteRow write);
    // Rows not written yet are dropped.
    ~AttendanceFillThread();
    AttendanceFillThread(const AttendanceFillThread&) = delete;
    AttendanceFillThread& operator=(const AttendanceFillThread&) = delete;

    // Queues a row; raises the writer's failure, if there was one.
    void Push(const AttendanceCacheRow& row);
    // Returns once every row is written; raises the writer's failure.
    void Finish();

private:
    void HandOver(std::unique_lock<std::mutex>& lock);
    void Stop();
    void Run();

    WriteRow m_write;
    std::vector<AttendanceCacheRow> m_batch; // the reader's, not handed over yet
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<AttendanceCacheRow>> m_queue;
    bool m_writing = false; // a batch is being written
    bool m_stopped = false;
    std::exception_ptr m_failure;
    std::thread m_thread;
};
