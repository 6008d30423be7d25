#include "editor/zoom.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace plexor {
namespace {

constexpr std::array<Zoom, 15> kLadder{{{1, 16},
                                        {1, 12},
                                        {1, 8},
                                        {1, 6},
                                        {1, 4},
                                        {1, 3},
                                        {1, 2},
                                        {1, 1},
                                        {2, 1},
                                        {3, 1},
                                        {4, 1},
                                        {6, 1},
                                        {8, 1},
                                        {12, 1},
                                        {16, 1}}};

bool less(Zoom a, Zoom b) noexcept
{
    return a.num * b.den < b.num * a.den;
}

Zoom reduced(std::int64_t num, std::int64_t den) noexcept
{
    const std::int64_t g = std::gcd(num, den);
    return {num / g, den / g};
}

} // namespace

Zoom nextZoomIn(Zoom zoom) noexcept
{
    for (const Zoom& step : kLadder)
        if (less(zoom, step)) return step;
    return kLadder.back();
}

Zoom nextZoomOut(Zoom zoom) noexcept
{
    for (auto step = kLadder.rbegin(); step != kLadder.rend(); ++step)
        if (less(*step, zoom)) return *step;
    return kLadder.front();
}

Zoom fitZoom(std::int32_t width, std::int32_t height, std::int32_t viewWidth, std::int32_t viewHeight) noexcept
{
    if (width <= 0 || height <= 0 || viewWidth <= 0 || viewHeight <= 0) return Zoom::actual();
    // The smaller of viewWidth / width and viewHeight / height.
    Zoom fit = std::int64_t{viewWidth} * height <= std::int64_t{viewHeight} * width ? reduced(viewWidth, width)
                                                                                    : reduced(viewHeight, height);
    if (!fit.reduces()) fit = {std::min<std::int64_t>(fit.num / fit.den, 16), 1};
    if (less(fit, kLadder.front())) fit = kLadder.front();
    return fit;
}

std::int64_t scrollKeeping(std::int64_t scroll, std::int64_t pointer, Zoom before, Zoom after) noexcept
{
    // The picture position under the pointer, in units of 1 / before.Num
    // picture pixels, shown after at the same place in the viewport.
    const std::int64_t shown = scroll + pointer;
    return Zoom::floorDiv(shown * before.den * after.num, before.num * after.den) - pointer;
}

} // namespace plexor
