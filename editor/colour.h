#pragma once

#include <cstdint>

namespace plexor {

// A colour as its three bytes are written into a pixel buffer: blue, green,
// red.
struct Colour {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;

    friend bool operator==(const Colour&, const Colour&) = default;
};

} // namespace plexor
