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

} // namespace plexor
