#pragma once

#include <algorithm>
#include <cstdint>

namespace plexor {

// The pixels X0 <= x < X1, Y0 <= y < Y1 of a picture; empty when either
// range is.
struct PixelRect {
    std::int32_t X0 = 0, Y0 = 0; // the top-left pixel
    std::int32_t X1 = 0, Y1 = 0; // one past the bottom-right pixel

    bool Empty() const noexcept { return X0 >= X1 || Y0 >= Y1; }
    std::int64_t Area() const noexcept { return Empty() ? 0 : std::int64_t{X1 - X0} * std::int64_t{Y1 - Y0}; }
    bool Contains(std::int32_t x, std::int32_t y) const noexcept { return x >= X0 && x < X1 && y >= Y0 && y < Y1; }
    bool Intersects(const PixelRect& o) const noexcept
    {
        return !Empty() && !o.Empty() && X0 < o.X1 && o.X0 < X1 && Y0 < o.Y1 && o.Y0 < Y1;
    }
    PixelRect Intersection(const PixelRect& o) const noexcept
    {
        return {std::max(X0, o.X0), std::max(Y0, o.Y0), std::min(X1, o.X1), std::min(Y1, o.Y1)};
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    PixelRect Union(const PixelRect& o) const noexcept
    {
        if (Empty()) return o;
        if (o.Empty()) return *this;
        return {std::min(X0, o.X0), std::min(Y0, o.Y0), std::max(X1, o.X1), std::max(Y1, o.Y1)};
    }
    PixelRect Grown(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) const noexcept
    {
        return {X0 - left, Y0 - top, X1 + right, Y1 + bottom};
    }

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

} // namespace plexor
