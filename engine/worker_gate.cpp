#include "engine/worker_gate.h"

namespace plexor {

void WorkerGate::enterEntry()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return holds_ == 0 && holdsWaiting_ == 0; });
    workerInside_ = true;
}

void WorkerGate::leaveEntry()
{
    {
        std::lock_guard lock(mutex_);
        workerInside_ = false;
    }
    changed_.notify_all();
}

void WorkerGate::hold()
{
    std::unique_lock lock(mutex_);
    if (holds_ > 0) { // nested hold of the thread that already holds
        ++holds_;
        return;
    }
    ++holdsWaiting_;
    changed_.wait(lock, [this] { return !workerInside_; });
    --holdsWaiting_;
    holds_ = 1;
}

void WorkerGate::release()
{
    {
        std::lock_guard lock(mutex_);
        --holds_;
        if (holds_ > 0) return;
    }
    changed_.notify_all();
}

} // namespace plexor
