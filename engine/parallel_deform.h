#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "engine/cell_ref.h"
#include "engine/deform_model.h"

namespace plexor {

// How a batch is shared out: the threads that compute coordinates (the
// calling thread among them), and at most how many cells each round of
// computing holds; 0 lets the batch choose from the samples per cell.
struct ParallelDeformOptions {
    unsigned threads = 1;
    std::size_t chunkCells = 0;
};

// Deforms `cells` in their order, as deformCell one after another would and
// bit for bit the same, with the cells' sample coordinates computed on
// several threads at once while the calling thread splats the cells before
// them in order. Nothing else may touch the model meanwhile: the worker is
// idle and no point moves. Coordinates are held for two rounds of cells at
// a time, a few megabytes; a step whose cells alone are larger than that is
// deformed on the calling thread. `progress`, when set, is called on the
// calling thread with the number of cells done so far.
void deformCellsInParallel(DeformModel& model, std::span<const CellRef> cells, ParallelDeformOptions options,
                           const std::function<void(std::size_t)>& progress = {});

} // namespace plexor
