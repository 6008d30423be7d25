#pragma once

#include <cstdint>

#include "engine/cell_ref.h"
#include "engine/deform_model.h"

namespace plexor {

// Which coordinate kernel the fast path uses: the best the processor has, or
// a given one, so that tests prove each. A kernel the processor lacks falls
// back to the portable one, which runs on any x86-64.
enum class FastKernel { Best, Avx512, Avx2, Portable };
bool FastKernelAvailable(FastKernel kind);

// Recomputes one cell: every source pixel of the cell, at its undisplaced
// grid position, is sent to the position that the B-spline of the displaced
// control points gives it, written there into WorkImage and spread over the
// 3 x 3 pixels around it where no sample of this batch has landed exactly.
// Worker thread, inside the gate. Never reads or writes outside the buffers.
void DeformCell(DeformModel& model, TCellRef cell, FastKernel kind = FastKernel::Best);

// The same deformation in the plain, literal form of its arithmetic: every
// product and sum in extended precision, rounded to single precision only
// where a value is stored, and the plain splat. The reference that
// DeformCell must match bit for bit.
void DeformCellLiteral(DeformModel& model, TCellRef cell);

// The accumulated coordinates of every sample of a cell, row by row: x and y
// of sample (i, j) at index i * (n + 1) + j. For proving the fast kernel
// against the literal one.
void CellCoordinatesLiteral(const DeformModel& model, TCellRef cell, float* xs, float* ys);
void CellCoordinatesFast(const DeformModel& model, TCellRef cell, float* xs, float* ys,
                         FastKernel kind = FastKernel::Best);

} // namespace plexor
