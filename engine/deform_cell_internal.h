#pragma once

// The cell kernel's parts, for its tests and benchmarks: each coordinate
// kernel on its own, and the plain, literal form of the arithmetic that
// DeformCell must match bit for bit.

#include "engine/cell_footprint.h"
#include "engine/cell_ref.h"
#include "engine/deform_model.h"

namespace plexor {

// Which coordinate kernel the fast path uses: the best the processor has, or
// a given one, so that tests prove each. A kernel the processor lacks falls
// back to the portable one, which runs on any x86-64.
enum class FastKernel { Best, Avx512, Avx2, Portable };
bool FastKernelAvailable(FastKernel kind);

// DeformCell with the given coordinate kernel.
CellFootprint DeformCell(DeformModel& model, TCellRef cell, FastKernel kind);

// The same deformation in the plain, literal form of its arithmetic: every
// product and sum in extended precision, rounded to single precision only
// where a value is stored, and the plain splat. The reference that
// DeformCell must match bit for bit.
void DeformCellLiteral(DeformModel& model, TCellRef cell);

// The accumulated coordinates of every sample of a cell, row by row: x and y
// of sample (i, j) at index i * (n + 1) + j.
void CellCoordinatesLiteral(const DeformModel& model, TCellRef cell, float* xs, float* ys);
void CellCoordinatesFast(const DeformModel& model, TCellRef cell, float* xs, float* ys,
                         FastKernel kind = FastKernel::Best);

} // namespace plexor
