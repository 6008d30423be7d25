#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace plexor {

// A worker thread that starts asleep: its body starts at the first wake-up,
// puts itself to sleep and is woken again; it is asked to stop and waited
// for; and it can have a routine run on the UI thread and wait until it has
// run.
//
// The UI thread serves such calls when it handles its events (the shell
// connects `setCallWaitingHook` to its event loop) and also while it waits
// for the thread to end, so that a worker waiting for the UI thread and a UI
// thread waiting for the worker cannot block each other.
//
// A derived class stops its thread (requestStop, wake, waitUntilFinished) before
// its own members go away.
class WorkerThread {
public:
    WorkerThread() = default;
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Called on the worker thread each time it waits for a call to be run on
    // the UI thread. Set it before the first wake-up.
    void setCallWaitingHook(std::function<void()> hook) { hook_ = std::move(hook); }

    // UI thread. Starts the body at the first call; afterwards a sleeping
    // body wakes, and a working one will look at its work once more before
    // it sleeps.
    void wake();
    // Any thread. Asks the body to return; it looks at the request after each
    // wake-up.
    void requestStop() noexcept;
    bool stopRequested() const noexcept;
    // UI thread. Waits until the body has returned, running the calls that it
    // makes meanwhile. Returns at once if the body never started.
    void waitUntilFinished();
    bool finished() const;
    // Whether the body has nothing to do: it has not started, has returned,
    // or sleeps with no wake-up pending.
    bool idle() const;

    // UI thread. Runs the call that the worker is waiting on, if any; returns
    // whether one ran.
    bool servePendingCall();
    // UI thread. Waits up to `timeout` for a call and runs it; returns at
    // once, running nothing, when the body sleeps or has ended.
    bool serveNextCall(std::chrono::milliseconds timeout);

protected:
    virtual void run() = 0;

    // Worker thread. Sleeps until woken, unless a wake-up came since the last
    // sleep, in which case it returns at once.
    void sleepUntilWoken();
    // Worker thread. Has `routine` run on the UI thread and waits until it
    // has returned. The routine is not copied: no allocation.
    void callOnUiThread(const std::function<void()>& routine);

private:
    void runBody();
    bool serveLocked(std::unique_lock<std::mutex>& lock);

    std::function<void()> hook_;
    std::thread thread_;
    bool started_ = false; // UI thread only

    std::atomic<bool> stopRequested_{false};

    mutable std::mutex mutex_;
    std::condition_variable wakeChanged_;
    std::condition_variable callChanged_;
    bool woken_ = false;
    bool sleeping_ = false;
    bool finished_ = false;
    const std::function<void()>* pending_ = nullptr;
    bool running_ = false;
    bool served_ = false;
};

} // namespace plexor
