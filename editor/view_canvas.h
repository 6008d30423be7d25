#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/deform_model.h"

namespace plexor {

// Where the overlay is drawn: the pixels of the view buffer with the
// picture's width and height. Empty (no pixels) while there is no picture, or
// one of no pixels.
struct ViewCanvas {
    std::uint8_t* Pixels = nullptr;
    std::int32_t Width = 0;
    std::int32_t Height = 0;

    static ViewCanvas Of(DeformModel& model) noexcept;

    bool Empty() const noexcept { return Pixels == nullptr; }
    bool Contains(std::int64_t x, std::int64_t y) const noexcept
    {
        return static_cast<std::uint64_t>(x) < static_cast<std::uint64_t>(Width) &&
               static_cast<std::uint64_t>(y) < static_cast<std::uint64_t>(Height);
    }
    // Bytes from one pixel to the next one down.
    std::ptrdiff_t RowBytes() const noexcept { return std::ptrdiff_t{3} * Width; }
    // The first byte of pixel (x, y); the position must lie inside.
    std::uint8_t* At(std::int32_t x, std::int32_t y) const noexcept
    {
        return Pixels + 3 * (static_cast<std::ptrdiff_t>(y) * Width + x);
    }
};

} // namespace plexor
