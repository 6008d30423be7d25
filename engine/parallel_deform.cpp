#include "engine/parallel_deform.h"

#include "engine/cell_pool.h"

namespace plexor {

void DeformCellsInParallel(DeformModel& model, std::span<const TCellRef> cells, ParallelDeformOptions options,
                           const std::function<void(std::size_t)>& progress)
{
    constexpr std::size_t kReportEvery = 256;
    CellPool pool(options.Threads);
    pool.Deform(
        model, cells,
        [&](std::size_t k, const CellFootprint& written) {
            for (int i = 0; i < written.Count; ++i) model.Changes.Mark(written.Rects[i]);
            if (progress && ((k + 1) % kReportEvery == 0 || k + 1 == cells.size())) progress(k + 1);
        },
        options.ChunkCells);
}

} // namespace plexor
