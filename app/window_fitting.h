#pragma once

#include <cstdint>

#include "app/window_frame.h"

namespace plexor {

// Fits and centres the main window around a picture of width x height when
// it fits on the screen: the tool panel and the picture narrower than the
// screen, the picture and the window's frame lower than it. The contents get
// 4 pixels more each way, for the scroll area's border. Halving
// truncates toward zero, so a window wider than the screen may start left of
// it. A picture that does not fit gives the window the whole usable area of
// the screen.
void fitWindowToPicture(WindowFrame& frame, std::int32_t width, std::int32_t height);

} // namespace plexor
