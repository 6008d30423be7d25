#pragma once

#include <algorithm>
#include <cstdint>

namespace plexor {

// The pixels X0 <= x < X1, Y0 <= y < Y1 of a picture; empty when either
// range is.
struct PixelRect {
    std::int32_t x0 = 0, y0 = 0; // the top-left pixel
    std::int32_t x1 = 0, y1 = 0; // one past the bottom-right pixel

    bool empty() const noexcept { return x0 >= x1 || y0 >= y1; }
    std::int64_t area() const noexcept { return empty() ? 0 : std::int64_t{x1 - x0} * std::int64_t{y1 - y0}; }
    bool contains(std::int32_t x, std::int32_t y) const noexcept { return x >= x0 && x < x1 && y >= y0 && y < y1; }
    PixelRect intersection(const PixelRect& o) const noexcept
    {
        return {std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)};
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    PixelRect united(const PixelRect& o) const noexcept
    {
        if (empty()) return o;
        if (o.empty()) return *this;
        return {std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)};
    }
    PixelRect grown(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) const noexcept
    {
        return {x0 - left, y0 - top, x1 + right, y1 + bottom};
    }

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

} // namespace plexor
