// What one mouse move of a drag costs on a 4096 x 4096 picture with a step
// 48 grid and the overlay on: the whole refresh (copy, overlay, push into a
// 24-bit bitmap; the screen repaint left out), and the overlay alone.
// Compare with BM_Memcpy4096 of the same frame in the same run.

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

#include <benchmark/benchmark.h>

#include "bench_model.h"
#include "editor/draw_overlay.h"
#include "platform/bitmap.h"
#include "platform/dib_transfer.h"
#include "tests/support/screen_window.h"

namespace plexor {
namespace {

constexpr std::int32_t kSide = kBenchSide;

// The benchmark model with one point picked, as during a drag.
std::unique_ptr<test::TestModel> draggedModel()
{
    std::unique_ptr<test::TestModel> m = draggedBenchModel(7);
    if (m) m->grid.setPicked(m->grid.index(m->grid.shape().pointCols / 2, m->grid.shape().pointRows / 2), true);
    return m;
}

void BM_Refresh_4096(benchmark::State& state)
{
    const std::unique_ptr<test::TestModel> m = draggedModel();
    if (!m) {
        state.SkipWithError("not enough memory");
        return;
    }
    test::ScreenWindow window(*m); // the window's part of a refresh, without the screen repaint
    for (auto _ : state) {
        m->work.changes().markAll(); // the whole picture refreshed
        window.refresh();
        benchmark::ClobberMemory();
    }
    if (!window.pushesOk) state.SkipWithError("a push failed");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide * 3);
}
BENCHMARK(BM_Refresh_4096)->Unit(benchmark::kMillisecond);

void BM_DrawOverlay_4096(benchmark::State& state)
{
    const std::unique_ptr<test::TestModel> m = draggedModel();
    if (!m) {
        state.SkipWithError("not enough memory");
        return;
    }
    for (auto _ : state) {
        drawOverlay(m->grid, m->picture);
        benchmark::ClobberMemory();
    }
    state.counters["points"] = static_cast<double>(m->grid.points().size());
}
BENCHMARK(BM_DrawOverlay_4096)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace plexor
