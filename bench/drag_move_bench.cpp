// One mouse move of a drag, as the window does it at fit zoom in an
// 1800 x 1000 viewport: the point moved, its part of the view copied and
// drawn over, pushed into a 24-bit screen bitmap, and the reduced view
// averaged and drawn over there. On a 1024 x 1024 picture and on a
// 45-megapixel one (8192 x 5464), step 48. Compare with BM_Memcpy45MP.

#include <memory>
#include <random>

#include <benchmark/benchmark.h>

#include "bench_model.h"
#include "editor/drag.h"
#include "editor/refresh.h"
#include "tests/support/model_setup.h"
#include "tests/support/screen_window.h"

namespace plexor {
namespace {

void DragMove(benchmark::State& state, std::int32_t width, std::int32_t height)
{
    std::mt19937 rng(3);
    auto model = RandomPictureModel(width, height, rng);
    if (!model) {
        state.SkipWithError("not enough memory");
        return;
    }
    model->LayGrid(48);
    test::ScreenWindow window(*model);
    const Zoom zoom = FitZoom(width, height, 1800, 1000);
    window.showReduced = zoom.Reduces();
    window.reduced.SetWindow(zoom, PixelRect{0, 0, 1800, 1000}, width, height);
    RefreshWhole(*model, window);

    ControlPointDrag drag(*model, window);
    drag.SetZoom(zoom);
    const TControlPoint& p = model->Point(model->PointCols() / 2, model->PointRows() / 2);
    const auto x = static_cast<std::int32_t>(zoom.ToScreen(p.X));
    const auto y = static_cast<std::int32_t>(zoom.ToScreen(p.Y));
    drag.ImageMouseDown(x, y);
    bool right = false;
    for (auto _ : state) {
        right = !right;
        drag.ImageMouseMove(x + (right ? 2 : -2), y + 1);
        benchmark::ClobberMemory();
    }
    if (!drag.Dragging() || !window.pushesOk) state.SkipWithError("the drag did not go as meant");
    state.counters["zoom_percent"] = static_cast<double>(zoom.Percent());
}

void BM_DragMove_1024(benchmark::State& state)
{
    DragMove(state, 1024, 1024);
}
BENCHMARK(BM_DragMove_1024)->Unit(benchmark::kMicrosecond);

void BM_DragMove_45MP(benchmark::State& state)
{
    DragMove(state, 8192, 5464);
}
BENCHMARK(BM_DragMove_45MP)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace plexor
