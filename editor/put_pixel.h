#pragma once

#include <cstdint>

#include "editor/view_canvas.h"
#include "platform/colour.h"

namespace plexor {

// Writes one pixel's three bytes.
inline void storeColour(std::uint8_t* pixel, Colour colour) noexcept
{
    pixel[0] = colour.blue;
    pixel[1] = colour.green;
    pixel[2] = colour.red;
}

// Writes pixel (x, y) of the view. No clipping: the position must lie inside
// the canvas's clip.
inline void putPixel(const ViewCanvas& view, std::int32_t x, std::int32_t y, Colour colour) noexcept
{
    storeColour(view.at(x, y), colour);
}

} // namespace plexor
