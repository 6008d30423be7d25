#include "app/edit_history.h"

#include <algorithm>
#include <utility>

namespace plexor {

std::size_t EditStep::Bytes() const noexcept
{
    return Name.capacity() + (GridBefore ? GridBefore->Bytes() : 0) + (GridAfter ? GridAfter->Bytes() : 0) +
           Points.capacity() * sizeof(PointChange) + PixelsBefore.Bytes() + PixelsAfter.Bytes();
}

std::size_t EditHistory::Budget(std::uint64_t available) const noexcept
{
    constexpr std::uint64_t kMost = std::uint64_t{1} << 30;
    return static_cast<std::size_t>(std::min(kMost, (available + Bytes()) / 4));
}

void EditHistory::Push(EditStep step, std::size_t budget)
{
    redo_.clear();
    if (step.Bytes() > budget) {
        // Without this edit, the ones before it could not be undone either.
        undo_.clear();
        return;
    }
    undo_.push_back(std::move(step));
    std::size_t held = Bytes();
    std::size_t oldest = 0;
    while (held > budget) held -= undo_[oldest++].Bytes();
    undo_.erase(undo_.begin(), undo_.begin() + static_cast<std::ptrdiff_t>(oldest));
}

void EditHistory::Clear() noexcept
{
    undo_.clear();
    redo_.clear();
}

std::size_t EditHistory::Bytes() const noexcept
{
    std::size_t bytes = 0;
    for (const EditStep& s : undo_) bytes += s.Bytes();
    for (const EditStep& s : redo_) bytes += s.Bytes();
    return bytes;
}

} // namespace plexor
