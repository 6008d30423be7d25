#include "engine/cell_queue.h"

#include <algorithm>
#include <cassert>

namespace plexor {

CellQueue::CellQueue() : ring_(64) {}

void CellQueue::pushLocked(const CellRef& entry)
{
    if (count_ == ring_.size()) {
        std::vector<CellRef> bigger(ring_.size() * 2);
        for (std::size_t i = 0; i < count_; ++i) bigger[i] = ring_[(head_ + i) & (ring_.size() - 1)];
        ring_.swap(bigger);
        head_ = 0;
    }
    ring_[(head_ + count_) & (ring_.size() - 1)] = entry;
    ++count_;
    if (!entry.isRefreshMarker()) ++cells_;
}

void CellQueue::reset(std::int32_t cellCols, std::int32_t cellCount)
{
    std::vector<std::uint8_t> queued(static_cast<std::size_t>(cellCount), 0);
    std::lock_guard lock(mutex_);
    head_ = 0;
    count_ = 0;
    cells_ = 0;
    ++generation_;
    queued_.swap(queued);
    cellCols_ = cellCols;
}

std::size_t CellQueue::takeFront(std::span<CellRef> out, std::uint64_t& generation)
{
    std::lock_guard lock(mutex_);
    generation = generation_;
    if (count_ == 0 || out.empty()) return 0;
    if (ring_[head_].isRefreshMarker()) {
        out[0] = ring_[head_];
        return 1;
    }
    std::size_t taken = 0;
    for (; taken < out.size() && taken < count_; ++taken) {
        const CellRef entry = ring_[(head_ + taken) & (ring_.size() - 1)];
        if (entry.isRefreshMarker()) break;
        assert(cellIndex(cellCols_, entry) < queued_.size());
        queued_[cellIndex(cellCols_, entry)] = 3;
        out[taken] = entry;
    }
    return taken;
}

bool CellQueue::popFront(std::uint64_t generation)
{
    std::lock_guard lock(mutex_);
    if (generation != generation_ || count_ == 0) return false;
    const CellRef entry = ring_[head_];
    head_ = (head_ + 1) & (ring_.size() - 1);
    --count_;
    if (!entry.isRefreshMarker()) {
        --cells_;
        assert(cellIndex(cellCols_, entry) < queued_.size());
        std::uint8_t& byte = queued_[cellIndex(cellCols_, entry)];
        byte = byte == 2 ? 1 : 0;
    }
    return true;
}

void CellQueue::clear()
{
    std::lock_guard lock(mutex_);
    head_ = 0;
    count_ = 0;
    cells_ = 0;
    ++generation_;
    std::fill(queued_.begin(), queued_.end(), std::uint8_t{0});
}

std::size_t CellQueue::size() const
{
    std::lock_guard lock(mutex_);
    return count_;
}

std::size_t CellQueue::cellsWaiting() const
{
    std::lock_guard lock(mutex_);
    return cells_;
}

std::vector<CellRef> CellQueue::snapshot() const
{
    std::lock_guard lock(mutex_);
    std::vector<CellRef> entries;
    entries.reserve(count_);
    for (std::size_t i = 0; i < count_; ++i) entries.push_back(ring_[(head_ + i) & (ring_.size() - 1)]);
    return entries;
}

std::vector<std::uint8_t> CellQueue::queuedBytes() const
{
    std::lock_guard lock(mutex_);
    return queued_;
}

} // namespace plexor
