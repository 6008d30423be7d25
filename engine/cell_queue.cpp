#include "engine/cell_queue.h"

#include <algorithm>
#include <cassert>

namespace plexor {

TCellQueue::TCellQueue() : ring_(64) {}

void TCellQueue::PushLocked(const TCellRef& entry)
{
    if (count_ == ring_.size()) {
        std::vector<TCellRef> bigger(ring_.size() * 2);
        for (std::size_t i = 0; i < count_; ++i) bigger[i] = ring_[(head_ + i) & (ring_.size() - 1)];
        ring_.swap(bigger);
        head_ = 0;
    }
    ring_[(head_ + count_) & (ring_.size() - 1)] = entry;
    ++count_;
    if (!entry.IsRefreshMarker()) ++cells_;
}

std::size_t TCellQueue::TakeFront(std::span<TCellRef> out, std::span<std::uint8_t> queued, std::int32_t cellCols,
                                  std::uint64_t& generation)
{
    std::lock_guard lock(mutex_);
    generation = generation_;
    if (count_ == 0 || out.empty()) return 0;
    if (ring_[head_].IsRefreshMarker()) {
        out[0] = ring_[head_];
        return 1;
    }
    std::size_t taken = 0;
    for (; taken < out.size() && taken < count_; ++taken) {
        const TCellRef entry = ring_[(head_ + taken) & (ring_.size() - 1)];
        if (entry.IsRefreshMarker()) break;
        assert(CellIndex(cellCols, entry) < queued.size());
        queued[CellIndex(cellCols, entry)] = 3;
        out[taken] = entry;
    }
    return taken;
}

bool TCellQueue::PopFront(std::uint64_t generation, std::span<std::uint8_t> queued, std::int32_t cellCols)
{
    std::lock_guard lock(mutex_);
    if (generation != generation_ || count_ == 0) return false;
    const TCellRef entry = ring_[head_];
    head_ = (head_ + 1) & (ring_.size() - 1);
    --count_;
    if (!entry.IsRefreshMarker()) {
        --cells_;
        assert(CellIndex(cellCols, entry) < queued.size());
        std::uint8_t& byte = queued[CellIndex(cellCols, entry)];
        byte = byte == 2 ? 1 : 0;
    }
    return true;
}

void TCellQueue::Clear(std::span<std::uint8_t> queued)
{
    std::lock_guard lock(mutex_);
    head_ = 0;
    count_ = 0;
    cells_ = 0;
    ++generation_;
    std::fill(queued.begin(), queued.end(), std::uint8_t{0});
}

std::size_t TCellQueue::Size() const
{
    std::lock_guard lock(mutex_);
    return count_;
}

std::size_t TCellQueue::CellsWaiting() const
{
    std::lock_guard lock(mutex_);
    return cells_;
}

std::vector<TCellRef> TCellQueue::Snapshot() const
{
    std::lock_guard lock(mutex_);
    std::vector<TCellRef> entries;
    entries.reserve(count_);
    for (std::size_t i = 0; i < count_; ++i) entries.push_back(ring_[(head_ + i) & (ring_.size() - 1)]);
    return entries;
}

} // namespace plexor
