#pragma once

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
// Does nothing without a picture or a grid. Writes nothing outside the view:
// segments along a last point column or row that lies one past the picture
// draw only their pixels inside. Allocates nothing.
void DrawOverlay(DeformModel& model) noexcept;

} // namespace plexor
