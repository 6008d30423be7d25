#include "engine/my_thread.h"

#include <algorithm>
#include <cstring>

namespace plexor {

namespace {

// A run holds about this many samples, in rounds of an eighth of it: a few
// milliseconds of the gate.
constexpr std::size_t kRunSamples = std::size_t{1} << 18;
constexpr std::size_t kRunCells = 4096;

} // namespace

TMyThread::TMyThread(DeformModel& model, std::function<void()> refresh)
    : model_(model), refresh_(std::move(refresh)), pool_(CoreCount()), run_(kRunCells)
{}

TMyThread::~TMyThread()
{
    Stop();
}

void TMyThread::Stop()
{
    Terminate();
    Wake();
    WaitFor();
}

void TMyThread::Execute()
{
    DeformModel& m = model_;
    for (;;) {
        if (Terminated()) return;
        for (;;) {
            std::uint64_t generation = 0;
            {
                EntryScope scope(m.Gate);
                const std::size_t side = static_cast<std::size_t>(m.SamplesPerCell) + 1;
                const std::size_t round = std::max<std::size_t>(1, kRunSamples / 8 / (side * side));
                const std::span<TCellRef> run(run_.data(), std::min(kRunCells, 8 * round));
                const std::size_t taken = m.CellQueue.TakeFront(run, m.CellQueued, m.CellCols(), generation);
                if (taken == 0) break;
                if (!run[0].IsRefreshMarker()) {
                    pool_.Deform(
                        m, run.first(taken),
                        [&](std::size_t, const CellFootprint& written) {
                            for (int i = 0; i < written.Count; ++i) m.Changes.Mark(written.Rects[i]);
                            m.CellQueue.PopFront(generation, m.CellQueued, m.CellCols());
                        },
                        round);
                    continue;
                }
            }
            // The end of a batch. The gate stays open while the UI thread
            // refreshes, so that it may hold the gate meanwhile.
            if (refresh_) Synchronize(refresh_);
            EntryScope scope(m.Gate);
            m.CellQueue.PopFront(generation, m.CellQueued, m.CellCols());
            if (!m.SplatMask.empty()) std::memset(m.SplatMask.data(), 0, m.SplatMask.size());
        }
        SleepUntilWoken();
    }
}

void QueueCellsAround(DeformModel& m, TThread& worker, std::int32_t c, std::int32_t r)
{
    TCellRef cells[16];
    const std::size_t count = CellsAround(m.Grid(), c, r, cells);
    m.CellQueue.AppendBatch(std::span<const TCellRef>(cells, count), m.CellQueued, m.CellCols());
    worker.Wake();
}

} // namespace plexor
