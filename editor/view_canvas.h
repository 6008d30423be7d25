#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/picture_buffers.h"
#include "engine/pixel_rect.h"

namespace plexor {

// Where the overlay is drawn: 24-bit pixels of a picture `Width` x `Height`
// pixels large, or of a window of it. Only pixels inside `Clip` are ever
// written; the clip lies within the picture and within the memory the canvas
// covers. Empty (nothing drawn) without pixels or with an empty clip.
struct ViewCanvas {
    std::uint8_t* pixels = nullptr; // the canvas's first pixel: position (originX, originY)
    std::ptrdiff_t stride = 0;      // bytes from one row to the next
    std::int32_t originX = 0;
    std::int32_t originY = 0;
    std::int32_t width = 0; // the whole picture's extent: markers are cut at its edges
    std::int32_t height = 0;
    PixelRect clip;

    // The picture's view, clipped to `clip` within the picture; empty while
    // there is no picture.
    static ViewCanvas of(PictureBuffers& picture, const PixelRect& clip) noexcept;
    static ViewCanvas of(PictureBuffers& picture) noexcept;

    bool empty() const noexcept { return pixels == nullptr || clip.empty(); }
    bool contains(std::int64_t x, std::int64_t y) const noexcept
    {
        return x >= clip.x0 && x < clip.x1 && y >= clip.y0 && y < clip.y1;
    }
    // The first byte of pixel (x, y); the position must lie inside the clip.
    std::uint8_t* at(std::int32_t x, std::int32_t y) const noexcept
    {
        return pixels + static_cast<std::ptrdiff_t>(y - originY) * stride + std::ptrdiff_t{3} * (x - originX);
    }
};

} // namespace plexor
