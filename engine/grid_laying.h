#pragma once

// The grid and the picture changed together, as the grid command, the reset
// and an undo change them. UI thread, the worker held.

#include <cstdint>

#include "engine/cell_work.h"
#include "engine/control_grid.h"
#include "engine/grid_snapshot.h"
#include "engine/picture_buffers.h"

namespace plexor {

// Lays a grid at `step` (at least 1) over the picture: work made afresh from
// source, the grid at rest, black margins, the tables for the step and a
// clear queue for its cells.
void layGrid(ControlGrid& grid, PictureBuffers& picture, CellWork& work, std::int32_t step);

// Every point back at rest and the picture restored, black outside the
// grid. A batch in progress goes on afterwards with the zeroed displacements.
void resetGrid(ControlGrid& grid, PictureBuffers& picture, CellWork& work);

// The grid of `snapshot` laid again, with its displacements, its tables and
// a clear queue; or no grid. The pixels are left to the caller.
void restoreGrid(ControlGrid& grid, const GridSnapshot& snapshot, const PictureBuffers& picture, CellWork& work);

// No grid, and no queue for one.
void dropGrid(ControlGrid& grid, CellWork& work);

} // namespace plexor
