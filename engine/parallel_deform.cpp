#include "engine/parallel_deform.h"

#include "engine/cell_pool.h"

namespace plexor {

void deformCellsInParallel(const GridSampling& grid, const SplatTarget& target, std::span<const CellRef> cells,
                           ParallelDeformOptions options, const std::function<void(std::size_t)>& progress)
{
    constexpr std::size_t kReportEvery = 256;
    CellPool pool(options.threads, options.bands);
    pool.deform(
        grid, target, cells,
        [&](std::size_t k, const CellFootprint&) {
            if (progress && ((k + 1) % kReportEvery == 0 || k + 1 == cells.size())) progress(k + 1);
        },
        options.chunkCells);
}

} // namespace plexor
