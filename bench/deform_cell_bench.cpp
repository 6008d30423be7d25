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
#include "engine/deform_cell_internal.h"
#include "engine/deform_model.h"
#include "engine/smooth_cell.h"

namespace plexor {
namespace {

template <void (*kernel)(DeformModel&, CellRef)>
void deformWholeBatch(benchmark::State& state)
{
    const std::unique_ptr<DeformModel> m = draggedBenchModel(1);
    if (!m) {
        state.SkipWithError("not enough memory");
        return;
    }
    const double samples = double(m->grid().cellCount) * (m->samplesPerCell() + 1) * (m->samplesPerCell() + 1);
    for (auto _ : state) {
        state.PauseTiming();
        std::memset(m->splatMask().data(), 0, m->splatMask().size());
        state.ResumeTiming();
        for (std::int32_t r = 0; r < m->grid().cellRows; ++r)
            for (std::int32_t c = 0; c < m->grid().cellCols; ++c) kernel(*m, {c, r});
        benchmark::ClobberMemory();
    }
    state.counters["per_sample"] =
        benchmark::Counter(samples, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_DeformCell_Literal(benchmark::State& state)
{
    deformWholeBatch<deformCellLiteral>(state);
}
void fastDeformCell(DeformModel& m, CellRef cell)
{
    deformCell(m, cell);
}
void BM_DeformCell(benchmark::State& state)
{
    deformWholeBatch<fastDeformCell>(state);
}

// The same with the coordinates of the AVX2 kernel, whatever the processor
// has beyond it: the figure for a processor without AVX-512.
void avx2DeformCell(DeformModel& m, CellRef cell)
{
    deformCell(m, cell, FastKernel::Avx2);
}
void BM_DeformCell_Avx2(benchmark::State& state)
{
    if (!fastKernelAvailable(FastKernel::Avx2)) {
        state.SkipWithError("no AVX2");
        return;
    }
    deformWholeBatch<avx2DeformCell>(state);
}

// The same batch rendered smoothly into workImage: every cell over the
// whole picture as one band, its terms gathered as the worker gathers them.
void BM_DeformCell_Smooth(benchmark::State& state)
{
    const std::unique_ptr<DeformModel> m = draggedBenchModel(1);
    if (!m) {
        state.SkipWithError("not enough memory");
        return;
    }
    SmoothPlanes planes;
    planes.source = m->sourceImage().data();
    planes.work = m->workImage().data();
    planes.width = m->imageWidth();
    planes.height = m->imageHeight();
    const PixelRect whole{0, 0, m->imageWidth(), m->imageHeight()};
    for (auto _ : state) {
        for (std::int32_t r = 0; r < m->grid().cellRows; ++r)
            for (std::int32_t c = 0; c < m->grid().cellCols; ++c)
                smoothCell(planes, m->grid(), {c, r}, gatherCellTerms(*m, c, r), whole);
        benchmark::ClobberMemory();
    }
    state.counters["per_pixel"] = benchmark::Counter(
        double(whole.area()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_DeformCell_Literal)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DeformCell)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DeformCell_Avx2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DeformCell_Smooth)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
} // namespace plexor
