#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/view_canvas.h"
#include "editor/zoom.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"
#include "engine/pixel_rect.h"

namespace plexor {

// The picture as shown reduced: each screen pixel the mean of the picture
// pixels it covers, taken from the view before the overlay is drawn there,
// with the overlay drawn over it at
// the screen's own resolution, so that its lines stay a pixel wide and its
// markers four. It holds only the window of the reduced picture that the
// screen shows, so it never costs more than a screen's worth of pixels.
//
// Screen positions count from the reduced picture's top-left corner. The
// caller keeps the worker off the work plane while a view reads it.
class ReducedView {
public:
    // Shows a width x height picture at `zoom`, which reduces it, through
    // `window`, a part of the reduced picture. Obtains memory only when the
    // window is larger than any before. Leaves the pixels to Render.
    void setWindow(Zoom zoom, const PixelRect& window, std::int32_t width, std::int32_t height);

    Zoom zoom() const noexcept { return zoom_; }
    const PixelRect& window() const noexcept { return window_; }
    // The window's pixels, 24 bits (blue, green, red), rows `stride()` bytes
    // apart, top row first.
    const std::uint8_t* pixels() const noexcept { return pixels_.data(); }
    std::ptrdiff_t stride() const noexcept { return stride_; }

    // The picture pixels the window's screen pixels cover: what a refresh
    // takes to show the whole window again.
    PixelRect shownPart() const noexcept;
    // What a change of the picture's pixels `changed` asks of this view: the
    // part of the picture to take again, grown to whole screen pixels and to
    // the room a marker drawn at screen size takes.
    PixelRect picturePartFor(const PixelRect& changed) const noexcept;
    // The screen pixels a part of the picture covers.
    PixelRect screenRectOf(const PixelRect& picture) const noexcept;
    // Averages the screen pixels of `screen` (clipped to the window) again
    // from the picture's view, where the pixels they cover are up to date and
    // without the overlay; a picture with alpha as it is shown over the
    // screen's checkerboard.
    void average(const PictureBuffers& picture, const PixelRect& screen) noexcept;
    // Draws the overlay into the screen pixels of `screen`.
    void drawOverlay(const ControlGrid& grid, const PixelRect& screen) noexcept;

private:
    void averageOverChecker(const PictureBuffers& picture, const PixelRect& area) noexcept;
    // Calls average(out, block, sx, sy) for each screen pixel (sx, sy) of
    // `area`, with where its colour goes and the picture pixels it covers.
    template <class Average>
    void forEachBlock(const PixelRect& area, Average&& average) noexcept;

    Zoom zoom_;
    PixelRect window_;
    std::int32_t pictureWidth_ = 0;
    std::int32_t pictureHeight_ = 0;
    std::ptrdiff_t stride_ = 0;
    std::vector<std::uint8_t> pixels_;
    // Where each screen column of the window starts in the picture, and one
    // past the last: column s covers picture columns starts[s] to starts[s + 1].
    std::vector<std::int32_t> columnStarts_;
};

} // namespace plexor
