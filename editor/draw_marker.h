#pragma once

#include <cstdint>

#include "editor/view_canvas.h"
#include "platform/colour.h"

namespace plexor {

// Fills the 4 x 4 marker square of position (x, y): columns x - 1 to x + 2,
// rows y - 1 to y + 2, so the position is its second pixel from the left and
// from the top.
//
// At the left and top edges the square is shifted inwards, not cut. At the
// right and bottom edges it is cut to stop one pixel short of the last column
// (row): a square reaching the last column keeps 3 columns, a marker at
// x = width is a one-pixel strip in the last column, a marker at y = height
// draws nothing. Each drawn row has at least one pixel. Nothing is written
// outside the canvas's clip, even for positions beyond these.
void drawMarker(const ViewCanvas& view, std::int32_t x, std::int32_t y, Colour colour) noexcept;

} // namespace plexor
