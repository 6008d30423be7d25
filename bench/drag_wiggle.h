#pragma once

// A drag held as a hand holds it: pressed once, then the pointer moved two
// screen pixels to one side and the other, and one down, once per
// iteration, each step refreshed as the window refreshes it.

#include <cstdint>

#include <benchmark/benchmark.h>

#include "editor/drag.h"
#include "tests/support/screen_window.h"

namespace plexor {

inline void wiggleDrag(benchmark::State& state, test::ScreenWindow& window, ControlPointDrag& drag, std::int32_t x,
                       std::int32_t y)
{
    window.press(drag, x, y);
    bool right = false;
    for (auto _ : state) {
        right = !right;
        window.move(drag, x + (right ? 2 : -2), y + 1);
        benchmark::ClobberMemory();
    }
}

} // namespace plexor
