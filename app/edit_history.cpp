#include "app/edit_history.h"

#include <algorithm>
#include <utility>

namespace plexor {

namespace {

std::size_t passBytes(const std::optional<std::vector<GridPass>>& passes) noexcept
{
    if (!passes) return 0;
    std::size_t bytes = passes->capacity() * sizeof(GridPass);
    for (const GridPass& pass : *passes) bytes += pass.points.capacity() * sizeof(GridFilePoint);
    return bytes;
}

} // namespace

std::size_t EditStep::bytes() const noexcept
{
    return name.capacity() + (gridBefore ? gridBefore->bytes() : 0) + (gridAfter ? gridAfter->bytes() : 0) +
           points.capacity() * sizeof(PointChange) + pixelsBefore.bytes() + pixelsAfter.bytes() + sourceBefore.bytes() +
           sourceAfter.bytes() + passBytes(passesBefore) + passBytes(passesAfter);
}

std::size_t EditHistory::budget(std::uint64_t available) const noexcept
{
    constexpr std::uint64_t kMost = std::uint64_t{1} << 30;
    return static_cast<std::size_t>(std::min(kMost, (available + bytes()) / 4));
}

void EditHistory::push(EditStep step, std::size_t budget)
{
    redo_.clear();
    if (clean_ > static_cast<std::ptrdiff_t>(undo_.size())) clean_ = -1;
    if (step.bytes() > budget) {
        // Without this edit, the ones before it could not be undone either.
        undo_.clear();
        clean_ = -1;
        return;
    }
    undo_.push_back(std::move(step));
    std::size_t held = bytes();
    std::size_t oldest = 0;
    while (held > budget) held -= undo_[oldest++].bytes();
    undo_.erase(undo_.begin(), undo_.begin() + static_cast<std::ptrdiff_t>(oldest));
    clean_ = clean_ < static_cast<std::ptrdiff_t>(oldest) ? -1 : clean_ - static_cast<std::ptrdiff_t>(oldest);
}

void EditHistory::clear() noexcept
{
    undo_.clear();
    redo_.clear();
    clean_ = -1;
}

std::size_t EditHistory::bytes() const noexcept
{
    std::size_t bytes = 0;
    for (const EditStep& s : undo_) bytes += s.bytes();
    for (const EditStep& s : redo_) bytes += s.bytes();
    return bytes;
}

} // namespace plexor
