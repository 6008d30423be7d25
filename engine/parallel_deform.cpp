#include "engine/parallel_deform.h"

#include "engine/cell_pool.h"

namespace plexor {

void deformCellsInParallel(DeformModel& model, std::span<const CellRef> cells, ParallelDeformOptions options,
                           const std::function<void(std::size_t)>& progress)
{
    constexpr std::size_t kReportEvery = 256;
    CellPool pool(options.threads, options.bands);
    pool.deform(
        model, cells,
        [&](std::size_t k, const CellFootprint& written) {
            for (int i = 0; i < written.count; ++i) model.changes().mark(written.rects[i]);
            if (progress && ((k + 1) % kReportEvery == 0 || k + 1 == cells.size())) progress(k + 1);
        },
        options.chunkCells);
}

} // namespace plexor
