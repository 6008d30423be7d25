#include "editor/point_hit.h"

#include <algorithm>
#include <cstdlib>

namespace plexor {
namespace {

// Pointer offsets below this, in x and in y, reach a point.
constexpr std::int64_t kPickReach = 5;

bool reaches(const ControlPoint& p, Zoom zoom, std::int64_t x, std::int64_t y) noexcept
{
    const std::int64_t sx = zoom.toScreen(std::int64_t{p.x} + p.dx);
    const std::int64_t sy = zoom.toScreen(std::int64_t{p.y} + p.dy);
    return std::abs(x - sx) < kPickReach && std::abs(y - sy) < kPickReach;
}

// The first interior point within reach among columns c0..c1 and rows
// r0..r1 (inclusive, clamped to the interior), in row-major order.
std::int32_t firstWithin(const ControlGrid& grid, Zoom zoom, std::int64_t x, std::int64_t y, std::int64_t c0,
                         std::int64_t c1, std::int64_t r0, std::int64_t r1) noexcept
{
    const GridGeometry& g = grid.shape();
    if (!grid.exists()) return -1;
    r0 = std::max<std::int64_t>(r0, 1);
    r1 = std::min<std::int64_t>(r1, g.pointRows - 2);
    c0 = std::max<std::int64_t>(c0, 1);
    c1 = std::min<std::int64_t>(c1, g.pointCols - 2);
    for (std::int64_t r = r0; r <= r1; ++r)
        for (std::int64_t c = c0; c <= c1; ++c) {
            const auto col = static_cast<std::int32_t>(c), row = static_cast<std::int32_t>(r);
            if (reaches(grid.point(col, row), zoom, x, y)) return static_cast<std::int32_t>(grid.index(col, row));
        }
    return -1;
}

// The grid columns (rows) whose points, displaced by less than a step, can
// show at picture positions lo <= v < hi.
void candidates(std::int64_t lo, std::int64_t hi, std::int32_t margin, std::int32_t step, std::int64_t& first,
                std::int64_t& last) noexcept
{
    first = Zoom::floorDiv(lo - margin, step) - 1;
    last = Zoom::floorDiv(hi - 1 - margin, step) + 1;
}

} // namespace

std::int32_t pointUnder(const ControlGrid& grid, Zoom zoom, std::int64_t x, std::int64_t y) noexcept
{
    if (!grid.exists()) return -1;
    // The picture positions shown within reach of the pointer.
    const GridGeometry& g = grid.shape();
    std::int64_t c0, c1, r0, r1;
    candidates(zoom.firstPictureAtOrAfter(x - (kPickReach - 1)), zoom.firstPictureAtOrAfter(x + kPickReach), g.marginX,
               g.step, c0, c1);
    candidates(zoom.firstPictureAtOrAfter(y - (kPickReach - 1)), zoom.firstPictureAtOrAfter(y + kPickReach), g.marginY,
               g.step, r0, r1);
    return firstWithin(grid, zoom, x, y, c0, c1, r0, r1);
}

std::int32_t pointUnderLiteral(const ControlGrid& grid, Zoom zoom, std::int64_t x, std::int64_t y) noexcept
{
    return firstWithin(grid, zoom, x, y, 1, grid.shape().pointCols - 2, 1, grid.shape().pointRows - 2);
}

} // namespace plexor
