#pragma once

#include <cstdint>

#include "editor/view_canvas.h"
#include "platform/colour.h"

namespace plexor {

// Draws the line from (x0, y0) to (x1, y1), both ends included, with one
// integer error term. The line steps along x when |dx| > |dy| and along y
// otherwise (equal extents and a single point included); an error term of
// exactly 0 moves it along the other axis too. A solid line plots every step,
// max(|dx|, |dy|) + 1 pixels; a dotted one the steps 0, 2, 4, ... from its
// start. Which pixels are plotted depends on the direction.
//
// Nothing is written outside the canvas's clip: of a line that leaves it only
// the pixels inside are drawn, each where the whole line puts it. An empty
// canvas draws nothing.
void drawLine(const ViewCanvas& view, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, bool dotted,
              Colour colour) noexcept;

} // namespace plexor
