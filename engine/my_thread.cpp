#include "engine/my_thread.h"

#include <cstring>

#include "engine/deform_cell.h"

namespace plexor {

TMyThread::TMyThread(DeformModel& model, std::function<void()> refresh) : model_(model), refresh_(std::move(refresh)) {}

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
            TCellRef entry;
            std::uint64_t generation = 0;
            {
                EntryScope scope(m.Gate);
                if (!m.CellQueue.Front(entry, generation)) break;
                if (!entry.IsRefreshMarker()) {
                    const CellFootprint written = DeformCell(m, entry);
                    for (int i = 0; i < written.Count; ++i) m.Changes.Mark(written.Rects[i]);
                    m.CellQueue.PopFront(generation, m.CellQueued, m.CellCols());
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
