// A grid file laid over a 45-megapixel picture (8192 x 5464) as Open grid
// and --apply lay it: every interior point displaced, step 48, the grid
// built and the whole batch deformed. On every core the machine has, by
// --apply's path and by the window's worker, and on one thread, exactly; and
// smoothly by both paths. Compare with each other and with BM_Memcpy45MP.

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

#include <benchmark/benchmark.h>

#include "bench_model.h"
#include "engine/cell_pool.h"
#include "engine/cell_worker.h"
#include "engine/grid_file.h"
#include "engine/parallel_deform.h"
#include "tests/support/worker_service.h"

namespace plexor {
namespace {

// How the grid file is laid: by --apply on `threads` threads, or (0) as the
// window lays it, its batch queued to the worker with its pool; rendered
// exactly or smoothly.
void applyGrid(benchmark::State& state, unsigned threads, Resampling resampling = Resampling::Exact)
{
    constexpr std::int32_t kWidth = 8192, kHeight = 5464, kStep = 48;
    std::mt19937 rng(9);
    auto model = randomPictureModel(kWidth, kHeight, rng);
    if (!model) {
        state.SkipWithError("not enough memory");
        return;
    }
    GridPass pass;
    pass.step = kStep;
    const GridGeometry grid = gridGeometryFor(kWidth, kHeight, kStep);
    std::uniform_int_distribution<std::int32_t> d(1 - kStep, kStep - 1);
    for (std::int32_t r = 1; r + 1 < grid.pointRows; ++r)
        for (std::int32_t c = 1; c + 1 < grid.pointCols; ++c) pass.points.push_back({c, r, d(rng), d(rng), 0});

    // The buffers' pages are touched once before: what is timed is the
    // apply, not the system's first mapping of fresh memory.
    model->grid.setResampling(resampling);
    layGridPass(model->grid, model->picture, model->work, pass);
    const ParallelDeformOptions options{threads, 0};
    CellWorker worker(model->work, model->grid, model->picture, [] {});
    std::size_t cells = 0;
    for (auto _ : state) {
        layGridPass(model->grid, model->picture, model->work, pass);
        // No sample has landed yet, as in the fresh model --apply makes for
        // each picture; the window's worker clears the marks after a batch.
        model->picture.clearAllMarks();
        const std::vector<CellRef> batch = displacedCells(model->grid);
        if (threads == 0) {
            model->work.queue().appendBatch(batch);
            worker.wake();
            test::serveUntilIdle(worker);
        } else {
            deformCellsInParallel(model->grid.sampling(), model->picture.splatTarget(), batch, options);
        }
        cells = batch.size();
    }
    state.counters["threads"] = threads;
    state.counters["cells"] = static_cast<double>(cells);
}

void BM_ApplyGrid_45MP(benchmark::State& state)
{
    applyGrid(state, coreCount());
}
BENCHMARK(BM_ApplyGrid_45MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyGrid_45MP_Smooth(benchmark::State& state)
{
    applyGrid(state, coreCount(), Resampling::Smooth);
}
BENCHMARK(BM_ApplyGrid_45MP_Smooth)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyGrid_45MP_Worker(benchmark::State& state)
{
    applyGrid(state, 0);
}
BENCHMARK(BM_ApplyGrid_45MP_Worker)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyGrid_45MP_SmoothWorker(benchmark::State& state)
{
    applyGrid(state, 0, Resampling::Smooth);
}
BENCHMARK(BM_ApplyGrid_45MP_SmoothWorker)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyGrid_45MP_OneThread(benchmark::State& state)
{
    applyGrid(state, 1);
}
BENCHMARK(BM_ApplyGrid_45MP_OneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace plexor
