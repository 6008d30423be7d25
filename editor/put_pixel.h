#pragma once

#include <cstdint>

#include "editor/colour.h"
#include "editor/view_canvas.h"

namespace plexor {

// Writes one pixel's three bytes.
inline void StoreColour(std::uint8_t* pixel, Colour colour) noexcept
{
    pixel[0] = colour.Blue;
    pixel[1] = colour.Green;
    pixel[2] = colour.Red;
}

// Writes pixel (x, y) of the view. No clipping: the position must lie inside
// the canvas's clip.
inline void PutPixel(const ViewCanvas& view, std::int32_t x, std::int32_t y, Colour colour) noexcept
{
    StoreColour(view.At(x, y), colour);
}

} // namespace plexor
