#pragma once

// A drag held as a hand holds it: pressed once, then the pointer moved two
// screen pixels to one side and the other, and one down, once per
// iteration.

#include <cstdint>

#include <benchmark/benchmark.h>

#include "editor/drag.h"

namespace plexor {

inline void wiggleDrag(benchmark::State& state, ControlPointDrag& drag, std::int32_t x, std::int32_t y)
{
    drag.mousePress(x, y);
    bool right = false;
    for (auto _ : state) {
        right = !right;
        drag.mouseMove(x + (right ? 2 : -2), y + 1);
        benchmark::ClobberMemory();
    }
}

} // namespace plexor
