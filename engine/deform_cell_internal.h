#pragma once

// The cell kernel's parts, for its tests and benchmarks: each coordinate
// kernel on its own, and the plain, literal form of the arithmetic that
// deformCell must match bit for bit.

#include "engine/cell_footprint.h"
#include "engine/cell_ref.h"
#include "engine/cell_terms.h"
#include "engine/grid_sampling.h"
#include "engine/splat.h"

namespace plexor {

// Which coordinate kernel the fast path uses: the best the processor has, or
// a given one, so that tests prove each. A kernel the processor lacks falls
// back to the portable one, which runs on any x86-64.
enum class FastKernel { Best, Avx512, Avx2, Portable };
bool fastKernelAvailable(FastKernel kind);

// deformCell with the given coordinate kernel.
CellFootprint deformCell(const GridSampling& grid, const SplatTarget& target, CellRef cell, FastKernel kind);

// The same deformation in the plain, literal form of its arithmetic: every
// product and sum in extended precision, rounded to single precision only
// where a value is stored, and the plain splat. The reference that
// deformCell must match bit for bit.
void deformCellLiteral(const GridSampling& grid, const SplatTarget& target, CellRef cell);

// The accumulated coordinates of sample (i, j) of a cell with the given
// terms, the literal way.
void literalSampleCoordinates(const GridSampling& grid, const CellTerms& terms, std::int32_t i, std::int32_t j,
                              float& x, float& y);

// The accumulated coordinates of every sample of a cell, row by row: x and y
// of sample (i, j) at index i * (n + 1) + j.
// The grid lies over a width x height picture.
void cellCoordinatesLiteral(const GridSampling& grid, std::int64_t width, std::int64_t height, CellRef cell, float* xs,
                            float* ys);
void cellCoordinatesFast(const GridSampling& grid, std::int64_t width, std::int64_t height, CellRef cell, float* xs,
                         float* ys, FastKernel kind = FastKernel::Best);

} // namespace plexor
