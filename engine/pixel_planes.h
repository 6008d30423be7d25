#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/byte_buffer.h"

namespace plexor {

// One picture's pixels: its colours, 3 bytes a pixel (blue, green, red),
// rows top to bottom with no gap, pixel (x, y) at x + y * width; and its
// alpha beside them, a byte a pixel in the same order (255 opaque), empty
// for an opaque picture. A picture of 16 bits a channel keeps the high
// bytes there and the low bytes of its colours and alpha in `low` and
// `alphaLow`, laid out the same way; both empty at 8 bits. Each plane holds
// width * height + 3 pixels: the last three belong to no row.
struct PixelPlanes {
    ByteBuffer colours;
    ByteBuffer alpha;
    ByteBuffer low = {};
    ByteBuffer alphaLow = {};

    bool empty() const noexcept { return colours.empty(); }
    bool deep() const noexcept { return !low.empty(); } // low bytes beside the high ones
    void release() noexcept
    {
        colours.release();
        alpha.release();
        low.release();
        alphaLow.release();
    }
    // Calls visit(plane, bytes a pixel) for each of the four planes, held
    // or not, in the order above.
    template <class Planes, class Visit>
    static void forEach(Planes& planes, Visit&& visit)
    {
        visit(planes.colours, 3);
        visit(planes.alpha, 1);
        visit(planes.low, 3);
        visit(planes.alphaLow, 1);
    }
};

} // namespace plexor
