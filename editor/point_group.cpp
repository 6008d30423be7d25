#include "editor/point_group.h"

#include <algorithm>
#include <limits>

#include "editor/draw_overlay.h"

namespace plexor {

void PointGroup::form(const ControlGrid& grid, std::int32_t width, std::int32_t height,
                      std::vector<std::int32_t> members)
{
    members_ = std::move(members);
    std::sort(members_.begin(), members_.end());
    formedDX_.resize(members_.size());
    formedDY_.resize(members_.size());
    offsetX_ = offsetY_ = 0;
    // A member keeps |dx| and |dy| below a step, and 0 <= x + dx < width,
    // 0 <= y + dy < height.
    const std::int64_t reach = grid.step() - 1;
    lowX_ = lowY_ = std::numeric_limits<std::int64_t>::min();
    highX_ = highY_ = std::numeric_limits<std::int64_t>::max();
    for (std::size_t k = 0; k < members_.size(); ++k) {
        const ControlPoint& p = grid.points()[static_cast<std::size_t>(members_[k])];
        const std::int64_t dx = formedDX_[k] = p.dx;
        const std::int64_t dy = formedDY_[k] = p.dy;
        lowX_ = std::max({lowX_, -reach - dx, -(p.x + dx)});
        highX_ = std::min({highX_, reach - dx, width - 1 - (p.x + dx)});
        lowY_ = std::max({lowY_, -reach - dy, -(p.y + dy)});
        highY_ = std::min({highY_, reach - dy, height - 1 - (p.y + dy)});
    }
    // The members whose four neighbours (those there are) move with them:
    // their overlay moves whole with the offset.
    const std::int32_t cols = grid.shape().pointCols, rows = grid.shape().pointRows;
    const auto moves = [this](std::int32_t i) { return std::binary_search(members_.begin(), members_.end(), i); };
    border_.clear();
    inner_.clear();
    for (const std::int32_t i : members_) {
        const std::int32_t c = i % cols, r = i / cols;
        const bool inner = (c == 0 || moves(i - 1)) && (c + 1 == cols || moves(i + 1)) && (r == 0 || moves(i - cols)) &&
                           (r + 1 == rows || moves(i + cols));
        if (inner)
            inner_.add(pointOverlayBounds(grid, c, r));
        else
            border_.push_back(i);
    }
    // Where the members stand is allowed, whatever led them there.
    lowX_ = std::min<std::int64_t>(lowX_, 0);
    lowY_ = std::min<std::int64_t>(lowY_, 0);
    highX_ = std::max<std::int64_t>(highX_, 0);
    highY_ = std::max<std::int64_t>(highY_, 0);
}

std::int32_t PointGroup::limitX(std::int64_t offset) const noexcept
{
    return static_cast<std::int32_t>(std::clamp(offset, lowX_, highX_));
}

std::int32_t PointGroup::limitY(std::int64_t offset) const noexcept
{
    return static_cast<std::int32_t>(std::clamp(offset, lowY_, highY_));
}

void PointGroup::markMembers(const ControlGrid& grid, ChangeRegion& changes) const
{
    // Gathered here first, so that the change region is taken once per
    // rectangle rather than once per point.
    RectSet rects;
    const std::int32_t cols = grid.shape().pointCols;
    for (const std::int32_t i : border_) rects.add(pointOverlayBounds(grid, i % cols, i / cols));
    for (const PixelRect& rect : inner_)
        rects.add(PixelRect{rect.x0 + offsetX_, rect.y0 + offsetY_, rect.x1 + offsetX_, rect.y1 + offsetY_});
    for (const PixelRect& rect : rects) changes.mark(rect);
}

bool PointGroup::moveTo(ControlGrid& grid, ChangeRegion& changes, std::int64_t ox, std::int64_t oy)
{
    const std::int32_t x = limitX(ox), y = limitY(oy);
    if (x == offsetX_ && y == offsetY_) return false;
    markMembers(grid, changes);
    offsetX_ = x;
    offsetY_ = y;
    for (std::size_t k = 0; k < members_.size(); ++k)
        grid.displace(static_cast<std::size_t>(members_[k]), formedDX_[k] + x, formedDY_[k] + y);
    markMembers(grid, changes);
    return true;
}

std::vector<CellRef> PointGroup::cells(const GridGeometry& grid) const
{
    if (offsetX_ == 0 && offsetY_ == 0) return {};
    return cellsAroundPoints(grid, members_);
}

} // namespace plexor
