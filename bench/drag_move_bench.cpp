// One mouse move of a drag, as the window does it at fit zoom in an
// 1800 x 1000 viewport: the point moved, its part of the view copied and
// drawn over, pushed into a 24-bit screen bitmap, and the reduced view
// averaged and drawn over there. On a 1024 x 1024 picture and on a
// 45-megapixel one (8192 x 5464), step 48; and on the 45-megapixel one with
// a colour profile, what is repainted converted to the screen's colours as
// the window converts it. Compare with BM_Memcpy45MP.

#include <memory>
#include <random>

#include <benchmark/benchmark.h>

#include "bench_model.h"
#include "drag_wiggle.h"
#include "editor/drag.h"
#include "tests/support/model_setup.h"
#include "tests/support/screen_window.h"

namespace plexor {
namespace {

// A conversion table that changes every colour, as a wide-gamut profile's
// does.
ScreenColours wideGamutColours()
{
    constexpr int kSide = ScreenColours::kGridSide;
    std::vector<ScreenColours::Sample> samples;
    for (int r = 0; r < kSide; ++r)
        for (int g = 0; g < kSide; ++g)
            for (int b = 0; b < kSide; ++b) {
                const auto level = [](int i, int twist) {
                    return std::min(255, i * 255 / (kSide - 1) * 9 / 8 + twist);
                };
                samples.push_back(std::uint32_t(level(r, 0)) << 16 | std::uint32_t(level(g, r / 4)) << 8 |
                                  std::uint32_t(level(b, 2)));
            }
    ScreenColours colours;
    colours.setSamples(std::move(samples));
    return colours;
}

void dragMove(benchmark::State& state, std::int32_t width, std::int32_t height, bool profiled = false)
{
    std::mt19937 rng(3);
    auto model = randomPictureModel(width, height, rng);
    if (!model) {
        state.SkipWithError("not enough memory");
        return;
    }
    model->layGrid(48);
    test::ScreenWindow window(*model);
    const ScreenColours colours = wideGamutColours();
    if (profiled) window.colours = &colours;
    const Zoom zoom = fitZoom(width, height, 1800, 1000);
    window.showReduced = zoom.reduces();
    window.reducedView.setWindow(zoom, PixelRect{0, 0, 1800, 1000}, width, height);
    window.refresh(); // the whole picture, laid afresh

    ControlPointDrag drag(model->grid, model->picture, model->work.changes());
    drag.setZoom(zoom);
    const ControlPoint& p = model->grid.point(model->grid.shape().pointCols / 2, model->grid.shape().pointRows / 2);
    const auto x = static_cast<std::int32_t>(zoom.toScreen(p.x));
    const auto y = static_cast<std::int32_t>(zoom.toScreen(p.y));
    wiggleDrag(state, window, drag, x, y);
    if (!drag.dragging() || !window.pushesOk) state.SkipWithError("the drag did not go as meant");
    state.counters["zoom_percent"] = static_cast<double>(zoom.percent());
}

void BM_DragMove_1024(benchmark::State& state)
{
    dragMove(state, 1024, 1024);
}
BENCHMARK(BM_DragMove_1024)->Unit(benchmark::kMicrosecond);

void BM_DragMove_45MP(benchmark::State& state)
{
    dragMove(state, 8192, 5464);
}
BENCHMARK(BM_DragMove_45MP)->Unit(benchmark::kMicrosecond);

void BM_DragMove_45MP_Profiled(benchmark::State& state)
{
    dragMove(state, 8192, 5464, true);
}
BENCHMARK(BM_DragMove_45MP_Profiled)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace plexor
