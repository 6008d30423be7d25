#include "engine/worker_gate.h"

namespace plexor {

void WorkerGate::enterEntry()
{
    // An entry waits for every hold, a frame's step only for those that
    // replace what it uses.
    enter(workerInside_, [this] { return holds_ == 0 && holdsWaiting_ == 0; });
}

void WorkerGate::enterFrame()
{
    enter(frameInside_, [this] { return replacing_ == 0 && replacingWaiting_ == 0; });
}

void WorkerGate::leaveEntry()
{
    leave(workerInside_);
}

void WorkerGate::leaveFrame()
{
    leave(frameInside_);
}

template <class Open>
void WorkerGate::enter(bool& inside, Open&& open)
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, open);
    inside = true;
}

void WorkerGate::leave(bool& inside)
{
    {
        std::lock_guard lock(mutex_);
        inside = false;
    }
    changed_.notify_all();
}

void WorkerGate::take(bool replaces)
{
    std::unique_lock lock(mutex_);
    // A hold nested in one the thread has: the worker is out of any entry
    // already; one that replaces waits for a frame's step too.
    const bool nested = holds_ > 0;
    ++holdsWaiting_;
    if (replaces) ++replacingWaiting_;
    changed_.wait(lock, [&] { return (nested || !workerInside_) && (!replaces || replacing_ > 0 || !frameInside_); });
    --holdsWaiting_;
    if (replaces) --replacingWaiting_;
    ++holds_;
    if (replaces) ++replacing_;
}

void WorkerGate::give(bool replaces)
{
    {
        std::lock_guard lock(mutex_);
        --holds_;
        if (replaces) --replacing_;
        if (holds_ > 0 && (!replaces || replacing_ > 0)) return;
    }
    changed_.notify_all();
}

} // namespace plexor
