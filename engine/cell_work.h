#pragma once

#include <mutex>

#include "engine/cell_queue.h"
#include "engine/change_region.h"
#include "engine/live_preview.h"
#include "engine/worker_gate.h"

namespace plexor {

// The work between the UI thread and the worker: the queue of cells to
// deform, the gate that keeps the worker off what the UI thread replaces,
// what has changed on the picture since it was last shown, what the batch
// under way has marked, and the live frames of a drag. Each part keeps its
// own rules of who touches it when.
class CellWork {
public:
    CellQueue& queue() noexcept { return queue_; }
    const CellQueue& queue() const noexcept { return queue_; }
    WorkerGate& gate() noexcept { return gate_; }
    ChangeRegion& changes() noexcept { return changes_; }
    LivePreview& preview() noexcept { return preview_; }
    const LivePreview& preview() const noexcept { return preview_; }

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
    LivePreview preview_;
    std::mutex mutex_;
    RectSet marked_;
};

} // namespace plexor
