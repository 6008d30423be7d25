#pragma once

#include <cstdint>

#include "app/shell_ports.h"

namespace plexor {

// Fits and centres the main window around a picture of width x height, where
// it fits on the screen: across when the tool panel and the picture are
// narrower than the screen, down when the picture and the window's frame are
// lower than it; each independently of the other. The client area gets 4
// pixels more each way, for the scroll area's border. Halving truncates
// toward zero, so a window wider than the screen may start left of it.
void FitWindowToPicture(WindowFrame& frame, std::int32_t width, std::int32_t height);

} // namespace plexor
