#pragma once

#include <array>

#include "editor/view_canvas.h"
#include "editor/zoom.h"
#include "engine/control_grid.h"
#include "engine/picture_buffers.h"

namespace plexor {

// Draws the displaced control grid into the view, in four layers, each over
// the ones before: the dotted horizontal segments between neighbouring points
// (rows top to bottom, each left to right), the dotted vertical segments
// (columns left to right, each top to bottom), the solid vector of every
// displaced point from its grid position, and a marker on every point. A
// segment is red when either end point is picked, dark yellow otherwise; a
// picked point's marker is red, a selected one's magenta, the others yellow.
// Each segment runs from the point with the lower column (row) to the other.
// The outer ring of points takes part. Over them all, the outline of the
// selection's band, while one is drawn, in magenta.
//
// Does nothing without a picture (an empty canvas) or a grid. Writes nothing outside the
// canvas's clip: segments along a last point column or row that lies one past
// the picture draw only their pixels inside. Allocates nothing.
//
// Into the picture's view, whole.
void drawOverlay(const ControlGrid& grid, PictureBuffers& picture) noexcept;
// Into `view`, positions shown through `zoom`: the view or a part of it at
// full size, or a reduced view of the picture, where the lines and markers
// keep their size in its pixels. Only the elements that may reach the clip
// are drawn, each in the order of the whole overlay, so that the clip holds
// exactly what the whole overlay draws there.
void drawOverlay(const ControlGrid& grid, const ViewCanvas& view, Zoom zoom = Zoom::actual()) noexcept;

// The picture pixels the overlay's elements of point (col, row) cover as they
// stand: its segments to its four neighbours, its vector and its marker.
// What a change of the point's displacement or pick redraws lies within this
// before the change and within it after.
PixelRect pointOverlayBounds(const ControlGrid& grid, std::int32_t col, std::int32_t row) noexcept;
// The picture pixels the marker of point i covers as it stands: what a
// change of its colour redraws.
PixelRect pointMarkerBounds(const ControlGrid& grid, std::int32_t i) noexcept;
// The picture pixels the outline of `band` covers: its four edges.
std::array<PixelRect, 4> bandOutline(const PixelRect& band) noexcept;

} // namespace plexor
