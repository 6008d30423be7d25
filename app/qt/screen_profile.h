#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "editor/screen_colours.h"

namespace plexor {

// The screen's colours for a picture tagged with `iccProfile`, sampled from
// Qt's transform to sRGB at every point of ScreenColours' grid; none when
// there is no profile, when Qt cannot read it, or when it is sRGB itself.
std::vector<ScreenColours::Sample> screenSamples(std::span<const std::uint8_t> iccProfile);

} // namespace plexor
