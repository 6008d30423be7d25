#include "engine/cell_worker.h"

#include <algorithm>

namespace plexor {

namespace {

// A run holds about this many samples, in rounds of an eighth of it: a few
// milliseconds of the gate.
constexpr std::size_t kRunSamples = std::size_t{1} << 18;
constexpr std::size_t kRunCells = 4096;

} // namespace

CellWorker::CellWorker(CellWork& work, const ControlGrid& grid, PictureBuffers& picture, std::function<void()> refresh,
                       std::function<void()> showFrame)
    : work_(work), grid_(grid), picture_(picture), refresh_(std::move(refresh)), showFrame_(std::move(showFrame)),
      pool_(coreCount()), run_(kRunCells)
{}

CellWorker::~CellWorker()
{
    stop();
}

void CellWorker::stop()
{
    requestStop();
    wake();
    waitUntilFinished();
}

void CellWorker::run()
{
    for (;;) {
        if (stopRequested()) return;
        for (;;) {
            std::uint64_t generation = 0;
            bool queueEmpty = false;
            {
                EntryScope scope(work_.gate());
                const std::size_t side = static_cast<std::size_t>(grid_.sampling().samplesPerCell()) + 1;
                const std::size_t round = std::max<std::size_t>(1, kRunSamples / 8 / (side * side));
                const std::span<CellRef> run(run_.data(), std::min(kRunCells, 8 * round));
                const std::size_t taken = work_.queue().takeFront(run, generation);
                if (taken == 0) {
                    queueEmpty = true;
                } else if (!run[0].isRefreshMarker()) {
                    // A smooth rendering sets no splat marks.
                    const GridSampling sampling = grid_.sampling();
                    const bool marks = sampling.resampling == Resampling::Exact;
                    pool_.deform(
                        sampling, picture_.splatTarget(), run.first(taken),
                        [&](std::size_t, const CellFootprint& written) {
                            for (int i = 0; i < written.count; ++i) {
                                work_.changes().mark(written.rects[i]);
                                if (marks) work_.addMarked(written.rects[i]);
                            }
                            work_.queue().popFront(generation);
                        },
                        round);
                    continue;
                }
            }
            // Nothing queued: the picture is whole, and a live frame may be
            // computed from it. A frame, or the end of a batch, is shown with
            // the gate open, so that the UI thread may hold it meanwhile.
            if (queueEmpty) {
                if (!showFrame_ || !work_.preview().computeNext(pool_, grid_, picture_, work_.gate())) break;
                callOnUiThread(showFrame_);
                continue;
            }
            if (refresh_) callOnUiThread(refresh_);
            EntryScope scope(work_.gate());
            work_.queue().popFront(generation);
            picture_.clearMarks(work_.takeMarked());
        }
        sleepUntilWoken();
    }
}

} // namespace plexor
