#pragma once

#include "engine/cell_footprint.h"
#include "engine/cell_ref.h"
#include "engine/deform_model.h"

namespace plexor {

// Recomputes one cell: every source pixel of the cell, at its undisplaced
// grid position, is sent to the position that the B-spline of the displaced
// control points gives it, written there into workImage and spread over the
// 3 x 3 pixels around it where no sample of this batch has landed exactly.
// Gives the same bits as the plain, literal form of the arithmetic, with
// every product and sum in extended precision. Worker thread, inside the
// gate; the cell lies in the grid, and the model holds a picture and the
// weight tables of its step. Never reads or writes outside the buffers.
// Returns the pixels it may have written, found from the control points as
// it read them.
CellFootprint deformCell(DeformModel& model, CellRef cell);

// deformCell in two halves, so that the coordinates of many cells can be
// computed side by side while their splats keep their order. The first
// writes the sample coordinates of a cell, row by row ((n + 1)^2 each, as
// deformCell computes them), and in `reach` the pixels they may write, from
// the points as it read them; it touches nothing else, and returns false,
// writing nothing, for a cell whose points lie so far out that deformCell
// must take it whole. The second splats the cell from those coordinates
// exactly as deformCell would.
bool cellSampleCoordinates(const DeformModel& model, CellRef cell, float* xs, float* ys, CellFootprint& reach);
void splatCellSamples(DeformModel& model, CellRef cell, const float* xs, const float* ys);

} // namespace plexor
