#pragma once

#include "platform/colour.h"

namespace plexor {

// The colours of the overlay drawn over the view.

// A grid segment with a picked end point: red.
inline constexpr Colour kPickedSegmentColour{0, 0, 255};
// Any other grid segment: dark yellow.
inline constexpr Colour kSegmentColour{0, 200, 200};
// The vector from a point's grid position to its displaced position: green.
inline constexpr Colour kVectorColour{0, 255, 0};
// The marker of the picked point: red.
inline constexpr Colour kPickedMarkerColour{0, 0, 255};
// The marker of any other point: yellow.
inline constexpr Colour kMarkerColour{0, 255, 255};
// The marker of a point chosen to move with others, and the rectangle that
// chooses points: magenta.
inline constexpr Colour kSelectionColour{255, 0, 255};

} // namespace plexor
