// One batch over a whole 4096 x 4096 picture at step 48: every cell, with
// the interior points displaced at random within the limits a drag keeps.
// Reported per sample, beside BM_Memcpy4096 of the same frame.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

#include "engine/deform_cell.h"
#include "engine/deform_model.h"

namespace plexor {
namespace {

std::unique_ptr<DeformModel> BatchModel()
{
    auto m = std::make_unique<DeformModel>();
    m->ImageWidth = m->ImageHeight = 4096;
    if (!m->AllocateBuffers()) return nullptr;
    m->SplatMask = PixelBuffer::Obtain(static_cast<std::size_t>(m->PixelCapacity));
    std::mt19937 rng(1);
    for (std::size_t i = 0; i < m->SourceImage.size(); ++i) m->SourceImage[i] = static_cast<std::uint8_t>(rng());
    m->CopyPixels(m->SourceImage, m->WorkImage);
    m->GridStepX = m->GridStepY = 48;
    m->BuildGrid();
    m->BuildWeightTables();
    std::uniform_int_distribution<std::int32_t> d(-47, 47);
    for (std::int32_t r = 1; r + 1 < m->PointRows; ++r)
        for (std::int32_t c = 1; c + 1 < m->PointCols; ++c) {
            TControlPoint& p = m->Point(c, r);
            p.DX = std::clamp(p.X + d(rng), 0, m->ImageWidth - 1) - p.X;
            p.DY = std::clamp(p.Y + d(rng), 0, m->ImageHeight - 1) - p.Y;
        }
    return m;
}

template <void (*Kernel)(DeformModel&, TCellRef)>
void DeformWholeBatch(benchmark::State& state)
{
    const std::unique_ptr<DeformModel> m = BatchModel();
    if (!m) {
        state.SkipWithError("not enough memory");
        return;
    }
    const double samples = double(m->CellCount) * (m->SamplesPerCell + 1) * (m->SamplesPerCell + 1);
    for (auto _ : state) {
        state.PauseTiming();
        std::memset(m->SplatMask.data(), 0, m->SplatMask.size());
        state.ResumeTiming();
        for (std::int32_t r = 0; r < m->CellRows; ++r)
            for (std::int32_t c = 0; c < m->CellCols; ++c) Kernel(*m, {c, r});
        benchmark::ClobberMemory();
    }
    state.counters["per_sample"] =
        benchmark::Counter(samples, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_DeformCell_Literal(benchmark::State& state) { DeformWholeBatch<DeformCellLiteral>(state); }
void FastDeformCell(DeformModel& m, TCellRef cell) { DeformCell(m, cell); }
void BM_DeformCell(benchmark::State& state) { DeformWholeBatch<FastDeformCell>(state); }

BENCHMARK(BM_DeformCell_Literal)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DeformCell)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
} // namespace plexor
