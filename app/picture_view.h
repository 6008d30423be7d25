#pragma once

#include <cstdint>
#include <span>

#include "editor/zoom.h"
#include "engine/pixel_rect.h"

namespace plexor {

class Bitmap;
class ReducedView;

// How the screen shows the bitmap's pixels: in the colour space of their
// ICC profile (none: sRGB), and over a light checkerboard where an alpha
// plane (a byte a pixel, rows top to bottom; nullptr: opaque) makes them
// transparent.
struct ScreenLook {
    std::span<const std::uint8_t> iccProfile;
    const std::uint8_t* alpha = nullptr;
};

// The picture view in its scroll box. It shows the screen bitmap at the
// zoom the commands set: at full size exactly, enlarged with each pixel a
// square, reduced from the commands' reduced view. Screen positions count
// from the shown picture's top-left corner. UI thread only.
class PictureView {
public:
    virtual ~PictureView() = default;
    // The view now shows `bitmap` as `look` says (both stay alive and in
    // place until the next call), at full size until setZoom says otherwise.
    virtual void showBitmap(const Bitmap& bitmap, const ScreenLook& look) = 0;
    // The view now shows the bitmap at `zoom`, or `reduced` (which stays
    // alive until the next call) when the zoom reduces the picture; it takes
    // the size of the picture at that zoom.
    virtual void setZoom(Zoom zoom, const ReducedView* reduced) = 0;
    // Repaints these screen pixels at once, not later: what they show has
    // changed.
    virtual void repaintNow(const PixelRect& screen) = 0;
    // The part of the shown picture the scroll box shows, and the size of its
    // viewport, which may be larger than the picture.
    virtual PixelRect visible() const = 0;
    virtual std::int32_t viewportWidth() const = 0;
    virtual std::int32_t viewportHeight() const = 0;
    // Scrolls so that screen position (x, y) is at the viewport's top-left
    // corner, as far as the scroll box goes.
    virtual void scrollTo(std::int64_t x, std::int64_t y) = 0;
};

} // namespace plexor
