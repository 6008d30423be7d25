#include "engine/parallel_deform.h"

#include <algorithm>
#include <atomic>
#include <barrier>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/deform_cell.h"

namespace plexor {
namespace {

// The coordinates one round holds: 2 MB of them, in two rounds at a time.
constexpr std::size_t kRoundSamples = std::size_t{1} << 18;

// The batch in rounds. Round p is computed by every thread while the calling
// thread first splats round p - 1, which lies in the other half of the
// store; a barrier closes each phase, so a round's coordinates are complete
// before they are splatted, and splatted before their half is written again.
class BatchInRounds {
public:
    BatchInRounds(DeformModel& model, std::span<const TCellRef> cells, std::size_t perRound)
        : model_(model), cells_(cells), perCell_(SamplesOf(model)), perRound_(perRound),
          rounds_((cells.size() + perRound - 1) / perRound)
    {
        for (Half& half : halves_) {
            half.xs.resize(perCell_ * perRound_);
            half.ys.resize(perCell_ * perRound_);
            half.whole.resize(perRound_);
        }
    }

    static std::size_t SamplesOf(const DeformModel& model)
    {
        const std::size_t side = static_cast<std::size_t>(model.SamplesPerCell) + 1;
        return side * side;
    }

    void Run(unsigned threads, const std::function<void(std::size_t)>& progress)
    {
        std::barrier sync(static_cast<std::ptrdiff_t>(threads), [this]() noexcept {
            ++phase_;
            next_.store(0, std::memory_order_relaxed);
        });
        std::vector<std::jthread> helpers;
        for (unsigned t = 1; t < threads; ++t) {
            try {
                helpers.emplace_back([this, &sync] {
                    while (phase_ <= rounds_) {
                        Compute(phase_);
                        sync.arrive_and_wait();
                    }
                });
            } catch (const std::system_error&) {
                sync.arrive_and_drop(); // a thread fewer: the others share its part
            }
        }
        for (std::size_t phase = 0; phase <= rounds_; ++phase) {
            if (phase > 0) {
                Splat(phase - 1);
                if (progress) progress(std::min(phase * perRound_, cells_.size()));
            }
            Compute(phase);
            sync.arrive_and_wait();
        }
    }

private:
    struct Half {
        std::vector<float> xs, ys;
        std::vector<std::uint8_t> whole; // 1: the cell goes through DeformCell
    };

    // Takes cells of round `round` one at a time until none is left.
    void Compute(std::size_t round)
    {
        if (round >= rounds_) return;
        Half& half = halves_[round % 2];
        const std::size_t first = round * perRound_;
        const std::size_t count = std::min(perRound_, cells_.size() - first);
        for (;;) {
            const std::size_t k = next_.fetch_add(1, std::memory_order_relaxed);
            if (k >= count) return;
            const bool done = CellSampleCoordinates(model_, cells_[first + k], half.xs.data() + k * perCell_,
                                                    half.ys.data() + k * perCell_);
            half.whole[k] = done ? 0 : 1;
        }
    }

    void Splat(std::size_t round)
    {
        const Half& half = halves_[round % 2];
        const std::size_t first = round * perRound_;
        const std::size_t count = std::min(perRound_, cells_.size() - first);
        for (std::size_t k = 0; k < count; ++k) {
            const TCellRef cell = cells_[first + k];
            const CellFootprint written =
                half.whole[k] != 0
                    ? DeformCell(model_, cell)
                    : SplatCellSamples(model_, cell, half.xs.data() + k * perCell_, half.ys.data() + k * perCell_);
            for (int i = 0; i < written.Count; ++i) model_.Changes.Mark(written.Rects[i]);
        }
    }

    DeformModel& model_;
    const std::span<const TCellRef> cells_;
    const std::size_t perCell_;
    const std::size_t perRound_;
    const std::size_t rounds_;
    Half halves_[2];
    // Written by the barrier's completion alone, while every thread waits.
    std::size_t phase_ = 0;
    std::atomic<std::size_t> next_{0};
};

void DeformOneByOne(DeformModel& model, std::span<const TCellRef> cells,
                    const std::function<void(std::size_t)>& progress)
{
    constexpr std::size_t kReportEvery = 256;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const CellFootprint written = DeformCell(model, cells[k]);
        for (int i = 0; i < written.Count; ++i) model.Changes.Mark(written.Rects[i]);
        if (progress && ((k + 1) % kReportEvery == 0 || k + 1 == cells.size())) progress(k + 1);
    }
}

} // namespace

void DeformCellsInParallel(DeformModel& model, std::span<const TCellRef> cells, ParallelDeformOptions options,
                           const std::function<void(std::size_t)>& progress)
{
    const std::size_t perCell = BatchInRounds::SamplesOf(model);
    if (options.Threads <= 1 || cells.size() < 2 || perCell > kRoundSamples) {
        DeformOneByOne(model, cells, progress);
        return;
    }
    std::size_t perRound = kRoundSamples / perCell;
    if (options.ChunkCells != 0) perRound = std::min(perRound, options.ChunkCells);
    BatchInRounds(model, cells, perRound).Run(options.Threads, progress);
}

} // namespace plexor
