#pragma once

#include <functional>
#include <vector>

#include "engine/cell_pool.h"
#include "engine/deform_model.h"
#include "platform/worker_thread.h"

namespace plexor {

// The worker: takes entries from the front of the cell queue in order,
// deforms each cell, and at each refresh marker has the UI thread refresh
// the screen. It takes the cells of a batch a run at a time, up to a few
// milliseconds of work, and deforms a run with a pool of threads, one for
// each core the machine has: the samples of its cells landed side by side,
// splatted by bands of columns, the bits those of one cell after another.
// It sleeps while the queue is empty; a stop request is looked at when the
// body starts and after each wake-up, so the entries waiting when a stop is
// asked for are handled first.
class CellWorker : public WorkerThread {
public:
    // `refresh` runs on the UI thread at the end of each batch.
    CellWorker(DeformModel& model, std::function<void()> refresh);
    ~CellWorker() override;

    // UI thread: asks the body to stop, wakes it and waits for its end,
    // running the refreshes that it asks for meanwhile.
    void stop();

protected:
    void run() override;

private:
    DeformModel& model_;
    const std::function<void()> refresh_;
    CellPool pool_;
    std::vector<CellRef> run_; // room for the cells of one run
};

// UI thread. Queues every cell whose 4 x 4 control points include point
// (c, r) and that is not queued yet, top row first, each row left to right,
// then a refresh marker, and wakes the worker.
void queueCellsAround(DeformModel& model, WorkerThread& worker, std::int32_t c, std::int32_t r);

} // namespace plexor
