#pragma once

#include <cstdint>

#include "engine/cell_footprint.h"
#include "engine/cell_ref.h"
#include "engine/grid_sampling.h"
#include "engine/splat.h"
#include "engine/splat_band.h"

namespace plexor {

// deformCell in two halves, so that the samples of many cells can be
// computed side by side and their splats shared out by bands while keeping
// their order. The first writes where each sample of a cell lands, row by
// row ((n + 1)^2 of them): its pixel index, or -1 where deformCell would
// write nothing for it; it touches nothing else. The second splats the
// cell's samples from those, writing only the band's pixels, exactly as
// deformCell would write them.
struct CellLanding {
    CellFootprint reach; // the pixels it may write, from its points as read
    // Its splats write only in columns firstColumn .. lastColumn - 1, the
    // whole width when one wraps a row; none when first >= last.
    std::int32_t firstColumn = 0;
    std::int32_t lastColumn = 0;
};
CellLanding landCellSamples(const GridSampling& grid, const SplatTarget& target, CellRef cell, std::int32_t* dests);
void splatCellSamples(const GridSampling& grid, const SplatTarget& target, CellRef cell, const std::int32_t* dests,
                      const CellLanding& landing, SplatBand band);

} // namespace plexor
