#include "editor/view_canvas.h"

namespace plexor {

ViewCanvas ViewCanvas::Of(DeformModel& model) noexcept
{
    ViewCanvas canvas;
    if (model.ViewImage.empty() || model.ImageWidth <= 0 || model.ImageHeight <= 0) return canvas;
    const std::uint64_t bytes =
        std::uint64_t{3} * static_cast<std::uint64_t>(model.ImageWidth) * static_cast<std::uint64_t>(model.ImageHeight);
    if (bytes > model.ViewImage.size()) return canvas;
    canvas.Pixels = model.ViewImage.data();
    canvas.Width = model.ImageWidth;
    canvas.Height = model.ImageHeight;
    return canvas;
}

} // namespace plexor
