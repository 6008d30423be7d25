#pragma once

#include <cstdint>

namespace plexor {

// How large the picture is shown: Num / Den screen pixels a picture pixel,
// from 1/16 to 16. Screen positions count from the picture's top-left corner
// as shown, in the logical pixels of the window.
struct Zoom {
    std::int64_t num = 1;
    std::int64_t den = 1;

    static constexpr Zoom actual() noexcept { return {1, 1}; }
    bool isActual() const noexcept { return num == den; }
    bool reduces() const noexcept { return num < den; }
    // The percentage shown to the user, rounded to the nearest whole one.
    std::int64_t percent() const noexcept { return (200 * num + den) / (2 * den); }

    // The screen pixel on which picture position x is shown: the left (top)
    // edge of its square when the picture is enlarged, the pixel its square
    // is averaged into when it is reduced.
    std::int64_t toScreen(std::int64_t x) const noexcept { return floorDiv(x * num, den); }
    // The picture pixel shown at screen pixel s.
    std::int64_t toPicture(std::int64_t s) const noexcept { return floorDiv(s * den, num); }
    // The first picture pixel shown at screen pixel s or right of it.
    std::int64_t firstPictureAtOrAfter(std::int64_t s) const noexcept { return ceilDiv(s * den, num); }
    // Screen pixels a picture of `length` pixels takes along one axis:
    // enlarged, a square for each pixel; reduced, every screen pixel that
    // some picture pixel falls on.
    std::int64_t screenLength(std::int64_t length) const noexcept
    {
        if (length <= 0) return 0;
        return reduces() ? toScreen(length - 1) + 1 : ceilDiv(length * num, den);
    }

    friend bool operator==(const Zoom& a, const Zoom& b) noexcept { return a.num * b.den == b.num * a.den; }

    static std::int64_t floorDiv(std::int64_t a, std::int64_t b) noexcept
    {
        return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
    }
    static std::int64_t ceilDiv(std::int64_t a, std::int64_t b) noexcept { return -floorDiv(-a, b); }
};

// The zoom ladder: 1/16, 1/12, 1/8, 1/6, 1/4, 1/3, 1/2, 1, 2, 3, 4, 6, 8,
// 12, 16. Enlargements are whole numbers, so every picture pixel shows as a
// square of the same size.
Zoom nextZoomIn(Zoom zoom) noexcept;  // the first step above; 16 stays 16
Zoom nextZoomOut(Zoom zoom) noexcept; // the first step below; 1/16 stays 1/16

// The largest zoom at which a width x height picture fits a viewport of
// viewWidth x viewHeight: exact when it reduces the picture, a whole number
// when it enlarges it, and within the ladder's ends.
Zoom fitZoom(std::int32_t width, std::int32_t height, std::int32_t viewWidth, std::int32_t viewHeight) noexcept;

// The scroll offset (the screen position shown at the viewport's left or top
// edge) that keeps the picture point under the pointer in place when the
// zoom changes: `pointer` is the pointer's position in the viewport and
// `scroll` the offset before.
std::int64_t scrollKeeping(std::int64_t scroll, std::int64_t pointer, Zoom before, Zoom after) noexcept;

} // namespace plexor
