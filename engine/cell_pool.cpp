#include "engine/cell_pool.h"

#include <algorithm>
#include <system_error>

#include "engine/deform_cell.h"

namespace plexor {
namespace {

// The coordinates one round holds at most: 2 MB of them, in two rounds at a
// time; and the cells.
constexpr std::size_t kRoundSamples = std::size_t{1} << 18;
constexpr std::size_t kRoundCells = 1024;

} // namespace

CellPool::CellPool(unsigned threads)
{
    for (unsigned t = 1; t < threads; ++t) {
        try {
            helpers_.emplace_back([this] { Help(); });
        } catch (const std::system_error&) {
            break; // fewer threads share the work
        }
    }
    if (helpers_.empty()) return;
    for (Half& half : halves_) {
        half.Xs.resize(kRoundSamples);
        half.Ys.resize(kRoundSamples);
        half.Reach.resize(kRoundCells);
        half.Whole.resize(kRoundCells);
    }
    phase_.emplace(static_cast<std::ptrdiff_t>(helpers_.size() + 1), NextRound{this});
}

CellPool::~CellPool()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    posted_.notify_all();
    for (std::thread& helper : helpers_) helper.join();
}

void CellPool::Help()
{
    std::uint64_t seen = 0;
    for (;;) {
        Run run;
        {
            std::unique_lock lock(mutex_);
            posted_.wait(lock, [&] { return stopping_ || posts_ != seen; });
            if (stopping_) return;
            seen = posts_;
            run = run_;
        }
        for (std::size_t phase = 0; phase <= run.Rounds; ++phase) {
            Compute(run, phase);
            phase_->arrive_and_wait();
        }
    }
}

void CellPool::Deform(DeformModel& model, std::span<const TCellRef> cells,
                      const std::function<void(std::size_t, const CellFootprint&)>& done, std::size_t roundCells)
{
    const std::size_t side = static_cast<std::size_t>(model.SamplesPerCell) + 1;
    Run run{&model, cells, side * side, 0, 0};
    if (helpers_.empty() || cells.size() < 2 || run.PerCell > kRoundSamples) {
        for (std::size_t k = 0; k < cells.size(); ++k) done(k, DeformCell(model, cells[k]));
        return;
    }
    run.PerRound = std::min(kRoundSamples / run.PerCell, kRoundCells);
    if (roundCells != 0) run.PerRound = std::min(run.PerRound, roundCells);
    run.Rounds = (cells.size() + run.PerRound - 1) / run.PerRound;
    {
        std::lock_guard lock(mutex_);
        run_ = run;
        ++posts_;
    }
    posted_.notify_all();
    for (std::size_t phase = 0; phase <= run.Rounds; ++phase) {
        if (phase > 0) Splat(run, phase - 1, done);
        Compute(run, phase);
        phase_->arrive_and_wait();
    }
}

void CellPool::Compute(const Run& run, std::size_t round)
{
    if (round >= run.Rounds) return;
    Half& half = halves_[round % 2];
    const std::size_t first = round * run.PerRound;
    const std::size_t count = std::min(run.PerRound, run.Cells.size() - first);
    for (;;) {
        const std::size_t k = next_.fetch_add(1, std::memory_order_relaxed);
        if (k >= count) return;
        const bool computed = CellSampleCoordinates(*run.Model, run.Cells[first + k], half.Xs.data() + k * run.PerCell,
                                                    half.Ys.data() + k * run.PerCell, half.Reach[k]);
        half.Whole[k] = computed ? 0 : 1;
    }
}

void CellPool::Splat(const Run& run, std::size_t round,
                     const std::function<void(std::size_t, const CellFootprint&)>& done)
{
    const Half& half = halves_[round % 2];
    const std::size_t first = round * run.PerRound;
    const std::size_t count = std::min(run.PerRound, run.Cells.size() - first);
    for (std::size_t k = 0; k < count; ++k) {
        const TCellRef cell = run.Cells[first + k];
        if (half.Whole[k] != 0) {
            done(first + k, DeformCell(*run.Model, cell));
            continue;
        }
        SplatCellSamples(*run.Model, cell, half.Xs.data() + k * run.PerCell, half.Ys.data() + k * run.PerCell);
        done(first + k, half.Reach[k]);
    }
}

} // namespace plexor
