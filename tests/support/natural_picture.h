#pragma once

#include <cstdint>

#include "tests/support/colours.h"

namespace plexor::test {

// A picture that looks like a photograph's detail: a textured ground of
// noise at several scales, a few flat shapes with hard (antialiased) edges,
// and dark strokes like handwriting. The same bits for the same arguments on
// every machine.
Pixels naturalPicture(std::int32_t width, std::int32_t height, std::uint32_t seed);

} // namespace plexor::test
