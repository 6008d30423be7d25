#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/pixel_rect.h"
#include "platform/byte_buffer.h"

namespace plexor {

// The byte at which pixel (x, y) of a plane `width` pixels wide, `bytes` a
// pixel, begins.
inline std::size_t planeOffset(std::size_t bytes, std::int32_t width, std::int32_t x, std::int32_t y) noexcept
{
    return bytes * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x));
}

// Copies the pixels of `rect`, which lies inside the picture, from one plane
// into another of the same picture.
inline void copyRect(const ByteBuffer& from, ByteBuffer& to, std::size_t bytes, std::int32_t width,
                     const PixelRect& rect) noexcept
{
    if (rect.empty()) return;
    const std::size_t rowBytes = bytes * static_cast<std::size_t>(rect.x1 - rect.x0);
    for (std::int32_t y = rect.y0; y < rect.y1; ++y) {
        const std::size_t at = planeOffset(bytes, width, rect.x0, y);
        std::memcpy(to.data() + at, from.data() + at, rowBytes);
    }
}

// Sets every byte of the pixels of `rect`, which lies inside the picture, to
// zero.
inline void clearRect(ByteBuffer& plane, std::size_t bytes, std::int32_t width, const PixelRect& rect) noexcept
{
    if (rect.empty()) return;
    const std::size_t rowBytes = bytes * static_cast<std::size_t>(rect.x1 - rect.x0);
    for (std::int32_t y = rect.y0; y < rect.y1; ++y)
        std::memset(plane.data() + planeOffset(bytes, width, rect.x0, y), 0, rowBytes);
}

} // namespace plexor
