#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "engine/cell_work.h"
#include "engine/cell_worker.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"

namespace plexor {

// The cell worker as the commands use it: started with the window and
// stopped with it, given batches of cells of the grid to deform into the
// picture, and waited for. UI thread only.
class WorkerControl {
public:
    WorkerControl(CellWork& work, const ControlGrid& grid, PictureBuffers& picture) noexcept
        : work_(work), grid_(grid), picture_(picture)
    {}
    ~WorkerControl();
    WorkerControl(const WorkerControl&) = delete;
    WorkerControl& operator=(const WorkerControl&) = delete;

    // Creates the worker asleep. `refresh` runs on this thread at the end of
    // each batch, `showFrame` once a live frame is computed; `callWaiting` is
    // called on the worker's thread whenever it waits for either, and must
    // have this thread call serveCalls().
    void start(std::function<void()> refresh, std::function<void()> showFrame, std::function<void()> callWaiting);
    // Empties the queue and stops the worker, still running the refreshes
    // it asks for meanwhile.
    void stop();
    bool running() const noexcept { return worker_ != nullptr; }
    // The worker, between start and stop.
    CellWorker& worker() noexcept { return *worker_; }

    // Queues the cells around point (c, r) (a refresh marker, even when there
    // are none), or `cells` (nothing, when there are none), as one batch and
    // wakes the worker; nothing before start.
    void queueCellsAround(std::int32_t c, std::int32_t r);
    void queueBatch(std::span<const CellRef> cells);
    // Queues the cells of every displaced point as one batch, in the grid
    // file's canonical order.
    void queueDisplacedCells();

    // Has the worker look for work: a live frame asked for.
    void wake();
    // Plays the event loop's part for the worker until it sleeps with
    // nothing to do.
    void waitUntilIdle();
    // Runs the refresh the worker waits for, if any.
    void serveCalls();
    // What the status bar says of the worker: how many cells are left while
    // it has had cells waiting, or a live frame has been late, for more than
    // half a second; nothing else.
    std::optional<std::string> progressText(std::chrono::steady_clock::time_point now);

private:
    CellWork& work_;
    const ControlGrid& grid_;
    PictureBuffers& picture_;
    std::unique_ptr<CellWorker> worker_;
    std::optional<std::chrono::steady_clock::time_point> busySince_;
};

} // namespace plexor
