#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "engine/cell_pool.h"
#include "engine/cell_ref.h"
#include "engine/change_region.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"
#include "engine/preview_frame.h"
#include "engine/worker_gate.h"

namespace plexor {

// A point a drag has moved, and its displacement now.
struct PointMove {
    std::int32_t index;
    std::int32_t dx, dy;
};

// The live frame wanted now: the batch a release at this moment would have
// the worker deform, in its order, and every point the drag has moved.
struct PreviewRequest {
    std::vector<CellRef> cells;
    std::vector<PointMove> points;
};

// The live frames of a drag: what a release would give at each moment,
// computed by the worker with its pool of threads once its queue is empty,
// away from the picture the worker and the history keep. A frame is
// computed in scratch planes of the picture's layout (a deep picture's low
// bytes too when it is rendered smoothly, since they decide its top bits)
// from a copy of the work plane over every pixel the batch may reach, with
// marks of its own, and from a copy of the grid's points; so it is bit for
// bit what the release would leave there. Moves coalesce: a request not yet
// taken is replaced by the next, so at most one frame is computed at a time
// and the latest comes next. The UI thread never waits for a frame: the
// worker hands each over, as it hands over a refresh.
class LivePreview {
public:
    // UI thread, the worker held: a drag over `grid` and `picture` starts to
    // be shown live; false, and no frame is ever computed, when the scratch
    // planes cannot be had.
    bool begin(const ControlGrid& grid, const PictureBuffers& picture);
    bool active() const noexcept { return active_; } // between begin and end
    // UI thread: the frame wanted now; whether the worker must be woken.
    bool request(PreviewRequest request);
    // UI thread: no more frames; the one shown stays until dropped.
    void end();
    // UI thread: the frame shown goes, its parts marked in `changes`.
    void drop(ChangeRegion& changes);
    const PreviewFrame& shown() const noexcept { return shown_; }
    // UI thread: since when a frame has been wanted and not shown, and the
    // cells it deforms; nothing while none is wanted.
    std::optional<std::chrono::steady_clock::time_point> lateSince() const noexcept { return lateSince_; }
    std::size_t cellsWanted() const noexcept { return cellsWanted_; }

    // Worker thread: computes the frame asked for last, if any, in steps each
    // inside `gate`; whether one is ready to be handed over.
    bool computeNext(CellPool& pool, const ControlGrid& grid, const PictureBuffers& picture, WorkerGate& gate);
    // UI thread, while the worker waits: the frame computed last becomes the
    // one shown (while frames are still wanted), its parts and those of the
    // frame before marked in `changes`; whether it did.
    bool publish(ChangeRegion& changes);

private:
    // Applies the request's points and takes the work plane over every pixel
    // its batch may reach into the scratch planes, with no mark.
    void prepare(const PreviewRequest& request, const ControlGrid& grid, const PictureBuffers& picture);
    SplatTarget target(const PictureBuffers& picture) noexcept;

    // UI thread and worker.
    mutable std::mutex mutex_;
    std::optional<PreviewRequest> pending_;
    std::uint64_t generation_ = 0; // changes when a drag's frames are no longer wanted
    // The worker's while it computes; the UI thread's while it holds the
    // worker or the worker waits for it.
    std::vector<ControlPoint> points_;
    PixelPlanes scratch_;
    ByteBuffer marks_;
    ByteBuffer lowMarks_; // a deep picture's low bytes'
    RectSet computed_;
    std::int32_t computedWidth_ = 0;
    bool withLow_ = false; // the low bytes computed too
    bool ready_ = false;
    // The UI thread's.
    bool active_ = false;
    bool retiring_ = false; // ended, its last frame shown until dropped
    PreviewFrame shown_;
    std::optional<std::chrono::steady_clock::time_point> lateSince_;
    std::size_t cellsWanted_ = 0;
};

} // namespace plexor
