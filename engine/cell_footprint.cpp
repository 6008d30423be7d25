#include "engine/cell_footprint.h"

#include <algorithm>

namespace plexor {
namespace {

// Bounds of one axis's terms, widened by what the rounding of the weighted
// sums can add: the weights sum to 1 within a few parts in a million, and
// each of the 16 stored sums is off by half a unit in the last place at most.
void AxisBounds(const std::int64_t* terms, std::int64_t& low, std::int64_t& high) noexcept
{
    const auto [lo, hi] = std::minmax_element(terms, terms + 16);
    const std::int64_t magnitude = std::max(*hi < 0 ? -*hi : *hi, *lo < 0 ? -*lo : *lo);
    const std::int64_t slack = 2 + (magnitude >> 16);
    // The splat spreads one pixel to each side of the truncated position.
    low = *lo - slack - 1;
    high = *hi + slack + 2; // one past
}

std::int32_t Clamp(std::int64_t v, std::int64_t lo, std::int64_t hi) noexcept
{
    return static_cast<std::int32_t>(std::clamp(v, lo, hi));
}

} // namespace

CellFootprint FootprintOf(const CellTerms& terms, std::int32_t width, std::int32_t height) noexcept
{
    CellFootprint f;
    if (width <= 0 || height <= 0) return f;
    std::int64_t x0, x1, y0, y1;
    AxisBounds(terms.X, x0, x1);
    AxisBounds(terms.Y, y0, y1);
    const std::int64_t w = width;
    const std::int64_t h = height;
    // A spill of more than a row wraps more than once: only a picture a few
    // pixels wide does that; take all of it.
    if (x0 < -w || x1 > 2 * w) {
        f.Rects[f.Count++] = PixelRect{0, 0, width, height};
        return f;
    }
    const auto add = [&](std::int64_t ax0, std::int64_t ay0, std::int64_t ax1, std::int64_t ay1) {
        const PixelRect r{Clamp(ax0, 0, w), Clamp(ay0, 0, h), Clamp(ax1, 0, w), Clamp(ay1, 0, h)};
        if (!r.Empty()) f.Rects[f.Count++] = r;
    };
    add(x0, y0, x1, y1);
    if (x0 < 0) add(w + x0, y0 - 1, w, y1 - 1); // left of column 0: the end of the row above
    if (x1 > w) add(0, y0 + 1, x1 - w, y1 + 1); // right of the last column: the start of the row below
    return f;
}

} // namespace plexor
