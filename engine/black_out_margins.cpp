#include <cassert>
#include <cstring>

#include "engine/deform_model.h"

namespace plexor {
namespace {

// Paints black the pixels x0 <= x < x1, y0 <= y < y1 of a buffer. A grid
// built for the picture keeps every band inside it: a margin is half of what
// the whole steps leave over, rounded down.
void FillBlack(PixelBuffer& image, std::int32_t width, [[maybe_unused]] std::int32_t height, std::int32_t x0,
               std::int32_t x1, std::int32_t y0, std::int32_t y1)
{
    assert(0 <= x0 && x0 <= x1 && x1 <= width && 0 <= y0 && y0 <= y1 && y1 <= height);
    if (x0 == x1) return;
    const std::size_t rowBytes = static_cast<std::size_t>(x1 - x0) * 3;
    for (std::int32_t y = y0; y < y1; ++y) {
        const std::size_t offset =
            (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x0)) * 3;
        std::memset(image.data() + offset, 0, rowBytes);
    }
}

} // namespace

void DeformModel::BlackOutMargins()
{
    if (WorkImage.empty()) return;
    WorkerHold hold(Gate);
    Changes.MarkAll();
    const GridGeometry& g = grid_;
    const std::int32_t w = ImageWidth;
    const std::int32_t h = ImageHeight;
    FillBlack(WorkImage, w, h, 0, w, 0, g.MarginY);
    FillBlack(WorkImage, w, h, 0, w, g.Bottom(), g.Bottom() + g.MarginY);
    FillBlack(WorkImage, w, h, 0, g.MarginX, g.MarginY, g.Bottom());
    FillBlack(WorkImage, w, h, g.Right(), g.Right() + g.MarginX, g.MarginY, g.Bottom());
}

} // namespace plexor
