#pragma once

#include <cstdint>

#include "editor/zoom.h"
#include "engine/control_grid.h"

namespace plexor {

// The point a press at screen position (x, y) reaches when the picture is
// shown at `zoom`: the first interior point, rows top to bottom, each left
// to right, whose displaced position is shown within 4 screen pixels of it
// in x and in y; -1 when there is none, or no grid. The outer ring of points
// is never reached.
//
// pointUnder looks only at the points that a displacement of less than a
// step, as every drag and grid file keeps, can bring within reach, and finds
// what pointUnderLiteral finds by looking at every point.
std::int32_t pointUnder(const ControlGrid& grid, Zoom zoom, std::int64_t x, std::int64_t y) noexcept;
std::int32_t pointUnderLiteral(const ControlGrid& grid, Zoom zoom, std::int64_t x, std::int64_t y) noexcept;

} // namespace plexor
