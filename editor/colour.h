#pragma once

#include <cstdint>

namespace plexor {

// A colour as its three bytes are written into a pixel buffer: blue, green,
// red.
struct Colour {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;

    friend bool operator==(const Colour&, const Colour&) = default;
};

} // namespace plexor
