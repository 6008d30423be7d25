#include "engine/change_region.h"

#include <limits>

namespace plexor {

void RectSet::add(const PixelRect& rect) noexcept
{
    if (rect.empty()) return;
    // A rectangle beside or over one held is merged with it when the merge
    // covers little more than the two did (side by side, exactly the two).
    std::size_t best = count_;
    std::int64_t bestGrowth = std::numeric_limits<std::int64_t>::max();
    for (std::size_t i = 0; i < count_; ++i) {
        const std::int64_t growth = rects_[i].united(rect).area() - rects_[i].area();
        if (growth < bestGrowth) {
            bestGrowth = growth;
            best = i;
        }
    }
    if (best == count_ || (bestGrowth > rect.area() + rect.area() / 4 && count_ < kCapacity)) {
        rects_[count_++] = rect;
        return;
    }
    rects_[best] = rects_[best].united(rect);
    // The grown rectangle may now lie beside another along a whole edge, as
    // the rows of a block do: one rectangle covers both exactly.
    for (std::size_t i = 0; i < count_;) {
        const PixelRect joined = rects_[best].united(rects_[i]);
        if (i == best || joined.area() > rects_[best].area() + rects_[i].area()) {
            ++i;
            continue;
        }
        rects_[best] = joined;
        rects_[i] = rects_[--count_];
        if (best == count_) best = i;
        i = 0;
    }
}

void ChangeRegion::mark(const PixelRect& rect)
{
    std::lock_guard lock(mutex_);
    if (!all_) rects_.add(rect);
}

void ChangeRegion::markAll()
{
    std::lock_guard lock(mutex_);
    all_ = true;
    rects_.clear();
}

void ChangeRegion::take(RectSet& rects, bool& all)
{
    std::lock_guard lock(mutex_);
    rects = rects_;
    all = all_;
    rects_.clear();
    all_ = false;
}

} // namespace plexor
