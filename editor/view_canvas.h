#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/deform_model.h"
#include "engine/pixel_rect.h"

namespace plexor {

// Where the overlay is drawn: 24-bit pixels of a picture `Width` x `Height`
// pixels large, or of a window of it. Only pixels inside `Clip` are ever
// written; the clip lies within the picture and within the memory the canvas
// covers. Empty (nothing drawn) without pixels or with an empty clip.
struct ViewCanvas {
    std::uint8_t* Pixels = nullptr; // the canvas's first pixel: position (OriginX, OriginY)
    std::ptrdiff_t Stride = 0;      // bytes from one row to the next
    std::int32_t OriginX = 0;
    std::int32_t OriginY = 0;
    std::int32_t Width = 0; // the whole picture's extent: markers are cut at its edges
    std::int32_t Height = 0;
    PixelRect Clip;

    // ViewImage, clipped to `clip` within the picture; empty while there is
    // no picture.
    static ViewCanvas Of(DeformModel& model, const PixelRect& clip) noexcept;
    static ViewCanvas Of(DeformModel& model) noexcept;

    bool Empty() const noexcept { return Pixels == nullptr || Clip.Empty(); }
    bool Contains(std::int64_t x, std::int64_t y) const noexcept
    {
        return x >= Clip.X0 && x < Clip.X1 && y >= Clip.Y0 && y < Clip.Y1;
    }
    // The first byte of pixel (x, y); the position must lie inside the clip.
    std::uint8_t* At(std::int32_t x, std::int32_t y) const noexcept
    {
        return Pixels + static_cast<std::ptrdiff_t>(y - OriginY) * Stride + std::ptrdiff_t{3} * (x - OriginX);
    }
};

} // namespace plexor
