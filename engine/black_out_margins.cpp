#include <algorithm>
#include <cstring>

#include "engine/deform_model.h"

namespace plexor {
namespace {

// Paints black the pixels x0 <= x < x1, y0 <= y < y1 of a buffer, clipped to
// the picture.
void FillBlack(PixelBuffer& image, std::int32_t width, std::int32_t height, std::int32_t x0, std::int32_t x1,
               std::int32_t y0, std::int32_t y1)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width);
    y1 = std::min(y1, height);
    if (x0 >= x1 || y0 >= y1) return;
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
    const std::int32_t right = MarginX + CellCols * GridStepX;  // x of the last point column
    const std::int32_t bottom = MarginY + CellRows * GridStepY; // y of the last point row
    const std::int32_t w = ImageWidth;
    const std::int32_t h = ImageHeight;
    FillBlack(WorkImage, w, h, 0, w, 0, MarginY);
    FillBlack(WorkImage, w, h, 0, w, bottom, bottom + MarginY);
    FillBlack(WorkImage, w, h, 0, MarginX, MarginY, bottom);
    FillBlack(WorkImage, w, h, right, right + MarginX, MarginY, bottom);
}

} // namespace plexor
