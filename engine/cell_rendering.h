#pragma once

// A cell rendered as its grid's resampling asks, where the exact and the
// smooth renderings part: what a cell may write, and the smooth one's halves
// for a pool of threads (the exact one's are the landing and the splat).

#include <cstdint>

#include "engine/cell_footprint.h"
#include "engine/cell_landing.h"
#include "engine/cell_ref.h"
#include "engine/cell_terms.h"
#include "engine/grid_sampling.h"
#include "engine/smooth_planes.h"
#include "engine/splat.h"
#include "engine/splat_band.h"

namespace plexor {

// The planes of a splat target as the smooth renderer reads and writes them:
// colours, and alpha when the target has it, of 16 bits for a deep picture.
SmoothPlanes smoothPlanesOf(const SplatTarget& target) noexcept;

// The pixels rendering `cell` of `grid` over a width x height picture may
// write, from its points as they stand.
CellFootprint renderReach(const GridSampling& grid, std::int32_t width, std::int32_t height, CellRef cell) noexcept;

// What rendering `cell` smoothly may write: its reach, and the columns of
// it, from `terms`, the cell's terms as read from its points now.
CellLanding landSmoothCell(const GridSampling& grid, const SplatTarget& target, CellRef cell,
                           CellTerms& terms) noexcept;

// Renders `cell` smoothly into the target's work planes, from the terms its
// landing read, the pixels whose column lies in `band` only: bands that do
// not overlap may be rendered at once, and give together what the whole
// width gives.
void renderSmoothCell(const GridSampling& grid, const SplatTarget& target, CellRef cell, const CellTerms& terms,
                      SplatBand band) noexcept;

} // namespace plexor
