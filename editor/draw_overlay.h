#pragma once

#include <cstdint>

#include "editor/view_canvas.h"

#include "engine/deform_model.h"

namespace plexor {

// Draws the displaced control grid into ViewImage, in four layers, each over
// the ones before: the dotted horizontal segments between neighbouring points
// (rows top to bottom, each left to right), the dotted vertical segments
// (columns left to right, each top to bottom), the solid vector of every
// displaced point from its grid position, and a marker on every point. A
// segment is red when either end point is picked, dark yellow otherwise; a
// picked point's marker is red, the others yellow. Each segment runs from the
// point with the lower column (row) to the other. The outer ring of points
// takes part.
//
// Does nothing without a picture, a grid or a view buffer. Writes nothing
// outside the view, also for a grid laid over another picture. Allocates
// nothing.
void DrawOverlay(DeformModel& model) noexcept;

// How far any point's grid or displaced y lies from the y of its row's first
// point: the rows an overlay element of a point row can reach.
std::int64_t OverlayReach(const DeformModel& model) noexcept;

// The overlay's pixels in one band of rows of the view (`band`, made with
// ViewCanvas::Band), exactly as DrawOverlay draws them there. `reach` is
// OverlayReach(model). Drawing band after band while each is still in the
// cache is much cheaper than crossing the whole picture for every column.
void DrawOverlayBand(DeformModel& model, const ViewCanvas& band, std::int64_t reach) noexcept;

} // namespace plexor
