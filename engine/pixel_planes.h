#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/byte_buffer.h"

namespace plexor {

// One picture's pixels: its colours, 3 bytes a pixel (blue, green, red),
// rows top to bottom with no gap, pixel (x, y) at x + y * width; and its
// alpha beside them, a byte a pixel in the same order (255 opaque), empty
// for an opaque picture. Each plane holds width * height + 3 pixels: the
// last three belong to no row.
struct PixelPlanes {
    ByteBuffer colours;
    ByteBuffer alpha;

    bool empty() const noexcept { return colours.empty(); }
    void release() noexcept
    {
        colours.release();
        alpha.release();
    }
};

} // namespace plexor
