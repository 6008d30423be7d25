#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "engine/cell_ref.h"
#include "engine/grid_sampling.h"
#include "engine/splat.h"

namespace plexor {

// How a batch is shared out: the threads (the calling thread among them); at
// most how many cells each round holds, 0 letting the batch choose from the
// samples per cell; and how many bands of columns each round is splatted in,
// 0 for one a thread.
struct ParallelDeformOptions {
    unsigned threads = 1;
    std::size_t chunkCells = 0;
    unsigned bands = 0;
};

// Deforms `cells` of `grid` into `target` in their order, as deformCell one
// after another would and bit for bit the same, on several threads at once:
// each lands the samples of some cells, then splats a band of columns with
// every sample of a round that reaches it, in order. Nothing else may touch
// the target meanwhile, and no point moves. Two rounds of cells are held at
// a time, a few megabytes; a step whose cells alone are larger than that is
// deformed on the calling thread. `progress`, when set, is called on the
// calling thread with the number of cells done so far.
void deformCellsInParallel(const GridSampling& grid, const SplatTarget& target, std::span<const CellRef> cells,
                           ParallelDeformOptions options, const std::function<void(std::size_t)>& progress = {});

} // namespace plexor
