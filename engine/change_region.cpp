#include "engine/change_region.h"

#include <limits>

namespace plexor {

void RectSet::Add(const PixelRect& rect) noexcept
{
    if (rect.Empty()) return;
    // A rectangle that overlaps or touches one held is merged with it when
    // the merge covers little more than the two did.
    std::size_t best = count_;
    std::int64_t bestGrowth = std::numeric_limits<std::int64_t>::max();
    for (std::size_t i = 0; i < count_; ++i) {
        const std::int64_t growth = rects_[i].Union(rect).Area() - rects_[i].Area();
        if (growth < bestGrowth) {
            bestGrowth = growth;
            best = i;
        }
    }
    if (best < count_ && (bestGrowth <= rect.Area() / 2 || count_ == kCapacity)) {
        rects_[best] = rects_[best].Union(rect);
        return;
    }
    rects_[count_++] = rect;
}

PixelRect RectSet::Bounds() const noexcept
{
    PixelRect bounds;
    for (const PixelRect& r : *this) bounds = bounds.Union(r);
    return bounds;
}

void ChangeRegion::Mark(const PixelRect& rect)
{
    std::lock_guard lock(mutex_);
    if (!all_) rects_.Add(rect);
}

void ChangeRegion::MarkAll()
{
    std::lock_guard lock(mutex_);
    all_ = true;
    rects_.Clear();
}

void ChangeRegion::Take(RectSet& rects, bool& all)
{
    std::lock_guard lock(mutex_);
    rects = rects_;
    all = all_;
    rects_.Clear();
    all_ = false;
}

} // namespace plexor
