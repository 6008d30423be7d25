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

#include "engine/cell_footprint.h"
#include "engine/cell_ref.h"
#include "engine/deform_model.h"

namespace plexor {

// The cores the machine has, at least 1: the threads a pool is given.
inline unsigned coreCount() noexcept
{
    return std::max(1u, std::thread::hardware_concurrency());
}

// Threads that compute the sample coordinates of cells beside the thread
// that owns the pool, which splats the cells in their order: a run of cells
// deformed bit for bit as deformCell would deform them one after another.
//
// The run goes in rounds. Round p is computed by every thread while the
// owner first splats round p - 1, which lies in the other half of the
// store; a barrier closes each phase, so a round's coordinates are complete
// before they are splatted, and splatted before their half is written again.
// The helpers sleep between runs. Nothing is allocated per run.
class CellPool {
public:
    // `threads` threads in all, the owner among them. A pool of one thread
    // deforms each cell on the owner's thread.
    explicit CellPool(unsigned threads);
    ~CellPool();
    CellPool(const CellPool&) = delete;
    CellPool& operator=(const CellPool&) = delete;

    // Owner's thread. Deforms `cells` in their order and calls done(k,
    // written) after cell k, with the pixels it may have written; at most
    // `roundCells` cells a round, 0 letting the samples per cell decide. The
    // model must stay as it is meanwhile, but for the points, which may
    // move: a cell uses them as it reads them.
    void deform(DeformModel& model, std::span<const CellRef> cells,
                const std::function<void(std::size_t, const CellFootprint&)>& done, std::size_t roundCells = 0);

private:
    struct Run {
        DeformModel* model = nullptr;
        std::span<const CellRef> cells;
        std::size_t perCell = 0;  // samples per cell
        std::size_t perRound = 0; // cells per round
        std::size_t rounds = 0;
    };
    struct Half {
        std::vector<float> xs, ys;
        std::vector<CellFootprint> reach;
        std::vector<std::uint8_t> whole; // 1: the cell goes through deformCell
    };
    struct NextRound {
        CellPool* pool;
        void operator()() noexcept { pool->next_.store(0, std::memory_order_relaxed); }
    };

    void help();
    // Takes cells of round `round` one at a time until none is left.
    void compute(const Run& run, std::size_t round);
    void splat(const Run& run, std::size_t round, const std::function<void(std::size_t, const CellFootprint&)>& done);

    Half halves_[2];
    std::atomic<std::size_t> next_{0};

    std::mutex mutex_;
    std::condition_variable posted_;
    Run run_;                 // the run posted last
    std::uint64_t posts_ = 0; // how many runs have been posted
    bool stopping_ = false;
    std::vector<std::thread> helpers_;
    std::optional<std::barrier<NextRound>> phase_;
};

} // namespace plexor
