#pragma once

#include <mutex>

#include "engine/cell_queue.h"
#include "engine/change_region.h"
#include "engine/worker_gate.h"

namespace plexor {

// The work between the UI thread and the worker: the queue of cells to
// deform, the gate that keeps the worker off what the UI thread replaces,
// what has changed on the picture since it was last shown, and what the
// batch under way has marked. Each part keeps its own lock, so either
// thread may use them at any time.
class CellWork {
public:
    CellQueue& queue() noexcept { return queue_; }
    const CellQueue& queue() const noexcept { return queue_; }
    WorkerGate& gate() noexcept { return gate_; }
    ChangeRegion& changes() noexcept { return changes_; }

    // The pixels whose splat marks the batch under way may have set; the
    // worker adds each cell's, and takes them all at the end of the batch,
    // to clear what was marked and nothing more.
    void addMarked(const PixelRect& rect)
    {
        std::lock_guard lock(mutex_);
        marked_.add(rect);
    }
    RectSet takeMarked()
    {
        std::lock_guard lock(mutex_);
        RectSet taken = marked_;
        marked_.clear();
        return taken;
    }

private:
    CellQueue queue_;
    WorkerGate gate_;
    ChangeRegion changes_;
    std::mutex mutex_;
    RectSet marked_;
};

} // namespace plexor
