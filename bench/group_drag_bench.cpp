// One pointer move of a group drag on a 45-megapixel picture (8192 x 5464)
// at full size, step 48, as the window does it: the chosen points moved,
// their part of the view copied and drawn over, pushed into a 24-bit screen
// bitmap. A block of 10 x 10 points (compare with BM_Memcpy45MP), and every
// interior point (compare with BM_Refresh_45MP, the whole refresh of the
// same frame).

#include <memory>
#include <random>

#include <benchmark/benchmark.h>

#include "bench_model.h"
#include "drag_wiggle.h"
#include "editor/drag.h"
#include "editor/selection_gesture.h"
#include "tests/support/screen_window.h"

namespace plexor {
namespace {

constexpr std::int32_t kWidth = 8192, kHeight = 5464;

// The picture with a grid at rest and the points chosen: a block of
// `side` x `side` about the middle, or (0) every interior point.
std::unique_ptr<test::TestModel> chosenModel(std::int32_t side)
{
    std::mt19937 rng(11);
    auto m = randomPictureModel(kWidth, kHeight, rng);
    if (!m) return nullptr;
    m->layGrid(48);
    if (side == 0) {
        selectAllPoints(m->grid, m->work.changes());
        return m;
    }
    const std::int32_t c0 = m->grid.shape().pointCols / 2 - side / 2, r0 = m->grid.shape().pointRows / 2 - side / 2;
    for (std::int32_t r = r0; r < r0 + side; ++r)
        for (std::int32_t c = c0; c < c0 + side; ++c) m->grid.selection().add(m->grid.index(c, r));
    return m;
}

void groupDragMove(benchmark::State& state, std::int32_t side)
{
    const std::unique_ptr<test::TestModel> model = chosenModel(side);
    if (!model) {
        state.SkipWithError("not enough memory");
        return;
    }
    test::ScreenWindow window(*model);
    window.refresh(); // the whole picture, laid afresh
    ControlPointDrag drag(model->grid, model->picture, model->work.changes());
    const PointSelection& chosen = model->grid.selection();
    const std::int32_t pressed = chosen.members()[chosen.size() / 2];
    const ControlPoint& p = model->grid.points()[static_cast<std::size_t>(pressed)];
    wiggleDrag(state, window, drag, p.x, p.y);
    if (!drag.groupDragging() || p.dy != 1 || !window.pushesOk) state.SkipWithError("the drag did not go as meant");
    state.counters["points"] = static_cast<double>(chosen.size());
}

void BM_GroupDragMove_45MP(benchmark::State& state)
{
    groupDragMove(state, 10);
}
BENCHMARK(BM_GroupDragMove_45MP)->Unit(benchmark::kMillisecond);

void BM_GroupDragMoveAll_45MP(benchmark::State& state)
{
    groupDragMove(state, 0);
}
BENCHMARK(BM_GroupDragMoveAll_45MP)->Unit(benchmark::kMillisecond);

// The whole refresh of the frame every point of which a group drag moves.
void BM_Refresh_45MP(benchmark::State& state)
{
    const std::unique_ptr<test::TestModel> model = chosenModel(0);
    if (!model) {
        state.SkipWithError("not enough memory");
        return;
    }
    for (const std::int32_t i : model->grid.selection().members())
        model->grid.displace(static_cast<std::size_t>(i), 2, 1);
    test::ScreenWindow window(*model);
    window.refresh(); // the screen bitmap's pages touched once, as for the drag
    for (auto _ : state) {
        model->work.changes().markAll(); // the whole picture refreshed
        window.refresh();
        benchmark::ClobberMemory();
    }
    if (!window.pushesOk) state.SkipWithError("a push failed");
}
BENCHMARK(BM_Refresh_45MP)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace plexor
