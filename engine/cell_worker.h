#pragma once

#include <functional>
#include <vector>

#include "engine/cell_pool.h"
#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"
#include "platform/worker_thread.h"

namespace plexor {

// The worker: takes entries from the front of the cell queue in order,
// deforms each cell of the grid into the picture, and at each refresh marker
// has the UI thread refresh the screen, then clears the splat marks the
// batch set. It takes the cells of a batch a run at a time, up to a few
// milliseconds of work, and deforms a run with a pool of threads, one for
// each core the machine has: the samples of its cells landed side by side,
// splatted by bands of columns, the bits those of one cell after another.
// Once the queue is empty it computes the live frame asked for last, if
// any, and has the UI thread show it. It sleeps while there is nothing to
// do; a stop request is looked at when the body starts and after each
// wake-up, so the entries waiting when a stop is asked for are handled first.
class CellWorker : public WorkerThread {
public:
    // `refresh` runs on the UI thread at the end of each batch, `showFrame`
    // once a live frame is computed.
    CellWorker(CellWork& work, const ControlGrid& grid, PictureBuffers& picture, std::function<void()> refresh,
               std::function<void()> showFrame = {});
    ~CellWorker() override;

    // UI thread: asks the body to stop, wakes it and waits for its end,
    // running the refreshes that it asks for meanwhile.
    void stop();

protected:
    void run() override;

private:
    CellWork& work_;
    const ControlGrid& grid_;
    PictureBuffers& picture_;
    const std::function<void()> refresh_;
    const std::function<void()> showFrame_;
    CellPool pool_;
    std::vector<CellRef> run_; // room for the cells of one run
};

} // namespace plexor
