#pragma once

#include <cstdint>

#include "engine/cell_ref.h"
#include "engine/cell_terms.h"
#include "engine/grid_geometry.h"
#include "engine/pixel_rect.h"
#include "engine/smooth_planes.h"

namespace plexor {

// Renders cell `cell` of `grid` (laid over a planes.width x planes.height
// picture) smoothly: every destination pixel inside `band` whose centre the
// cell's deformation covers takes the source's colour over that pixel's
// preimage, interpolated where the deformation magnifies and averaged over
// the pixel's footprint where it shrinks. `terms` are the cell's 16
// neighbouring points as gatherCellTerms lays them out. Writes nothing
// outside band, nothing outside the grid's rectangle [marginX, right()) x
// [marginY, bottom()) and nothing outside the picture.
//
// Two cells that share an edge cover its pixels once between them, so a
// batch of cells rendered one after another covers the deformed picture
// without gaps; where the deformation folds, later cells lie over earlier
// ones, and within a cell later sub-quads (row by row) over earlier ones.
// Each pixel's bits depend on the cell and the pixel alone: rendering two
// bands gives exactly what rendering their union gives. Reads only the
// source planes and writes only the work planes, so bands that do not
// overlap may be rendered on different threads at once. Allocates nothing.
void smoothCell(const SmoothPlanes& planes, const GridGeometry& grid, CellRef cell, const CellTerms& terms,
                const PixelRect& band) noexcept;

// A rectangle holding every pixel smoothCell may write for these terms:
// the cell at rest widened by the least and greatest displacements among
// its terms, and a pixel, within the grid's rectangle.
PixelRect smoothCellReach(const GridGeometry& grid, CellRef cell, const CellTerms& terms, std::int32_t width,
                          std::int32_t height) noexcept;

} // namespace plexor
