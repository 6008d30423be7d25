#include "engine/cell_footprint.h"

#include <algorithm>

namespace plexor {
namespace {

// The pixels along one axis that samples between the terms lo and hi may
// write, widened by what the rounding of the weighted sums can add: the
// weights sum to 1 within a few parts in a million, and each of the 16
// stored sums is off by half a unit in the last place at most.
void axisBounds(std::int64_t lo, std::int64_t hi, std::int64_t& low, std::int64_t& high) noexcept
{
    const std::int64_t magnitude = std::max(hi < 0 ? -hi : hi, lo < 0 ? -lo : lo);
    const std::int64_t slack = 2 + (magnitude >> 16);
    // The splat spreads one pixel to each side of the truncated position.
    low = lo - slack - 1;
    high = hi + slack + 2; // one past
}

std::int32_t clamp(std::int64_t v, std::int64_t lo, std::int64_t hi) noexcept
{
    return static_cast<std::int32_t>(std::clamp(v, lo, hi));
}

// The footprint of samples whose terms lie within [xlo, xhi] x [ylo, yhi].
CellFootprint footprintOfRange(std::int64_t xlo, std::int64_t xhi, std::int64_t ylo, std::int64_t yhi,
                               std::int32_t width, std::int32_t height) noexcept
{
    CellFootprint f;
    if (width <= 0 || height <= 0) return f;
    std::int64_t x0, x1, y0, y1;
    axisBounds(xlo, xhi, x0, x1);
    axisBounds(ylo, yhi, y0, y1);
    const std::int64_t w = width;
    const std::int64_t h = height;
    // A spill of more than a row wraps more than once: only a picture a few
    // pixels wide does that; take all of it.
    if (x0 < -w || x1 > 2 * w) {
        f.rects[f.count++] = PixelRect{0, 0, width, height};
        return f;
    }
    const auto add = [&](std::int64_t ax0, std::int64_t ay0, std::int64_t ax1, std::int64_t ay1) {
        const PixelRect r{clamp(ax0, 0, w), clamp(ay0, 0, h), clamp(ax1, 0, w), clamp(ay1, 0, h)};
        if (!r.empty()) f.rects[f.count++] = r;
    };
    add(x0, y0, x1, y1);
    if (x0 < 0) add(w + x0, y0 - 1, w, y1 - 1); // left of column 0: the end of the row above
    if (x1 > w) add(0, y0 + 1, x1 - w, y1 + 1); // right of the last column: the start of the row below
    return f;
}

} // namespace

CellFootprint footprintOf(const CellTerms& terms, std::int32_t width, std::int32_t height) noexcept
{
    const auto [xlo, xhi] = std::minmax_element(terms.x, terms.x + 16);
    const auto [ylo, yhi] = std::minmax_element(terms.y, terms.y + 16);
    return footprintOfRange(*xlo, *xhi, *ylo, *yhi, width, height);
}

CellFootprint cellReach(const GridGeometry& g, std::int32_t width, std::int32_t height, CellRef cell) noexcept
{
    // The outermost of the cell's 4 x 4 points, each where a displacement of
    // less than a step, inside the picture, may put it; the ring of virtual
    // points lies at the picture's edges.
    const auto reach = [](std::int64_t first, std::int64_t last, std::int64_t step, std::int64_t count,
                          std::int64_t margin, std::int64_t extent, std::int64_t& lo, std::int64_t& hi) {
        lo = first < 0 ? 0 : std::max<std::int64_t>(0, margin + first * step - (step - 1));
        hi = last >= count ? extent : std::min<std::int64_t>(extent - 1, margin + last * step + (step - 1));
    };
    std::int64_t xlo, xhi, ylo, yhi;
    reach(cell.col - 1, cell.col + 2, g.step, g.pointCols, g.marginX, width, xlo, xhi);
    reach(cell.row - 1, cell.row + 2, g.step, g.pointRows, g.marginY, height, ylo, yhi);
    return footprintOfRange(xlo, xhi, ylo, yhi, width, height);
}

} // namespace plexor
