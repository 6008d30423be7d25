// One batch over a whole 4096 x 4096 picture at step 48: every cell, with
// the interior points displaced at random within the limits a drag keeps.
// Reported per sample, beside BM_Memcpy4096 of the same frame.

#include "engine/deform_cell.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

#include <benchmark/benchmark.h>

#include "bench_model.h"
#include "engine/cell_rendering.h"
#include "engine/deform_cell_internal.h"

namespace plexor {
namespace {

template <void (*kernel)(const GridSampling&, const SplatTarget&, CellRef)>
void deformWholeBatch(benchmark::State& state)
{
    const std::unique_ptr<test::TestModel> m = draggedBenchModel(1);
    if (!m) {
        state.SkipWithError("not enough memory");
        return;
    }
    const GridSampling grid = m->grid.sampling();
    const SplatTarget target = m->picture.splatTarget();
    const double samples = double(grid.shape.cellCount) * (grid.samplesPerCell() + 1) * (grid.samplesPerCell() + 1);
    for (auto _ : state) {
        state.PauseTiming();
        m->picture.clearAllMarks();
        state.ResumeTiming();
        for (std::int32_t r = 0; r < grid.shape.cellRows; ++r)
            for (std::int32_t c = 0; c < grid.shape.cellCols; ++c) kernel(grid, target, {c, r});
        benchmark::ClobberMemory();
    }
    state.counters["per_sample"] =
        benchmark::Counter(samples, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_DeformCell_Literal(benchmark::State& state)
{
    deformWholeBatch<deformCellLiteral>(state);
}
void fastDeformCell(const GridSampling& grid, const SplatTarget& target, CellRef cell)
{
    deformCell(grid, target, cell);
}
void BM_DeformCell(benchmark::State& state)
{
    deformWholeBatch<fastDeformCell>(state);
}

// The same with the coordinates of the AVX2 kernel, whatever the processor
// has beyond it: the figure for a processor without AVX-512.
void avx2DeformCell(const GridSampling& grid, const SplatTarget& target, CellRef cell)
{
    deformCell(grid, target, cell, FastKernel::Avx2);
}
void BM_DeformCell_Avx2(benchmark::State& state)
{
    if (!fastKernelAvailable(FastKernel::Avx2)) {
        state.SkipWithError("no AVX2");
        return;
    }
    deformWholeBatch<avx2DeformCell>(state);
}

// The same batch rendered smoothly into the work plane: each cell over the
// whole picture as its band, its terms gathered as the worker gathers them.
void smoothDeformCell(const GridSampling& grid, const SplatTarget& target, CellRef cell)
{
    CellTerms terms;
    landSmoothCell(grid, target, cell, terms);
    renderSmoothCell(grid, target, cell, terms, SplatBand{0, static_cast<std::int32_t>(target.width)});
}
void BM_DeformCell_Smooth(benchmark::State& state)
{
    deformWholeBatch<smoothDeformCell>(state);
}

BENCHMARK(BM_DeformCell_Literal)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DeformCell)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DeformCell_Avx2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DeformCell_Smooth)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
} // namespace plexor
