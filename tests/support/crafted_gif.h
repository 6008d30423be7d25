#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/colours.h"

namespace plexor::test {

// A GIF file of one frame, written without compression: codes of one byte,
// the table cleared before it grows. `pixels` holds indices into `palette`
// (at most 128 colours), row by row from the top.
std::vector<std::uint8_t> craftedGif(std::int32_t width, std::int32_t height, const std::vector<Rgb>& palette,
                                     const std::vector<std::uint8_t>& pixels);

} // namespace plexor::test
