#include "editor/draw_marker.h"

#include <algorithm>

#include "editor/put_pixel.h"

namespace plexor {

void drawMarker(const ViewCanvas& view, std::int32_t x, std::int32_t y, Colour colour) noexcept
{
    if (view.empty()) return;
    constexpr std::int64_t kSide = 4;
    std::int64_t left = std::int64_t{x} - 1;
    std::int64_t top = std::int64_t{y} - 1;
    std::int64_t width = kSide;
    std::int64_t height = kSide;
    if (left < 0) left = 0;
    if (left + kSide >= view.width) width = view.width - 1 - left;
    if (top < 0) top = 0;
    if (top + kSide >= view.height) height = view.height - 1 - top;
    if (width < 1) width = 1;
    if (height <= 0) return;

    // The square as the picture's edges cut it, then as the clip cuts it.
    const auto firstColumn = static_cast<std::int32_t>(std::max<std::int64_t>(left, view.clip.x0));
    const auto endColumn = static_cast<std::int32_t>(std::min<std::int64_t>(left + width, view.clip.x1));
    const auto firstRow = static_cast<std::int32_t>(std::max<std::int64_t>(top, view.clip.y0));
    const auto endRow = static_cast<std::int32_t>(std::min<std::int64_t>(top + height, view.clip.y1));
    for (std::int32_t row = firstRow; row < endRow; ++row)
        for (std::int32_t column = firstColumn; column < endColumn; ++column) putPixel(view, column, row, colour);
}

} // namespace plexor
