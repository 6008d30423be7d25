#include "engine/cell_rendering.h"

#include "engine/smooth_cell.h"

namespace plexor {
namespace {

CellFootprint smoothReach(const GridSampling& grid, const CellTerms& terms, std::int32_t width, std::int32_t height,
                          CellRef cell) noexcept
{
    CellFootprint footprint;
    footprint.rects[0] = smoothCellReach(grid.shape, cell, terms, width, height);
    footprint.count = footprint.rects[0].empty() ? 0 : 1;
    return footprint;
}

} // namespace

SmoothPlanes smoothPlanesOf(const SplatTarget& target) noexcept
{
    SmoothPlanes planes;
    planes.source = target.source;
    planes.sourceAlpha = target.sourceAlpha;
    planes.work = target.work;
    planes.workAlpha = target.workAlpha;
    // A deep picture's low bytes: interpolated with the high ones as values
    // of 16 bits.
    planes.sourceLow = target.lowSource;
    planes.sourceAlphaLow = target.lowSourceAlpha;
    planes.workLow = target.lowWork;
    planes.workAlphaLow = target.lowWorkAlpha;
    planes.width = static_cast<std::int32_t>(target.width);
    planes.height = static_cast<std::int32_t>(target.height);
    return planes;
}

CellFootprint renderReach(const GridSampling& grid, std::int32_t width, std::int32_t height, CellRef cell) noexcept
{
    const CellTerms terms = gatherCellTerms(grid, width, height, cell.col, cell.row);
    if (grid.resampling == Resampling::Exact) return footprintOf(terms, width, height);
    return smoothReach(grid, terms, width, height, cell);
}

CellLanding landSmoothCell(const GridSampling& grid, const SplatTarget& target, CellRef cell, CellTerms& terms) noexcept
{
    const auto width = static_cast<std::int32_t>(target.width), height = static_cast<std::int32_t>(target.height);
    terms = gatherCellTerms(grid, width, height, cell.col, cell.row);
    CellLanding landing;
    landing.reach = smoothReach(grid, terms, width, height, cell);
    if (landing.reach.count == 1) {
        landing.firstColumn = landing.reach.rects[0].x0;
        landing.lastColumn = landing.reach.rects[0].x1;
    }
    return landing;
}

void renderSmoothCell(const GridSampling& grid, const SplatTarget& target, CellRef cell, const CellTerms& terms,
                      SplatBand band) noexcept
{
    const SmoothPlanes planes = smoothPlanesOf(target);
    smoothCell(planes, grid.shape, cell, terms, PixelRect{band.first, 0, band.last, planes.height});
}

} // namespace plexor
