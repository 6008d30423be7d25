#pragma once

#include "engine/cell_footprint.h"
#include "engine/cell_ref.h"
#include "engine/grid_sampling.h"
#include "engine/splat.h"

namespace plexor {

// Recomputes one cell of `grid` into `target`: every source pixel of the
// cell, at its undisplaced grid position, is sent to the position that the
// B-spline of the displaced control points gives it, written there and
// spread over the 3 x 3 pixels around it where no sample of this batch has
// landed exactly. Gives the same bits as the plain, literal form of the
// arithmetic, with every product and sum in extended precision. The cell
// lies in the grid, which holds the weight tables of its step; the target is
// a picture of the grid's size. Never reads or writes outside the target's
// planes. Returns the pixels it may have written, found from the control
// points as it read them.
CellFootprint deformCell(const GridSampling& grid, const SplatTarget& target, CellRef cell);

} // namespace plexor
