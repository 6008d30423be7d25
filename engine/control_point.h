#pragma once

#include <cstdint>

#include "engine/relaxed.h"

namespace plexor {

// One control point: its grid position (x, y), fixed from one grid build to
// the next, and its displacement (dx, dy). The displaced position is
// (x + dx, y + dy). Every field may be read by the worker while the UI thread
// writes it, so each is a relaxed atomic.
struct ControlPoint {
    Relaxed<std::int32_t> x;
    Relaxed<std::int32_t> y;
    Relaxed<std::int32_t> dx;
    Relaxed<std::int32_t> dy;
    Relaxed<std::uint8_t> picked; // held by a drag: drawn red
};

} // namespace plexor
