#include "editor/view_canvas.h"

namespace plexor {

ViewCanvas ViewCanvas::of(DeformModel& model, const PixelRect& clip) noexcept
{
    ViewCanvas canvas;
    if (!model.imageLoaded()) return canvas;
    canvas.pixels = model.viewImage().data();
    canvas.stride = std::ptrdiff_t{3} * model.imageWidth();
    canvas.width = model.imageWidth();
    canvas.height = model.imageHeight();
    canvas.clip = clip.intersection(PixelRect{0, 0, model.imageWidth(), model.imageHeight()});
    return canvas;
}

ViewCanvas ViewCanvas::of(DeformModel& model) noexcept
{
    return of(model, PixelRect{0, 0, model.imageWidth(), model.imageHeight()});
}

} // namespace plexor
