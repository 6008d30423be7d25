#include "editor/view_canvas.h"

namespace plexor {

ViewCanvas ViewCanvas::of(PictureBuffers& picture, const PixelRect& clip) noexcept
{
    ViewCanvas canvas;
    if (!picture.hasPicture()) return canvas;
    canvas.pixels = picture.viewToDraw().colours.data();
    canvas.stride = std::ptrdiff_t{3} * picture.width();
    canvas.width = picture.width();
    canvas.height = picture.height();
    canvas.clip = clip.intersection(PixelRect{0, 0, picture.width(), picture.height()});
    return canvas;
}

ViewCanvas ViewCanvas::of(PictureBuffers& picture) noexcept
{
    return of(picture, PixelRect{0, 0, picture.width(), picture.height()});
}

} // namespace plexor
