#include "editor/draw_line.h"

#include <algorithm>
#include <cstddef>

#include "editor/put_pixel.h"

namespace plexor {
namespace {

__extension__ using Wide = __int128;

// A line seen along its longer ("major") axis: it takes `Steps` steps of one
// pixel along that axis, and `minorSteps` of them also move one pixel along
// the other axis. Steps >= minorSteps.
struct Stepping {
    std::int64_t steps;
    std::int64_t minorSteps;
};

// One step along the major axis moves along the minor one too when the
// error term has reached zero; the term then follows the step.
inline bool takesMinorStep(std::int64_t& error, std::int64_t twoSteps, std::int64_t twoMinor) noexcept
{
    const bool minor = error >= 0;
    if (minor) error -= twoSteps;
    error += twoMinor;
    return minor;
}

// Both ends inside the clip, so every pixel is: no test per pixel. `pixel`
// is the start; the steps are byte offsets in the view.
template <bool dotted>
void stepInside(std::uint8_t* pixel, std::ptrdiff_t majorStep, std::ptrdiff_t minorStep, Stepping s,
                Colour colour) noexcept
{
    const std::int64_t twoSteps = 2 * s.steps;
    const std::int64_t twoMinor = 2 * s.minorSteps;
    std::int64_t error = twoMinor - s.steps;
    storeColour(pixel, colour);
    // A dotted line plots every second step: two steps per plotted pixel.
    constexpr int kStride = dotted ? 2 : 1;
    for (std::int64_t left = s.steps / kStride; left > 0; --left) {
        for (int i = 0; i < kStride; ++i) {
            if (takesMinorStep(error, twoSteps, twoMinor)) pixel += minorStep;
            pixel += majorStep;
        }
        storeColour(pixel, colour);
    }
}

// The range lo <= v < hi of one axis of the clip.
struct Span {
    std::int64_t lo;
    std::int64_t hi;
    std::int64_t origin; // the coordinate of the canvas's first pixel
};

// A line that may leave the clip. Only the steps whose major coordinate
// lies inside are walked, starting from the state the error term has there,
// and each of their pixels is tested on the minor axis.
//
// `major`/`minor` are the start coordinates along the two axes, `majorSign`,
// `minorSign` the directions, `majorSpan`, `minorSpan` the clip along each,
// and `majorBytes`, `minorBytes` what one pixel along each axis is in the
// canvas.
template <bool dotted>
void stepClipped(std::uint8_t* pixels, std::int64_t major, std::int64_t minor, int majorSign, int minorSign,
                 Span majorSpan, Span minorSpan, std::ptrdiff_t majorBytes, std::ptrdiff_t minorBytes, Stepping s,
                 Colour colour) noexcept
{
    // Steps k with majorSpan.Lo <= major + majorSign * k < majorSpan.Hi.
    std::int64_t first = majorSign > 0 ? majorSpan.lo - major : major - (majorSpan.hi - 1);
    std::int64_t last = majorSign > 0 ? majorSpan.hi - 1 - major : major - majorSpan.lo;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, s.steps);
    if (dotted) first += first & 1; // dotted lines plot the even steps only
    if (first > last) return;

    // With a = Steps and b = minorSteps, after k steps the line has moved
    // m = floor((2b k + a) / 2a) times along the minor axis, and the error
    // term stands at 2b (k + 1) - a - 2a m.
    const Wide a = s.steps;
    const Wide b = s.minorSteps;
    const auto moved = static_cast<std::int64_t>((2 * b * first + a) / (2 * a));
    std::int64_t error = static_cast<std::int64_t>(2 * b * (first + 1) - a - 2 * a * moved);
    const std::int64_t twoSteps = 2 * s.steps;
    const std::int64_t twoMinor = 2 * s.minorSteps;

    std::int64_t m = major + majorSign * first;
    std::int64_t n = minor + minorSign * moved;
    constexpr int kStride = dotted ? 2 : 1;
    for (std::int64_t k = first;;) {
        if (n >= minorSpan.lo && n < minorSpan.hi)
            storeColour(pixels + (m - majorSpan.origin) * majorBytes + (n - minorSpan.origin) * minorBytes, colour);
        if (last - k < kStride) return;
        for (int i = 0; i < kStride; ++i) {
            if (takesMinorStep(error, twoSteps, twoMinor)) n += minorSign;
            m += majorSign;
        }
        k += kStride;
    }
}

int sign(std::int64_t v) noexcept
{
    return (v > 0) - (v < 0);
}

template <bool dotted>
void draw(const ViewCanvas& view, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
          Colour colour) noexcept
{
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    const int sx = sign(dx);
    const int sy = sign(dy);
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx > ady;
    const Stepping s = xMajor ? Stepping{adx, ady} : Stepping{ady, adx};
    const std::ptrdiff_t right = 3;
    const std::ptrdiff_t down = view.stride;

    if (view.contains(x0, y0) && view.contains(x1, y1)) {
        std::uint8_t* start = view.at(static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0));
        if (xMajor)
            stepInside<dotted>(start, sx * right, sy * down, s, colour);
        else
            stepInside<dotted>(start, sy * down, sx * right, s, colour);
        return;
    }
    // The line's pixels lie within the rectangle of its ends.
    const PixelRect& clip = view.clip;
    if (std::max(x0, x1) < clip.x0 || std::min(x0, x1) >= clip.x1 || std::max(y0, y1) < clip.y0 ||
        std::min(y0, y1) >= clip.y1)
        return;
    // A single point was drawn or refused above, so Steps > 0 here.
    const Span across{clip.x0, clip.x1, view.originX};
    const Span along{clip.y0, clip.y1, view.originY};
    if (xMajor)
        stepClipped<dotted>(view.pixels, x0, y0, sx, sy, across, along, right, down, s, colour);
    else
        stepClipped<dotted>(view.pixels, y0, x0, sy, sx, along, across, down, right, s, colour);
}

} // namespace

void drawLine(const ViewCanvas& view, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, bool dotted,
              Colour colour) noexcept
{
    if (view.empty()) return;
    if (dotted)
        draw<true>(view, x0, y0, x1, y1, colour);
    else
        draw<false>(view, x0, y0, x1, y1, colour);
}

} // namespace plexor
