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

bool Less(Zoom a, Zoom b) noexcept
{
    return a.Num * b.Den < b.Num * a.Den;
}

Zoom Reduced(std::int64_t num, std::int64_t den) noexcept
{
    const std::int64_t g = std::gcd(num, den);
    return {num / g, den / g};
}

} // namespace

Zoom NextZoomIn(Zoom zoom) noexcept
{
    for (const Zoom& step : kLadder)
        if (Less(zoom, step)) return step;
    return kLadder.back();
}

Zoom NextZoomOut(Zoom zoom) noexcept
{
    for (auto step = kLadder.rbegin(); step != kLadder.rend(); ++step)
        if (Less(*step, zoom)) return *step;
    return kLadder.front();
}

Zoom FitZoom(std::int32_t width, std::int32_t height, std::int32_t viewWidth, std::int32_t viewHeight) noexcept
{
    if (width <= 0 || height <= 0 || viewWidth <= 0 || viewHeight <= 0) return Zoom::Actual();
    // The smaller of viewWidth / width and viewHeight / height.
    Zoom fit = std::int64_t{viewWidth} * height <= std::int64_t{viewHeight} * width ? Reduced(viewWidth, width)
                                                                                    : Reduced(viewHeight, height);
    if (!fit.Reduces()) fit = {std::min<std::int64_t>(fit.Num / fit.Den, 16), 1};
    if (Less(fit, kLadder.front())) fit = kLadder.front();
    return fit;
}

std::int64_t ScrollKeeping(std::int64_t scroll, std::int64_t pointer, Zoom before, Zoom after) noexcept
{
    // The picture position under the pointer, in units of 1 / before.Num
    // picture pixels, shown after at the same place in the viewport.
    const std::int64_t shown = scroll + pointer;
    return Zoom::FloorDiv(shown * before.Den * after.Num, before.Num * after.Den) - pointer;
}

} // namespace plexor
