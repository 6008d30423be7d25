#include "app/edit_history.h"

#include <algorithm>
#include <utility>

namespace plexor {

std::size_t EditHistory::budget(std::uint64_t available) const noexcept
{
    constexpr std::uint64_t kMost = std::uint64_t{1} << 30;
    return static_cast<std::size_t>(std::min(kMost, (available + bytes()) / 4));
}

void EditHistory::push(std::unique_ptr<Edit> edit, std::size_t budget)
{
    redo_.clear();
    if (clean_ > static_cast<std::ptrdiff_t>(undo_.size())) clean_ = -1;
    if (edit->bytes() > budget) {
        // Without this edit, the ones before it could not be undone either.
        undo_.clear();
        clean_ = -1;
        return;
    }
    undo_.push_back(std::move(edit));
    std::size_t held = bytes();
    std::size_t oldest = 0;
    while (held > budget) held -= undo_[oldest++]->bytes();
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
    for (const std::unique_ptr<Edit>& edit : undo_) bytes += edit->bytes();
    for (const std::unique_ptr<Edit>& edit : redo_) bytes += edit->bytes();
    return bytes;
}

void EditHistory::move(std::vector<std::unique_ptr<Edit>>& from, std::vector<std::unique_ptr<Edit>>& to,
                       EditTarget& target, bool undo)
{
    if (from.empty()) return;
    std::unique_ptr<Edit> edit = std::move(from.back());
    from.pop_back();
    if (undo)
        edit->undo(target);
    else
        edit->redo(target);
    to.push_back(std::move(edit));
}

} // namespace plexor
