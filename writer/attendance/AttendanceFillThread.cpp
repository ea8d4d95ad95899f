#include "attendance/AttendanceFillThread.h"

#include <utility>

namespace
{
// Rows are handed over in batches, so the hand-over costs little per row,
// and few batches wait, so the memory stays small whatever the fill's size.
constexpr std::size_t kBatchRows = 1024;
constexpr std::size_t kWaitingBatches = 4;
} // namespace

AttendanceFillThread::AttendanceFillThread(WriteRow write) : m_write(std::move(write))
{
    m_batch.reserve(kBatchRows);
    m_thread = std::thread([this] { Run(); });
}

AttendanceFillThread::~AttendanceFillThread()
{
    Stop();
}

void AttendanceFillThread::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
        m_queue.clear();
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void AttendanceFillThread::Push(const AttendanceCacheRow& row)
{
    m_batch.push_back(row);
    if (m_batch.size() < kBatchRows)
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_failure || m_queue.size() < kWaitingBatches; });
    HandOver(lock);
}

void AttendanceFillThread::HandOver(std::unique_lock<std::mutex>& lock)
{
    if (m_failure)
    {
        lock.unlock();
        Stop();
        std::rethrow_exception(m_failure);
    }
    if (!m_batch.empty())
    {
        m_queue.push_back(std::move(m_batch));
        m_batch = std::vector<AttendanceCacheRow>();
        m_batch.reserve(kBatchRows);
    }
    m_changed.notify_all();
}

void AttendanceFillThread::Finish()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    HandOver(lock);
    m_changed.wait(lock, [this] { return m_failure || (m_queue.empty() && !m_writing); });
    HandOver(lock); // raises a failure of the last rows
    lock.unlock();
    Stop();
}

void AttendanceFillThread::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        m_changed.wait(lock, [this] { return m_stopped || !m_queue.empty(); });
        if (m_stopped)
            return;
        std::vector<AttendanceCacheRow> batch = std::move(m_queue.front());
        m_queue.pop_front();
        m_writing = true;
        lock.unlock();
        m_changed.notify_all();
        std::exception_ptr failure;
        try
        {
            for (const AttendanceCacheRow& row : batch)
                m_write(row);
        }
        catch (...)
        {
            failure = std::current_exception();
        }
        lock.lock();
        m_writing = false;
        if (failure)
        {
            m_failure = failure;
            m_queue.clear();
        }
        m_changed.notify_all();
        if (failure)
            return;
    }
}
