#include <cassert>
#include <cstring>

#include "engine/deform_model.h"

namespace plexor {
namespace {

// Paints black the pixels x0 <= x < x1, y0 <= y < y1 of a buffer. A grid
// built for the picture keeps every band inside it: a margin is half of what
// the whole steps leave over, rounded down.
void fillBlack(PixelBuffer& image, std::int32_t width, [[maybe_unused]] std::int32_t height, std::int32_t x0,
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

void DeformModel::blackOutMargins()
{
    if (workImage.empty()) return;
    WorkerHold hold(gate);
    changes.markAll();
    const GridGeometry& g = grid_;
    const std::int32_t w = imageWidth;
    const std::int32_t h = imageHeight;
    fillBlack(workImage, w, h, 0, w, 0, g.marginY);
    fillBlack(workImage, w, h, 0, w, g.bottom(), g.bottom() + g.marginY);
    fillBlack(workImage, w, h, 0, g.marginX, g.marginY, g.bottom());
    fillBlack(workImage, w, h, g.right(), g.right() + g.marginX, g.marginY, g.bottom());
}

} // namespace plexor
