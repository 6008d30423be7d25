#include "editor/draw_line.h"

#include <algorithm>
#include <cstddef>

#include "editor/put_pixel.h"

namespace plexor {
namespace {

__extension__ using Wide = __int128;

// A line seen along its longer ("major") axis: it takes `Steps` steps of one
// pixel along that axis, and `MinorSteps` of them also move one pixel along
// the other axis. Steps >= MinorSteps.
struct Stepping {
    std::int64_t Steps;
    std::int64_t MinorSteps;
};

// Both ends inside the clip, so every pixel is: no test per pixel. `pixel`
// is the start; the steps are byte offsets in the view.
template <bool Dotted>
void StepInside(std::uint8_t* pixel, std::ptrdiff_t majorStep, std::ptrdiff_t minorStep, Stepping s,
                Colour colour) noexcept
{
    const std::int64_t twoSteps = 2 * s.Steps;
    const std::int64_t twoMinor = 2 * s.MinorSteps;
    std::int64_t error = twoMinor - s.Steps;
    StoreColour(pixel, colour);
    // A dotted line plots every second step: two steps per plotted pixel.
    constexpr int kStride = Dotted ? 2 : 1;
    for (std::int64_t left = s.Steps / kStride; left > 0; --left) {
        for (int i = 0; i < kStride; ++i) {
            if (error >= 0) {
                pixel += minorStep;
                error -= twoSteps;
            }
            pixel += majorStep;
            error += twoMinor;
        }
        StoreColour(pixel, colour);
    }
}

// The range lo <= v < hi of one axis of the clip.
struct Span {
    std::int64_t Lo;
    std::int64_t Hi;
    std::int64_t Origin; // the coordinate of the canvas's first pixel
};

// A line that may leave the clip. Only the steps whose major coordinate
// lies inside are walked, starting from the state the error term has there,
// and each of their pixels is tested on the minor axis.
//
// `major`/`minor` are the start coordinates along the two axes, `majorSign`,
// `minorSign` the directions, `majorSpan`, `minorSpan` the clip along each,
// and `majorBytes`, `minorBytes` what one pixel along each axis is in the
// canvas.
template <bool Dotted>
void StepClipped(std::uint8_t* pixels, std::int64_t major, std::int64_t minor, int majorSign, int minorSign,
                 Span majorSpan, Span minorSpan, std::ptrdiff_t majorBytes, std::ptrdiff_t minorBytes, Stepping s,
                 Colour colour) noexcept
{
    // Steps k with majorSpan.Lo <= major + majorSign * k < majorSpan.Hi.
    std::int64_t first = majorSign > 0 ? majorSpan.Lo - major : major - (majorSpan.Hi - 1);
    std::int64_t last = majorSign > 0 ? majorSpan.Hi - 1 - major : major - majorSpan.Lo;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, s.Steps);
    if (Dotted) first += first & 1; // dotted lines plot the even steps only
    if (first > last) return;

    // With a = Steps and b = MinorSteps, after k steps the line has moved
    // m = floor((2b k + a) / 2a) times along the minor axis, and the error
    // term stands at 2b (k + 1) - a - 2a m.
    const Wide a = s.Steps;
    const Wide b = s.MinorSteps;
    const auto moved = static_cast<std::int64_t>((2 * b * first + a) / (2 * a));
    std::int64_t error = static_cast<std::int64_t>(2 * b * (first + 1) - a - 2 * a * moved);
    const std::int64_t twoSteps = 2 * s.Steps;
    const std::int64_t twoMinor = 2 * s.MinorSteps;

    std::int64_t m = major + majorSign * first;
    std::int64_t n = minor + minorSign * moved;
    constexpr int kStride = Dotted ? 2 : 1;
    for (std::int64_t k = first;;) {
        if (n >= minorSpan.Lo && n < minorSpan.Hi)
            StoreColour(pixels + (m - majorSpan.Origin) * majorBytes + (n - minorSpan.Origin) * minorBytes, colour);
        if (last - k < kStride) return;
        for (int i = 0; i < kStride; ++i) {
            if (error >= 0) {
                n += minorSign;
                error -= twoSteps;
            }
            m += majorSign;
            error += twoMinor;
        }
        k += kStride;
    }
}

int Sign(std::int64_t v) noexcept
{
    return (v > 0) - (v < 0);
}

template <bool Dotted>
void Draw(const ViewCanvas& view, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
          Colour colour) noexcept
{
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    const int sx = Sign(dx);
    const int sy = Sign(dy);
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx > ady;
    const Stepping s = xMajor ? Stepping{adx, ady} : Stepping{ady, adx};
    const std::ptrdiff_t right = 3;
    const std::ptrdiff_t down = view.Stride;

    if (view.Contains(x0, y0) && view.Contains(x1, y1)) {
        std::uint8_t* start = view.At(static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0));
        if (xMajor)
            StepInside<Dotted>(start, sx * right, sy * down, s, colour);
        else
            StepInside<Dotted>(start, sy * down, sx * right, s, colour);
        return;
    }
    // The line's pixels lie within the rectangle of its ends.
    const PixelRect& clip = view.Clip;
    if (std::max(x0, x1) < clip.X0 || std::min(x0, x1) >= clip.X1 || std::max(y0, y1) < clip.Y0 ||
        std::min(y0, y1) >= clip.Y1)
        return;
    // A single point was drawn or refused above, so Steps > 0 here.
    const Span across{clip.X0, clip.X1, view.OriginX};
    const Span along{clip.Y0, clip.Y1, view.OriginY};
    if (xMajor)
        StepClipped<Dotted>(view.Pixels, x0, y0, sx, sy, across, along, right, down, s, colour);
    else
        StepClipped<Dotted>(view.Pixels, y0, x0, sy, sx, along, across, down, right, s, colour);
}

} // namespace

void DrawLine(const ViewCanvas& view, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, bool dotted,
              Colour colour) noexcept
{
    if (view.Empty()) return;
    if (dotted)
        Draw<true>(view, x0, y0, x1, y1, colour);
    else
        Draw<false>(view, x0, y0, x1, y1, colour);
}

} // namespace plexor
