#include "engine/cell_pool.h"

#include <algorithm>
#include <system_error>

#include "engine/cell_rendering.h"
#include "engine/deform_cell.h"

namespace plexor {
namespace {

// The samples one round holds at most: a megabyte of destinations, in two
// rounds at a time; and the cells.
constexpr std::size_t kRoundSamples = std::size_t{1} << 18;
constexpr std::size_t kRoundCells = 1024;
// A smooth cell's work varies with how much its pixels shrink: a smooth
// round is cut into up to this many bands more, which the threads take as
// they come free, each holding at least kSmoothBandCells cells (a cell cut
// by a band's edge builds its mesh for each side).
constexpr std::size_t kSmoothBandsEach = 4;
constexpr std::size_t kSmoothBandCells = 16;

} // namespace

CellPool::CellPool(unsigned threads, unsigned bands)
{
    for (unsigned t = 1; t < threads; ++t) {
        try {
            helpers_.emplace_back([this] { help(); });
        } catch (const std::system_error&) {
            break; // fewer threads share the work
        }
    }
    if (helpers_.empty()) return;
    bandCount_ = bands != 0 ? bands : helpers_.size() + 1;
    for (Half& half : halves_) {
        half.dests.resize(kRoundSamples);
        half.landings.resize(kRoundCells);
        half.terms.resize(kRoundCells);
        half.bands.reserve(kSmoothBandsEach * bandCount_);
    }
    centres_.resize(kRoundCells);
    finished_.resize(kRoundCells);
    barrier_.emplace(static_cast<std::ptrdiff_t>(helpers_.size() + 1), PhaseEnd{this});
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
            work(run, phase);
            barrier_->arrive_and_wait();
        }
    }
}

void CellPool::deform(const GridSampling& grid, const SplatTarget& target, std::span<const CellRef> cells,
                      const std::function<void(std::size_t, const CellFootprint&)>& done, std::size_t roundCells)
{
    // A smooth cell keeps no samples between its halves: only its terms and reach.
    const bool smooth = grid.resampling == Resampling::Smooth;
    const std::size_t side = static_cast<std::size_t>(grid.samplesPerCell()) + 1;
    Run run{&grid, target, cells, smooth ? 0 : side * side, 0, 0, smooth};
    if (helpers_.empty() || cells.size() < 2 || run.perCell > kRoundSamples) {
        if (!smooth) {
            for (std::size_t k = 0; k < cells.size(); ++k) done(k, deformCell(grid, target, cells[k]));
            return;
        }
        const SplatBand whole{0, static_cast<std::int32_t>(target.width)};
        for (std::size_t k = 0; k < cells.size(); ++k) {
            CellTerms terms;
            const CellLanding landing = landSmoothCell(grid, target, cells[k], terms);
            renderSmoothCell(grid, target, cells[k], terms, whole);
            done(k, landing.reach);
        }
        return;
    }
    run.perRound = smooth ? kRoundCells : std::min(kRoundSamples / run.perCell, kRoundCells);
    if (roundCells != 0) run.perRound = std::min(run.perRound, roundCells);
    run.rounds = (cells.size() + run.perRound - 1) / run.perRound;
    {
        std::lock_guard lock(mutex_);
        run_ = run;
        phase_ = 0;
        ++posts_;
    }
    posted_.notify_all();
    for (std::size_t phase = 0; phase <= run.rounds; ++phase) {
        work(run, phase);
        barrier_->arrive_and_wait();
        if (phase == 0) continue;
        const std::size_t first = (phase - 1) * run.perRound;
        for (std::size_t k = 0; k < roundSize(run, phase - 1); ++k) done(first + k, finished_[k]);
    }
}

std::size_t CellPool::roundSize(const Run& run, std::size_t round) const noexcept
{
    return std::min(run.perRound, run.cells.size() - round * run.perRound);
}

void CellPool::work(const Run& run, std::size_t phase)
{
    if (phase > 0) splat(run, phase - 1);
    if (phase < run.rounds) land(run, phase);
}

void CellPool::land(const Run& run, std::size_t round)
{
    Half& half = halves_[round % 2];
    const std::size_t first = round * run.perRound;
    const std::size_t count = roundSize(run, round);
    for (;;) {
        const std::size_t k = nextCell_.fetch_add(1, std::memory_order_relaxed);
        if (k >= count) return;
        half.landings[k] = run.smooth ? landSmoothCell(*run.grid, run.target, run.cells[first + k], half.terms[k])
                                      : landCellSamples(*run.grid, run.target, run.cells[first + k],
                                                        half.dests.data() + k * run.perCell);
    }
}

void CellPool::splat(const Run& run, std::size_t round)
{
    const Half& half = halves_[round % 2];
    const std::size_t first = round * run.perRound;
    const std::size_t count = roundSize(run, round);
    for (;;) {
        const std::size_t b = nextBand_.fetch_add(1, std::memory_order_relaxed);
        if (b >= half.bands.size()) return;
        const SplatBand band = half.bands[b];
        if (run.smooth) {
            // Each cell's pixels in the band, cell after cell: where cells
            // overlap, the later one lies on top, as on one thread.
            for (std::size_t k = 0; k < count; ++k) {
                const CellLanding& landing = half.landings[k];
                if (landing.firstColumn < band.last && landing.lastColumn > band.first)
                    renderSmoothCell(*run.grid, run.target, run.cells[first + k], half.terms[k], band);
            }
            continue;
        }
        for (std::size_t k = 0; k < count; ++k)
            splatCellSamples(*run.grid, run.target, run.cells[first + k], half.dests.data() + k * run.perCell,
                             half.landings[k], band);
    }
}

void CellPool::endPhase() noexcept
{
    const std::size_t phase = phase_++;
    nextCell_.store(0, std::memory_order_relaxed);
    nextBand_.store(0, std::memory_order_relaxed);
    if (phase < run_.rounds) cutBands(run_, phase);
    if (phase > 0) {
        const Half& half = halves_[(phase - 1) % 2];
        for (std::size_t k = 0; k < roundSize(run_, phase - 1); ++k) finished_[k] = half.landings[k].reach;
    }
}

void CellPool::cutBands(const Run& run, std::size_t round) noexcept
{
    // Bands cut where they hold as many cells each:
    // the cells' samples land near the middle of their columns. A cell
    // whose splats wrap a row reaches every band, and counts for none.
    Half& half = halves_[round % 2];
    const auto width = static_cast<std::int32_t>(run.target.width);
    std::size_t placed = 0;
    for (std::size_t k = 0; k < roundSize(run, round); ++k) {
        const CellLanding& landing = half.landings[k];
        if (landing.firstColumn >= landing.lastColumn || (landing.firstColumn == 0 && landing.lastColumn == width))
            continue;
        centres_[placed++] = (std::int64_t{landing.firstColumn} + landing.lastColumn) / 2;
    }
    const std::size_t bands =
        run.smooth ? std::clamp(placed / kSmoothBandCells, bandCount_, kSmoothBandsEach * bandCount_) : bandCount_;
    half.bands.clear();
    std::int32_t from = 0;
    for (std::size_t b = 1; b < bands && placed > 0; ++b) {
        const auto at = centres_.begin() + static_cast<std::ptrdiff_t>(b * placed / bands);
        std::nth_element(centres_.begin(), at, centres_.begin() + static_cast<std::ptrdiff_t>(placed));
        const auto cut = static_cast<std::int32_t>(std::clamp<std::int64_t>(*at, from, width));
        half.bands.push_back({from, cut});
        from = cut;
    }
    half.bands.push_back({from, width});
}

} // namespace plexor
