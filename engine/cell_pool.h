#pragma once

#include <algorithm>
#include <atomic>
#include <barrier>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "engine/cell_landing.h"
#include "engine/cell_ref.h"
#include "engine/cell_terms.h"
#include "engine/grid_sampling.h"
#include "engine/splat.h"

namespace plexor {

// The cores the machine has, at least 1: the threads a pool is given.
inline unsigned coreCount() noexcept
{
    return std::max(1u, std::thread::hardware_concurrency());
}

// Threads that deform a run of cells together, bit for bit as deformCell
// would deform them one after another: they find where the samples of the
// cells land side by side, and splat them by bands of columns, each band
// taking the samples that reach it in their order. A grid rendered smoothly
// goes the same way, each cell's reach found first, then its pixels rendered
// by bands of columns, cell after cell in their order.
//
// The run goes in rounds. In phase p every thread first splats bands of
// round p - 1 until none is left, then lands cells of round p, which lie in
// the other half of the store; a barrier closes each phase, so a round has
// landed before it is splatted, and is splatted before its half is written
// again. The helpers sleep between runs. Nothing is allocated per run.
class CellPool {
public:
    // `threads` threads in all, the owner among them, splatting `bands`
    // bands a round (0: one for each thread). A pool of one thread deforms
    // each cell on the owner's thread.
    explicit CellPool(unsigned threads, unsigned bands = 0);
    ~CellPool();
    CellPool(const CellPool&) = delete;
    CellPool& operator=(const CellPool&) = delete;

    // Owner's thread. Deforms `cells` of `grid` into `target` in their order
    // and calls done(k, written) on the owner's thread once cell k is
    // splatted, with the pixels it may have written; at most `roundCells`
    // cells a round, 0 letting the samples per cell decide. The grid and the
    // target must stay as they are meanwhile, but for the points, which may
    // move: a cell uses them as it reads them.
    void deform(const GridSampling& grid, const SplatTarget& target, std::span<const CellRef> cells,
                const std::function<void(std::size_t, const CellFootprint&)>& done, std::size_t roundCells = 0);

private:
    struct Run {
        const GridSampling* grid = nullptr;
        SplatTarget target{};
        std::span<const CellRef> cells;
        std::size_t perCell = 0;  // samples per cell
        std::size_t perRound = 0; // cells per round
        std::size_t rounds = 0;
        bool smooth = false; // rendered smoothly: each cell's reach landed, its pixels rendered by bands
    };
    struct Half {
        std::vector<std::int32_t> dests;
        std::vector<CellLanding> landings;
        std::vector<CellTerms> terms; // a smooth cell's, as its landing read them
        std::vector<SplatBand> bands;
    };
    // Closes a phase, on whichever thread arrives last: the counters start
    // again, the round just landed is cut into bands, and the footprints of
    // the round just splatted are kept for the owner's calls to done.
    struct PhaseEnd {
        CellPool* pool;
        void operator()() noexcept { pool->endPhase(); }
    };

    void help();
    void work(const Run& run, std::size_t phase);
    void land(const Run& run, std::size_t round);
    void splat(const Run& run, std::size_t round);
    void endPhase() noexcept;
    void cutBands(const Run& run, std::size_t round) noexcept;
    std::size_t roundSize(const Run& run, std::size_t round) const noexcept;

    Half halves_[2];
    std::vector<std::int64_t> centres_;    // room for the cutting of bands
    std::vector<CellFootprint> finished_;  // the footprints of the round splatted last
    std::atomic<std::size_t> nextCell_{0}; // the next cell of the round to land
    std::atomic<std::size_t> nextBand_{0}; // the next band of the round to splat
    std::size_t phase_ = 0;                // the phase under way, for endPhase
    std::size_t bandCount_ = 0;

    std::mutex mutex_;
    std::condition_variable posted_;
    Run run_;                 // the run posted last
    std::uint64_t posts_ = 0; // how many runs have been posted
    bool stopping_ = false;
    std::vector<std::thread> helpers_;
    std::optional<std::barrier<PhaseEnd>> barrier_;
};

} // namespace plexor
