#pragma once

// The smooth renderer's parts, for its tests and benchmarks: the renderer
// with a given kernel, and the plain, literal form that every kernel must
// match bit for bit.

#include "engine/smooth_cell.h"

namespace plexor {

// How a cell is rendered: with the best kernel the processor has, or a given
// one, so that tests prove each (one the processor lacks falls back to the
// portable one); or in the plain, literal form: every tap held to the
// picture on its own, every sum in 64 bits, every quotient of a triangle's
// set-up in 128 bits and each row's span found by division.
enum class SmoothKernel { Best, Avx2, Portable, Literal };
bool smoothKernelAvailable(SmoothKernel kind) noexcept;

void smoothCell(const SmoothPlanes& planes, const GridGeometry& grid, CellRef cell, const CellTerms& terms,
                const PixelRect& band, SmoothKernel kind) noexcept;

} // namespace plexor
