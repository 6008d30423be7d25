#include "editor/view_canvas.h"

namespace plexor {

ViewCanvas ViewCanvas::Of(DeformModel& model) noexcept
{
    ViewCanvas canvas;
    if (!model.ImageLoaded || model.ImageWidth == 0 || model.ImageHeight == 0) return canvas;
    canvas.Pixels = model.ViewImage.data();
    canvas.Width = model.ImageWidth;
    canvas.Height = model.ImageHeight;
    return canvas;
}

} // namespace plexor
