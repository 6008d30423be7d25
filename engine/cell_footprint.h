#pragma once

#include <array>
#include <cstdint>

#include "engine/cell_ref.h"
#include "engine/cell_terms.h"
#include "engine/grid_geometry.h"
#include "engine/pixel_rect.h"

namespace plexor {

// The pixels a cell's deformation may write, as at most three rectangles.
// Every sample lands at a weighted mean of the cell's 16 terms, so within
// their bounding box (give or take the rounding of the sums); its 3 x 3
// splat reaches one pixel further. What passes the left or right edge lands,
// by its linear index, at the other end of the row above or below, and is
// given as a rectangle of its own there.
struct CellFootprint {
    std::array<PixelRect, 3> rects{};
    int count = 0;
};

CellFootprint footprintOf(const CellTerms& terms, std::int32_t width, std::int32_t height) noexcept;

// The pixels a cell's deformation may write whatever its points'
// displacements, as long as each stays below a step and inside the picture,
// as a drag keeps them.
// The grid lies over a width x height picture.
CellFootprint cellReach(const GridGeometry& grid, std::int32_t width, std::int32_t height, CellRef cell) noexcept;

} // namespace plexor
