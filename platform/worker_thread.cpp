#include "platform/worker_thread.h"

#include <cassert>

namespace plexor {

WorkerThread::~WorkerThread()
{
    // A derived class must have stopped its body; the base cannot do it
    // safely once the derived part is gone.
    assert(!thread_.joinable());
    if (thread_.joinable()) thread_.join();
}

void WorkerThread::wake()
{
    if (!started_) {
        started_ = true;
        thread_ = std::thread([this] { runBody(); });
        return;
    }
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    wakeChanged_.notify_one();
}

void WorkerThread::runBody()
{
    run();
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    callChanged_.notify_all();
}

void WorkerThread::requestStop() noexcept
{
    stopRequested_.store(true);
}

bool WorkerThread::stopRequested() const noexcept
{
    return stopRequested_.load();
}

bool WorkerThread::finished() const
{
    std::lock_guard lock(mutex_);
    return finished_;
}

void WorkerThread::sleepUntilWoken()
{
    std::unique_lock lock(mutex_);
    sleeping_ = true;
    // A UI thread waiting for a call learns that none will come.
    callChanged_.notify_all();
    wakeChanged_.wait(lock, [this] { return woken_; });
    sleeping_ = false;
    woken_ = false;
}

bool WorkerThread::idle() const
{
    std::lock_guard lock(mutex_);
    return !started_ || finished_ || (sleeping_ && !woken_);
}

void WorkerThread::callOnUiThread(const std::function<void()>& routine)
{
    std::unique_lock lock(mutex_);
    pending_ = &routine;
    served_ = false;
    lock.unlock();
    callChanged_.notify_all();
    if (hook_) hook_();
    lock.lock();
    callChanged_.wait(lock, [this] { return served_; });
}

bool WorkerThread::serveLocked(std::unique_lock<std::mutex>& lock)
{
    if (pending_ == nullptr || running_) return false;
    const std::function<void()>* routine = pending_;
    running_ = true;
    lock.unlock();
    (*routine)();
    lock.lock();
    pending_ = nullptr;
    running_ = false;
    served_ = true;
    callChanged_.notify_all();
    return true;
}

bool WorkerThread::servePendingCall()
{
    std::unique_lock lock(mutex_);
    return serveLocked(lock);
}

bool WorkerThread::serveNextCall(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    callChanged_.wait_for(lock, timeout,
                          [this] { return (pending_ != nullptr && !running_) || finished_ || (sleeping_ && !woken_); });
    return serveLocked(lock);
}

void WorkerThread::waitUntilFinished()
{
    if (!started_ || !thread_.joinable()) return;
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (serveLocked(lock)) continue;
            if (finished_) break;
            callChanged_.wait(lock);
        }
    }
    thread_.join();
}

} // namespace plexor
