// One mouse move of a drag with Live Preview on, as the window does it at
// fit zoom in an 1800 x 1000 viewport on a 45-megapixel picture (8192 x
// 5464): the point moved and the overlay refreshed, then the frame a
// release would give computed by the worker on every core and shown, its
// parts pushed into the screen bitmap and averaged into the reduced view.
// At step 48 and at step 256. Compare with BM_Memcpy45MP, and with
// BM_DragMove_45MP, the same move with Live Preview off.

#include <memory>
#include <random>

#include <benchmark/benchmark.h>

#include "app/live_frames.h"
#include "app/worker_control.h"
#include "bench_model.h"
#include "editor/drag.h"
#include "tests/support/screen_window.h"
#include "tests/support/shell_fakes.h"

namespace plexor {
namespace {

void liveMove(benchmark::State& state, std::int32_t step)
{
    constexpr std::int32_t kWidth = 8192, kHeight = 5464;
    std::mt19937 rng(3);
    auto model = randomPictureModel(kWidth, kHeight, rng);
    if (!model) {
        state.SkipWithError("not enough memory");
        return;
    }
    model->layGrid(step);
    test::ScreenWindow window(*model);
    const Zoom zoom = fitZoom(kWidth, kHeight, 1800, 1000);
    window.showReduced = true;
    window.reducedView.setWindow(zoom, PixelRect{0, 0, 1800, 1000}, kWidth, kHeight);
    window.refresh(); // the whole picture, laid afresh

    WorkerControl worker(model->work, model->grid, model->picture);
    test::FakeSettings settings;
    LiveFrames live(model->grid, model->picture, model->work, worker, settings);
    int frames = 0;
    worker.start(
        [&] {
            live.batchShown();
            window.refresh();
        },
        [&] {
            live.frameReady();
            window.refresh();
            ++frames;
        },
        {});
    ControlPointDrag drag(model->grid, model->picture, model->work.changes());
    drag.setZoom(zoom);
    const ControlPoint& p = model->grid.point(model->grid.shape().pointCols / 2, model->grid.shape().pointRows / 2);
    const auto x = static_cast<std::int32_t>(zoom.toScreen(p.x));
    const auto y = static_cast<std::int32_t>(zoom.toScreen(p.y));
    window.press(drag, x, y);
    bool right = false;
    for (auto _ : state) {
        right = !right;
        window.move(drag, x + (right ? 2 : -2), y + 1);
        live.follow(drag);
        const int shown = frames + 1;
        while (frames < shown) worker.worker().serveNextCall(std::chrono::milliseconds(5));
        benchmark::ClobberMemory();
    }
    if (!drag.dragging() || !window.pushesOk || model->work.preview().shown().empty())
        state.SkipWithError("the drag did not go as meant");
    worker.stop();
}

void BM_LiveMove_45MP_Step48(benchmark::State& state)
{
    liveMove(state, 48);
}
BENCHMARK(BM_LiveMove_45MP_Step48)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LiveMove_45MP_Step256(benchmark::State& state)
{
    liveMove(state, 256);
}
BENCHMARK(BM_LiveMove_45MP_Step256)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace plexor
