#include "editor/draw_marker.h"

#include "editor/put_pixel.h"

namespace plexor {

void DrawMarker(const ViewCanvas& view, std::int32_t x, std::int32_t y, Colour colour) noexcept
{
    if (view.Empty()) return;
    constexpr std::int64_t kSide = 4;
    std::int64_t left = std::int64_t{x} - 1;
    std::int64_t top = std::int64_t{y} - 1;
    std::int64_t width = kSide;
    std::int64_t height = kSide;
    if (left < 0) left = 0;
    if (left + kSide >= view.Width) width = view.Width - 1 - left;
    if (top < 0) top = 0;
    if (top + kSide >= view.Height) height = view.Height - 1 - top;
    if (width < 1) width = 1;
    // Only a position beyond the last column could put the strip outside.
    if (left >= view.Width || height <= 0) return;

    const auto firstColumn = static_cast<std::int32_t>(left);
    const auto endColumn = static_cast<std::int32_t>(left + width);
    const auto firstRow = static_cast<std::int32_t>(top);
    const auto endRow = static_cast<std::int32_t>(top + height);
    for (std::int32_t row = firstRow; row < endRow; ++row)
        for (std::int32_t column = firstColumn; column < endColumn; ++column) PutPixel(view, column, row, colour);
}

} // namespace plexor
