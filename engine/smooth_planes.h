#pragma once

#include <cstdint>

namespace plexor {

// The planes a smooth deformation reads and writes, pixel (x, y) at x + y *
// width in each. Colour planes hold 3 bytes a pixel (blue, green, red),
// alpha planes a byte a pixel (255 opaque). A deep picture holds 16 bits a
// channel as two planes: the high bytes where an 8-bit picture holds its
// only ones, the low bytes in a plane of the same layout beside them.
struct SmoothPlanes {
    const std::uint8_t* source = nullptr;
    const std::uint8_t* sourceAlpha = nullptr;    // nullptr: an opaque picture
    const std::uint8_t* sourceLow = nullptr;      // nullptr: 8 bits a channel
    const std::uint8_t* sourceAlphaLow = nullptr; // nullptr: alpha of 8 bits, or none
    std::uint8_t* work = nullptr;                 // written; the same layouts as the source's
    std::uint8_t* workAlpha = nullptr;            // set exactly where sourceAlpha is
    std::uint8_t* workLow = nullptr;              // set exactly where sourceLow is
    std::uint8_t* workAlphaLow = nullptr;         // set exactly where sourceAlphaLow is
    std::int32_t width = 0, height = 0;           // the picture; width a multiple of 4
};

} // namespace plexor
