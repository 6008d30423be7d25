#pragma once

#include <cstdint>

#include "engine/relaxed.h"

namespace plexor {

// One control point: its grid position (X, Y), fixed from one grid build to
// the next, and its displacement (DX, DY). The displaced position is
// (X + DX, Y + DY). Every field may be read by the worker while the UI thread
// writes it, so each is a relaxed atomic.
struct TControlPoint {
    Relaxed<std::int32_t> X;
    Relaxed<std::int32_t> Y;
    Relaxed<std::int32_t> DX;
    Relaxed<std::int32_t> DY;
    Relaxed<std::uint8_t> Selected;
};

} // namespace plexor
