#include "editor/view_canvas.h"

namespace plexor {

ViewCanvas ViewCanvas::Of(DeformModel& model, const PixelRect& clip) noexcept
{
    ViewCanvas canvas;
    if (!model.ImageLoaded) return canvas;
    canvas.Pixels = model.ViewImage.data();
    canvas.Stride = std::ptrdiff_t{3} * model.ImageWidth;
    canvas.Width = model.ImageWidth;
    canvas.Height = model.ImageHeight;
    canvas.Clip = clip.Intersection(PixelRect{0, 0, model.ImageWidth, model.ImageHeight});
    return canvas;
}

ViewCanvas ViewCanvas::Of(DeformModel& model) noexcept
{
    return Of(model, PixelRect{0, 0, model.ImageWidth, model.ImageHeight});
}

} // namespace plexor
