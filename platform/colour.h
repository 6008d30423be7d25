#pragma once

#include <cstdint>

namespace plexor {

// A colour in the order a pixel buffer and a bitmap's colour table hold its
// bytes: blue, green, red. A colour-table entry of a bitmap file has a
// fourth byte, which the program keeps as the file had it and writes back
// unchanged; it is 0 everywhere else.
struct Colour {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;

    friend bool operator==(const Colour&, const Colour&) = default;
};

} // namespace plexor
