#include "engine/point_selection.h"

#include <algorithm>

namespace plexor {

void PointSelection::reset(std::size_t pointCount)
{
    chosen_.assign(pointCount, 0);
    count_ = 0;
    band_ = PixelRect{};
    ++generation_;
}

void PointSelection::clear()
{
    if (count_ == 0) return;
    std::fill(chosen_.begin(), chosen_.end(), std::uint8_t{0});
    count_ = 0;
    ++generation_;
}

void PointSelection::add(std::size_t index) noexcept
{
    if (index >= chosen_.size() || chosen_[index] != 0) return;
    chosen_[index] = 1;
    ++count_;
    ++generation_;
}

void PointSelection::remove(std::size_t index) noexcept
{
    if (!contains(index)) return;
    chosen_[index] = 0;
    --count_;
    ++generation_;
}

std::vector<std::int32_t> PointSelection::members() const
{
    std::vector<std::int32_t> members;
    members.reserve(count_);
    for (std::size_t i = 0; i < chosen_.size() && members.size() < count_; ++i)
        if (chosen_[i] != 0) members.push_back(static_cast<std::int32_t>(i));
    return members;
}

} // namespace plexor
