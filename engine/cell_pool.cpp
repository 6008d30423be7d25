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
            helpers_.emplace_back([this] { help(); });
        } catch (const std::system_error&) {
            break; // fewer threads share the work
        }
    }
    if (helpers_.empty()) return;
    for (Half& half : halves_) {
        half.xs.resize(kRoundSamples);
        half.ys.resize(kRoundSamples);
        half.reach.resize(kRoundCells);
        half.whole.resize(kRoundCells);
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

void CellPool::help()
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
        for (std::size_t phase = 0; phase <= run.rounds; ++phase) {
            compute(run, phase);
            phase_->arrive_and_wait();
        }
    }
}

void CellPool::deform(DeformModel& model, std::span<const CellRef> cells,
                      const std::function<void(std::size_t, const CellFootprint&)>& done, std::size_t roundCells)
{
    const std::size_t side = static_cast<std::size_t>(model.samplesPerCell()) + 1;
    Run run{&model, cells, side * side, 0, 0};
    if (helpers_.empty() || cells.size() < 2 || run.perCell > kRoundSamples) {
        for (std::size_t k = 0; k < cells.size(); ++k) done(k, deformCell(model, cells[k]));
        return;
    }
    run.perRound = std::min(kRoundSamples / run.perCell, kRoundCells);
    if (roundCells != 0) run.perRound = std::min(run.perRound, roundCells);
    run.rounds = (cells.size() + run.perRound - 1) / run.perRound;
    {
        std::lock_guard lock(mutex_);
        run_ = run;
        ++posts_;
    }
    posted_.notify_all();
    for (std::size_t phase = 0; phase <= run.rounds; ++phase) {
        if (phase > 0) splat(run, phase - 1, done);
        compute(run, phase);
        phase_->arrive_and_wait();
    }
}

void CellPool::compute(const Run& run, std::size_t round)
{
    if (round >= run.rounds) return;
    Half& half = halves_[round % 2];
    const std::size_t first = round * run.perRound;
    const std::size_t count = std::min(run.perRound, run.cells.size() - first);
    for (;;) {
        const std::size_t k = next_.fetch_add(1, std::memory_order_relaxed);
        if (k >= count) return;
        const bool computed = cellSampleCoordinates(*run.model, run.cells[first + k], half.xs.data() + k * run.perCell,
                                                    half.ys.data() + k * run.perCell, half.reach[k]);
        half.whole[k] = computed ? 0 : 1;
    }
}

void CellPool::splat(const Run& run, std::size_t round,
                     const std::function<void(std::size_t, const CellFootprint&)>& done)
{
    const Half& half = halves_[round % 2];
    const std::size_t first = round * run.perRound;
    const std::size_t count = std::min(run.perRound, run.cells.size() - first);
    for (std::size_t k = 0; k < count; ++k) {
        const CellRef cell = run.cells[first + k];
        if (half.whole[k] != 0) {
            done(first + k, deformCell(*run.model, cell));
            continue;
        }
        splatCellSamples(*run.model, cell, half.xs.data() + k * run.perCell, half.ys.data() + k * run.perCell);
        done(first + k, half.reach[k]);
    }
}

} // namespace plexor
