#include "engine/cell_worker.h"

#include <algorithm>
#include <cstring>

namespace plexor {

namespace {

// A run holds about this many samples, in rounds of an eighth of it: a few
// milliseconds of the gate.
constexpr std::size_t kRunSamples = std::size_t{1} << 18;
constexpr std::size_t kRunCells = 4096;

} // namespace

CellWorker::CellWorker(DeformModel& model, std::function<void()> refresh)
    : model_(model), refresh_(std::move(refresh)), pool_(coreCount()), run_(kRunCells)
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
    DeformModel& m = model_;
    for (;;) {
        if (stopRequested()) return;
        for (;;) {
            std::uint64_t generation = 0;
            {
                EntryScope scope(m.gate());
                const std::size_t side = static_cast<std::size_t>(m.samplesPerCell()) + 1;
                const std::size_t round = std::max<std::size_t>(1, kRunSamples / 8 / (side * side));
                const std::span<CellRef> run(run_.data(), std::min(kRunCells, 8 * round));
                const std::size_t taken = m.cellQueue().takeFront(run, generation);
                if (taken == 0) break;
                if (!run[0].isRefreshMarker()) {
                    pool_.deform(
                        m, run.first(taken),
                        [&](std::size_t, const CellFootprint& written) {
                            for (int i = 0; i < written.count; ++i) m.changes().mark(written.rects[i]);
                            m.cellQueue().popFront(generation);
                        },
                        round);
                    continue;
                }
            }
            // The end of a batch. The gate stays open while the UI thread
            // refreshes, so that it may hold the gate meanwhile.
            if (refresh_) callOnUiThread(refresh_);
            EntryScope scope(m.gate());
            m.cellQueue().popFront(generation);
            if (!m.splatMask().empty()) std::memset(m.splatMask().data(), 0, m.splatMask().size());
        }
        sleepUntilWoken();
    }
}

void queueCellsAround(DeformModel& m, WorkerThread& worker, std::int32_t c, std::int32_t r)
{
    CellRef cells[16];
    const std::size_t count = cellsAround(m.grid(), c, r, cells);
    m.cellQueue().appendBatch(std::span<const CellRef>(cells, count));
    worker.wake();
}

} // namespace plexor
