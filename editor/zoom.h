#pragma once

#include <cstdint>

namespace plexor {

// How large the picture is shown: Num / Den screen pixels a picture pixel,
// from 1/16 to 16. Screen positions count from the picture's top-left corner
// as shown, in the logical pixels of the window.
struct Zoom {
    std::int64_t Num = 1;
    std::int64_t Den = 1;

    static constexpr Zoom Actual() noexcept { return {1, 1}; }
    bool IsActual() const noexcept { return Num == Den; }
    bool Reduces() const noexcept { return Num < Den; }
    // The percentage shown to the user, rounded to the nearest whole one.
    std::int64_t Percent() const noexcept { return (200 * Num + Den) / (2 * Den); }

    // The screen pixel on which picture position x is shown: the left (top)
    // edge of its square when the picture is enlarged, the pixel its square
    // is averaged into when it is reduced.
    std::int64_t ToScreen(std::int64_t x) const noexcept { return FloorDiv(x * Num, Den); }
    // The picture pixel shown at screen pixel s.
    std::int64_t ToPicture(std::int64_t s) const noexcept { return FloorDiv(s * Den, Num); }
    // The first picture pixel shown at screen pixel s or right of it.
    std::int64_t FirstPictureAtOrAfter(std::int64_t s) const noexcept { return CeilDiv(s * Den, Num); }
    // Screen pixels a picture of `length` pixels takes along one axis:
    // enlarged, a square for each pixel; reduced, every screen pixel that
    // some picture pixel falls on.
    std::int64_t ScreenLength(std::int64_t length) const noexcept
    {
        if (length <= 0) return 0;
        return Reduces() ? ToScreen(length - 1) + 1 : CeilDiv(length * Num, Den);
    }

    friend bool operator==(const Zoom& a, const Zoom& b) noexcept { return a.Num * b.Den == b.Num * a.Den; }

    static std::int64_t FloorDiv(std::int64_t a, std::int64_t b) noexcept
    {
        return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
    }
    static std::int64_t CeilDiv(std::int64_t a, std::int64_t b) noexcept { return -FloorDiv(-a, b); }
};

// The zoom ladder: 1/16, 1/12, 1/8, 1/6, 1/4, 1/3, 1/2, 1, 2, 3, 4, 6, 8,
// 12, 16. Enlargements are whole numbers, so every picture pixel shows as a
// square of the same size.
Zoom NextZoomIn(Zoom zoom) noexcept;  // the first step above; 16 stays 16
Zoom NextZoomOut(Zoom zoom) noexcept; // the first step below; 1/16 stays 1/16

// The largest zoom at which a width x height picture fits a viewport of
// viewWidth x viewHeight: exact when it reduces the picture, a whole number
// when it enlarges it, and within the ladder's ends.
Zoom FitZoom(std::int32_t width, std::int32_t height, std::int32_t viewWidth, std::int32_t viewHeight) noexcept;

// The scroll offset (the screen position shown at the viewport's left or top
// edge) that keeps the picture point under the pointer in place when the
// zoom changes: `pointer` is the pointer's position in the viewport and
// `scroll` the offset before.
std::int64_t ScrollKeeping(std::int64_t scroll, std::int64_t pointer, Zoom before, Zoom after) noexcept;

} // namespace plexor
